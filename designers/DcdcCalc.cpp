#include "designers/DcdcCalc.h"

#include "services/Magnetics.h"

#include <algorithm>
#include <cmath>

namespace kv::designers::dcdc {

namespace mag = services::magnetics;

namespace {
// The voltages each converter needs (0 when they suit it): a buck steps down
// even at the lowest input less the switch drop; a boost steps up above the
// highest input; the inductor of a boost or buck-boost sees the lowest input
// less the switch drop.
int unsuited(const Design& d, int converter) {
    if (converter == kBuck) return d.VinMin - d.Vsw > d.Vo ? 0 : kBuckNotBelow;
    if (converter == kBoost && !(d.Vo > d.VinMax)) return kBoostNotAbove;
    return d.VinMin > d.Vsw ? 0 : kSwitchDropTooLarge;
}

float period(const Design& d) { return 1000.0f / d.f; } // µs

// The inductor's current each cycle: its peak-to-peak ripple and the share
// of the period the diode conducts.
struct Swing {
    float ripple, offShare;
};

Swing continuous(Design& d, int converter) {
    const float T = period(d);
    const float flux = 2.0f * d.r * d.Bpk / (d.r + 2.0f); // the swing of the ripple (gauss)
    const float peak = d.r / 2.0f + 1.0f, rms = std::sqrt(d.r * d.r / 12.0f + 1.0f);
    if (converter == kBuck) {
        // designed at the highest input
        d.Duty = (d.Vo + d.Vdf) / (d.Vdf + d.VinMax - d.Vsw);
        d.Ton = d.Duty * T;
        const float vl = d.VinMax - d.Vsw - d.Vo;
        d.L = vl * d.Ton / (d.r * d.IoMax);
        d.Ipk = peak * d.IoMax;
        d.Irms = d.IoMax * rms;
        d.NL = vl * 10000.0f * d.Ton / (flux * d.Ae);
        // the switch current at the lowest input
        const float dl = (d.Vo + d.Vdf) / (d.Vdf + d.VinMin - d.Vsw);
        const float rl = (d.VinMin - d.Vsw - d.Vo) * dl * T / (d.L * d.IoMax);
        d.Iswrms = d.IoMax * std::sqrt(dl * (rl * rl / 12.0f + 1.0f));
        d.Vswm = d.Vdm = 1.2f * d.VinMax;
        d.Idrms = std::sqrt(1.0f - d.Duty) * d.IoMax;
        return {d.r * d.IoMax, 1.0f - d.Duty};
    }
    // boost and buck-boost: designed at the lowest input
    d.Duty = converter == kBoost ? (d.Vo - d.VinMin + d.Vdf) / (d.Vdf + d.Vo - d.Vsw)
                                 : (d.Vo + d.Vdf) / (d.Vdf + d.Vo + d.VinMin - d.Vsw);
    d.Ton = d.Duty * T;
    const float il = d.IoMax / (1.0f - d.Duty), vl = d.VinMin - d.Vsw;
    d.L = vl * d.Ton / (il * d.r);
    d.Ipk = peak * il;
    d.Irms = il * rms;
    d.NL = vl * 10000.0f * d.Ton / (flux * d.Ae);
    d.Iswrms = il * std::sqrt(d.Duty * (d.r * d.r / 12.0f + 1.0f));
    d.Vswm = d.Vdm = 1.2f * (converter == kBoost ? d.Vo : d.Vo + d.VinMax);
    d.Idrms = std::sqrt(1.0f - d.Duty) * d.Ipk / peak;
    return {d.r * il, 1.0f - d.Duty};
}

Swing discontinuous(Design& d, int converter) {
    const float T = period(d);
    const float used = 1.0f - d.Ptd * 0.01f; // share of the period for on- and off-time
    float von, offShare;                     // inductor voltage while on; off-time share D2
    if (converter == kBuck) {
        d.Ton = used * T * (d.Vo + d.Vdf) / (d.Vdf + d.VinMax - d.Vsw);
        d.Duty = d.Ton / T;
        const float vh = d.VinMax - d.Vsw;
        d.L = d.Duty * d.Duty * 1000000.0f * (vh - d.Vo) * (vh + d.Vdf) /
              (d.IoMax * 2.0f * d.f * 1000.0f * (d.Vo + d.Vdf));
        von = d.VinMax - d.Vo - d.Vsw;
        d.Ipk = von * d.Ton / d.L;
        offShare = 2.0f * d.IoMax / d.Ipk - d.Duty;
        d.Vswm = d.Vdm = 1.2f * d.VinMax;
    } else {
        const bool boost = converter == kBoost;
        d.Ton = used * T * (boost ? d.Vo - d.VinMin + d.Vdf : d.Vo + d.Vdf) /
                (d.Vdf + d.Vo + (boost ? 0.0f : d.VinMin) - d.Vsw);
        d.Duty = d.Ton / T;
        von = d.VinMin - d.Vsw;
        const float off = boost ? d.Vo + d.Vdf - d.VinMin : d.Vo + d.Vdf; // inductor voltage while off
        d.L = d.Duty * d.Duty * 1000000.0f * von * von / (d.IoMax * 2.0f * 1000.0f * d.f * off);
        d.Ipk = von * d.Ton / d.L;
        offShare = 2.0f * d.IoMax / d.Ipk;
        d.Vswm = d.Vdm = 1.2f * (boost ? d.Vo : d.Vo + d.VinMax);
    }
    d.NL = von * 10000.0f * d.Ton / (d.Bpk * d.Ae);
    d.Irms = d.Ipk * std::sqrt(offShare / 3.0f + d.Duty / 3.0f);
    d.Iswrms = d.Ipk * std::sqrt(d.Duty / 3.0f);
    d.Idrms = d.Ipk * std::sqrt(offShare / 3.0f);
    return {d.Ipk, offShare}; // from zero each cycle
}

// The output capacitor from the current into the output node at the input
// the inductor was designed at: it takes up the charge above the load current
// and gives it back. Its ESR carries the whole peak-to-peak current.
void outputCapacitor(Design& d, int converter, Swing s) {
    const float T = period(d), valley = d.Ipk - s.ripple, end = d.Ton + s.offShare * T;
    // A buck's inductor feeds the output all the time; the others' only while the diode conducts.
    const Corner buck[] = {{0, valley}, {d.Ton, d.Ipk}, {end, valley}, {T, valley}};
    const Corner others[] = {{0, 0}, {d.Ton, 0}, {d.Ton, d.Ipk}, {end, valley}, {end, 0}, {T, 0}};
    const std::span<const Corner> wave = converter == kBuck ? std::span<const Corner>(buck) : others;
    const float vopp = d.Vopp * 0.001f;
    d.Co = chargeAbove(wave, d.IoMax) / vopp; // µs·A / V = µF
    d.Ipp = converter == kBuck ? s.ripple : d.Ipk;
    d.ESR = d.Vopp / d.Ipp;
}
} // namespace

float chargeAbove(std::span<const Corner> wave, float level) {
    float q = 0;
    for (std::size_t k = 1; k < wave.size(); ++k) {
        const float dt = wave[k].t - wave[k - 1].t;
        const float a = wave[k - 1].i - level, b = wave[k].i - level;
        if (dt <= 0 || (a <= 0 && b <= 0)) continue;
        if (a >= 0 && b >= 0) {
            q += (a + b) / 2.0f * dt;
        } else {
            // only the part above the level: a triangle
            const float up = std::max(a, b);
            q += up * up / (std::fabs(a - b)) * dt / 2.0f;
        }
    }
    return q;
}

form::Outcome design(Design& d, int mode) {
    const int converter = converterOf(mode);
    const bool dcm = dcmOf(mode);
    if (const int code = unsuited(d, converter)) return form::Outcome::stopped(code);
    if (!dcm && d.r > kMaxRipple) return form::Outcome::stopped(kRippleTooLarge);
    const Swing s = dcm ? discontinuous(d, converter) : continuous(d, converter);
    d.DL = mag::wireDiameter(d.Cmil, d.Irms);
    // An inductor has at least one turn.
    d.NL = std::max(1.0f, mag::roundHalfDown(d.NL));
    outputCapacitor(d, converter, s);
    d.Vc = 1.2f * d.Vo;
    // Computed, but not shown: the core would saturate.
    if (d.Bpk > d.Bsat) return form::Outcome::stopped(kAboveSaturation);
    return {};
}

std::optional<magnetics::InductorPrinted> printed(const Design& d, int mode) {
    const int converter = converterOf(mode);
    // The inductor's volts while the switch is on and while the diode conducts.
    const double on = converter == kBuck ? d.VinMax - d.Vsw - d.Vo : d.VinMin - d.Vsw;
    const double off = converter == kBoost ? d.Vo + d.Vdf - d.VinMin : d.Vo + d.Vdf;
    const double l = d.L * 1e-6, rise = d.Ton * 1e-6, period = 1e-3 / d.f;
    magnetics::InductorPrinted p{0, d.Ipk, rise, 0, period, l, d.NL, d.DL * 1e-3, d.Ae * 1e-6};
    if (dcmOf(mode)) {
        p.fall = d.Ipk * l / off;
    } else {
        p.valley = d.Ipk - on * rise / l;
        p.fall = period - rise;
    }
    if (!magnetics::complete(p)) return std::nullopt;
    return p;
}

} // namespace kv::designers::dcdc
