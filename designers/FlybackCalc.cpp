#include "designers/FlybackCalc.h"

#include "services/Magnetics.h"
#include "services/PowerStage.h"

#include <cmath>

namespace kv::designers::flyback {

namespace mag = services::magnetics;
namespace power = services::power;

namespace {
float peak(float vrms) { return mag::mainsPeak(vrms); }

// The voltage left for the reflected voltage and the clamp: Vswm - Vswr - 1.414 VacMax.
float clampVoltage(const Design& d) { return d.Vswm - d.Vswr - peak(d.VacMax); }

// What every button refuses alike: no room for a reflected voltage.
int commonStop(const Design& d) { return clampVoltage(d) > 0 ? 0 : kNoClampMargin; }

float inputPower(const Design& d) { return d.Po * 100.0f / d.Eff; }

// µF that hold the rectified mains above the valley at full input power.
float inputCapacitor(const Design& d) {
    return power::bulkCapacitance(inputPower(d), peak(d.VacMin), bulkValley(d), kBulkLineHz) * 1e6f;
}

// µF of an electrolytic whose ESR keeps the step of Ipks within the ripple.
float outputCapacitor(const Design& d) {
    return power::electrolyticMicrofarads(power::outputEsr(d.Vopp * 0.001f, d.Ipks));
}

// Peak primary current of Lp (µH) switched at f (kHz) from v while it delivers
// pin into the reflected voltage vr: discontinuous while one triangle of
// current that rises over the on-time and falls back to 0 within the period
// carries the energy of a cycle, continuous beyond, riding on a pedestal.
float peakCurrent(float lpUh, float fKHz, float pin, float v, float vr) {
    const float lp = lpUh * 1e-6f, fs = fKHz * 1000.0f;
    const float duty = vr / (vr + v);        // volt-second balance with no idle time left
    const float rise = v * duty / (lp * fs); // current ramp over that on-time
    if (pin <= 0.5f * v * duty * rise) return std::sqrt(2.0f * pin / (lp * fs));
    return pin / (v * duty) + 0.5f * rise;
}

// Peak flux density (GS) of the verified transformer when the bulk capacitor
// is at its valley; vr is the reflected voltage the design resets its core with.
float valleyFlux(const Design& d, float vr) {
    const float ipk = peakCurrent(d.Lp, d.f, inputPower(d), bulkValley(d), vr);
    return d.Lp * ipk / (d.Np * d.Ae) * 1e4f;
}
} // namespace

float bulkValley(const Design& d) { return kBulkValley * peak(d.VacMin); }

float turnsRatio(const Design& d) { return (clampVoltage(d) / 1.4f) / (d.Vo + d.Vdf); }

float estimateDuty(const Design& d) {
    // The reflected voltage goes through the turns ratio and back.
    const float n = turnsRatio(d);
    const float vor = n * (d.Vo + d.Vdf);
    const float ton = vor * (1.0f - d.Ptd * 0.01f) * (1000.0f / d.f) / (peak(d.VacMin) + vor);
    return ton / (1e6f / (d.f * 1000.0f));
}

form::Outcome estimate(Design& d, int mode) {
    if (int stop = commonStop(d)) return form::Outcome::stopped(stop);
    form::Outcome o;
    if (mode == kCcm) {
        const float k = (d.r + 2.0f) * (d.r + 2.0f) / d.r;
        d.Ve = k * 0.7f * (d.Po * 100.0f / d.Eff / d.f) * 1000.0f;
        return o;
    }
    if (d.Ptd < 20) o.notice(kShortDeadTime);
    const float duty = estimateDuty(d);
    d.Ve = d.Po * 1e6f / (std::sqrt(3.0f / duty) * (d.Eff * 0.01f * 1500.0f * 0.0001f) * d.f * (197353.0f / d.Cmil));
    return o;
}

namespace {
form::Outcome verifyCcm(Design& d) {
    form::Outcome o;
    d.Iin = d.Po * 100.0f / d.Eff / peak(d.VacMin);
    const float io = d.Po / d.Vo;
    const float n = turnsRatio(d);
    const float duty = d.Iin / (d.Iin + io / n);
    const float ripple = d.r / 2.0f + 1.0f;
    d.Ipkp = ripple * io / (1.0f - duty) / n;
    d.Irmsp = std::sqrt(duty) * d.Ipkp / ripple;
    d.Iswe = 10.0f * d.Irmsp;
    d.Ton = duty / (d.f * 1000.0f) * 1e6f;
    d.Cin = inputCapacitor(d);
    const float w = peak(d.VacMin) * d.Ton;
    const float isc = io / (1.0f - duty);
    d.Lp = w / ((isc / n) * d.r);
    d.Ls = d.Lp / (n * n);
    d.Irmss = std::sqrt(1.0f - duty) * isc;
    d.Ipks = isc * ripple;
    d.Dp = mag::wireDiameter(d.Cmil, d.Irmsp);
    d.Ds = mag::wireDiameter(d.Cmil, d.Irmss);
    d.Vdm = (peak(d.VacMax) / n + d.Vo) * 1.2f;
    d.Idm = 2.0f * d.Irmss;
    const float volts = (2.0f / d.r + 1.0f) * (w * 1e-6f);
    const float np0 = volts / (2.0f * d.Bpk * (d.Ae / 100.0f) * 1e-8f);
    mag::roundTurns(np0, n, d.Np, d.Ns);
    const float bpeak = volts / (2.0f * d.Np * (d.Ae / 100.0f) * 1e-8f);
    // At the valley the core resets as with the reflected voltage n·Vo/η the duty above implies.
    if (bpeak > d.Bsat) o.notice(kFluxAboveSat);
    else if (valleyFlux(d, n * d.Vo / (d.Eff * 0.01f)) > d.Bsat) o.notice(kValleyFluxAboveSat);
    d.Zc = mag::airGap(d.Ae, d.Le, d.Np, d.Lp);
    d.Co = outputCapacitor(d);
    d.Vcm = 1.2f * d.Vo;
    return o;
}

form::Outcome verifyDcm(Design& d) {
    // The turns ratio comes from the inputs, as in CCM.
    const float nd = turnsRatio(d);
    const float io = d.Po / d.Vo;
    const float se = std::sqrt(d.Eff * 0.01f);
    const float idle = d.Ptd * 0.01f;
    const float duty = se * d.Vo * nd * (1.0f - idle) / (se * d.Vo * nd + peak(d.VacMin) * 0.01f * d.Eff);
    d.Ipks = 2.0f * io / (1.0f - duty - idle);
    d.Ipkp = 2.0f * d.Po / (d.Eff * 0.01f * peak(d.VacMin) * duty);
    d.Ton = duty * 1e6f / (d.f * 1000.0f);
    d.Lp = peak(d.VacMin) * 1e6f * duty / (d.f * 1000.0f) / d.Ipkp;
    d.Iin = d.Po * 100.0f / d.Eff / peak(d.VacMin);
    d.Irmsp = std::sqrt(duty) * d.Ipkp / std::sqrt(3.0f);
    d.Dp = mag::wireDiameter(d.Cmil, d.Irmsp);
    d.Iswe = 10.0f * d.Irmsp;
    d.Cin = inputCapacitor(d);
    d.Irmss = std::sqrt(1.0f - duty - idle) * d.Ipks / std::sqrt(3.0f);
    d.Ds = mag::wireDiameter(d.Cmil, d.Irmss);
    d.Vdm = (peak(d.VacMax) / nd + d.Vo) * 1.2f;
    d.Idm = 2.0f * d.Irmss;
    d.Co = outputCapacitor(d);
    d.Vcm = 1.2f * d.Vo;
    d.Ls = d.Lp / (nd * nd);
    const float np0 = peak(d.VacMin) * 1e4f * d.Ton / (d.Bpk * d.Ae);
    mag::roundTurns(np0, nd, d.Np, d.Ns);
    d.Zc = mag::airGap(d.Ae, d.Le, d.Np, d.Lp);
    // The core resets over the secondary's conduction 1 - D - idle.
    form::Outcome o;
    if (valleyFlux(d, peak(d.VacMin) * duty / (1.0f - duty - idle)) > d.Bsat) o.notice(kValleyFluxAboveSat);
    return o;
}
} // namespace

form::Outcome verify(Design& d, int mode) {
    if (int stop = commonStop(d)) return form::Outcome::stopped(stop);
    return mode == kDcm ? verifyDcm(d) : verifyCcm(d);
}

form::Outcome snubber(Design& d, int) {
    if (int stop = commonStop(d)) return form::Outcome::stopped(stop);
    // The clamp sits at what the switch allows above the mains peak; the
    // design reflects Vc / 1.4 meanwhile.
    const float vc = clampVoltage(d);
    const float vor = turnsRatio(d) * (d.Vo + d.Vdf);
    const float llk = d.Lp * 1e-6f * (d.Per * 0.01f);
    const float fs = d.f * 1000.0f;
    const float ohms = power::clampResistor(vc, power::clampPower(llk, d.Ipkp, fs, vc, vor));
    d.Rlk = ohms / 1000.0f;
    d.Clk = power::clampCapacitor(ohms, fs, kClampRipple) * 1e9f;
    return {};
}

std::optional<magnetics::FlybackPrinted> printed(const Design& d, int mode) {
    const double period = 1e-3 / d.f, on = d.Ton * 1e-6;
    // The secondary conducts the rest of the period in CCM, all but the idle share in DCM.
    const double secondary = mode == kDcm ? period * (1 - d.Ptd * 0.01) - on : period - on;
    magnetics::FlybackPrinted p{peak(d.VacMin), on, period, secondary, d.Lp * 1e-6, d.Ipkp, d.Ipks, d.Np, d.Ns,
                                d.Dp * 1e-3, d.Ds * 1e-3, d.Ae * 1e-6};
    if (!magnetics::complete(p)) return std::nullopt;
    return p;
}

std::optional<magnetics::FlybackPoint> adviserPoint(Design d, int mode) {
    if (!(d.Ae > 0)) d.Ae = 1;
    if (!(d.Le > 0)) d.Le = 1;
    if (verify(d, mode).stop) return std::nullopt;
    const auto p = printed(d, mode);
    if (!p) return std::nullopt;
    return magnetics::flybackPoint(*p, d.Bpk * 1e-4, d.Ta);
}

} // namespace kv::designers::flyback
