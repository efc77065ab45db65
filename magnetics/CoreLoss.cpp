#include "magnetics/CoreLoss.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace kv::magnetics {

namespace {

constexpr LossRange kRanges[] = {
#include "magnetics/CoreLossTable.inc"
};

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// A line-cycle average may take this share from points outside the data.
constexpr double kOutsideShareAllowed = 0.05;

// The iGSE coefficient: k over (2π)^(α−1) · ∫₀^2π |cos θ|^α dθ · 2^(β−α).
double igseK(const LossRange& r) {
    const double a = r.alpha;
    const double cosInt = 2 * std::sqrt(std::numbers::pi) * std::tgamma((a + 1) / 2) / std::tgamma(a / 2 + 1);
    return r.k / (std::pow(2 * std::numbers::pi, a - 1) * cosInt * std::pow(2.0, r.beta - a));
}

Reason checkPoint(const LossRange& r, double bPeak, double tempC) {
    if (bPeak < r.bMin || bPeak > r.bMax)
        return Reason::FluxOutside;
    if (tempC < r.tMin || tempC > r.tMax)
        return Reason::TemperatureOutside;
    return Reason::None;
}

// The range nearest in frequency (for a value reported as outside the data).
const LossRange* nearestRange(std::string_view material, double f) {
    const LossRange* best = nullptr;
    double dist = 0;
    for (const auto& r : kRanges) {
        if (material != r.material)
            continue;
        const double d = f < r.fMin ? std::log(r.fMin / f) : f > r.fMax ? std::log(f / r.fMax) : 0.0;
        if (!best || d < dist) {
            best = &r;
            dist = d;
        }
    }
    return best;
}

double swing(std::span<const Corner> flux) {
    auto [lo, hi] = std::minmax_element(flux.begin(), flux.end(),
                                        [](const Corner& a, const Corner& b) { return a.v < b.v; });
    return hi->v - lo->v;
}

} // namespace

std::span<const LossRange> lossRanges() {
    return kRanges;
}

bool knownMaterial(std::string_view material) {
    return std::any_of(std::begin(kRanges), std::end(kRanges),
                       [&](const LossRange& r) { return material == r.material; });
}

const LossRange* rangeFor(std::string_view material, double frequency) {
    for (const auto& r : kRanges) {
        if (material == r.material && frequency >= r.fMin && frequency <= r.fMax)
            return &r;
    }
    return nullptr;
}

double temperatureFactor(const LossRange& r, double tempC) {
    const double dt = tempC - 25;
    return 1 + r.c1 * dt + r.c2 * dt * dt;
}

double steinmetz(const LossRange& r, double frequency, double bPeak, double tempC) {
    return r.k * std::pow(frequency, r.alpha) * std::pow(bPeak, r.beta) * temperatureFactor(r, tempC);
}

double igse(const LossRange& r, std::span<const Corner> flux, double tempC) {
    const double db = swing(flux);
    if (!(db > 0))
        return 0;
    double sum = 0;
    for (size_t i = 1; i < flux.size(); ++i) {
        const double dt = flux[i].t - flux[i - 1].t;
        const double dv = std::abs(flux[i].v - flux[i - 1].v);
        if (dt > 0 && dv > 0)
            sum += std::pow(dv, r.alpha) * std::pow(dt, 1 - r.alpha);
    }
    return igseK(r) * std::pow(db, r.beta - r.alpha) * sum / period(flux) * temperatureFactor(r, tempC);
}

CoreLoss coreLossDensity(std::string_view material, std::span<const Corner> flux, double tempC, LowFlux lowFlux) {
    CoreLoss out;
    out.pv = kNaN;
    if (!isPeriodic(flux) || !std::isfinite(tempC)) {
        out.reason = Reason::BadInput;
        return out;
    }
    if (!knownMaterial(material)) {
        out.reason = Reason::UnknownMaterial;
        return out;
    }
    const double f = 1 / period(flux);
    const LossRange* r = rangeFor(material, f);
    const double peak = swing(flux) / 2;
    if (r && lowFlux == LowFlux::UpperBound && peak < r->bMin) {
        if (!(peak > 0)) { // a flux that does not move loses nothing
            out.pv = 0;
            return out;
        }
        Waveform scaled(flux.begin(), flux.end());
        for (Corner& c : scaled)
            c.v *= r->bMin / peak;
        out.reason = checkPoint(*r, r->bMin, tempC);
        out.bound = out.reason == Reason::None;
        (out.bound ? out.pv : out.outsideValue) = igse(*r, scaled, tempC);
        return out;
    }
    out.reason = r ? checkPoint(*r, peak, tempC) : Reason::FrequencyOutside;
    const double value = igse(r ? *r : *nearestRange(material, f), flux, tempC);
    if (out.reason == Reason::None)
        out.pv = value;
    else
        out.outsideValue = value;
    return out;
}

CoreLoss tmBoostLineAverage(std::string_view material, const TmBoost& op, double tempC, int samples) {
    CoreLoss out;
    out.pv = kNaN;
    const double vpk = std::sqrt(2.0) * op.vrms;
    for (double x : {op.vrms, op.vout, op.pin, op.inductance, op.turns, op.ae}) {
        if (!(x > 0) || !std::isfinite(x))
            out.reason = Reason::BadInput;
    }
    if (out.reason == Reason::None && !(op.vout > vpk))
        out.reason = Reason::BadInput;
    if (out.reason != Reason::None)
        return out;
    // On-time of a transition-mode boost: the same all over the line cycle.
    const double ton = 2 * op.inductance * op.pin / (op.vrms * op.vrms);
    return lineCycleAverage(
        material,
        [&](double theta) {
            const double s = std::sin(theta);
            const double vin = vpk * s;
            const double ipk = 2 * std::sqrt(2.0) * op.pin / op.vrms * s;
            const double toff = ton * vin / (op.vout - vin);
            const double f = 1 / (ton + toff);
            return TrianglePeriod{op.inductance * ipk / (op.turns * op.ae), f, ton * f};
        },
        tempC, samples);
}

CoreLoss lineCycleAverage(std::string_view material, const std::function<TrianglePeriod(double)>& at, double tempC,
                          int samples) {
    CoreLoss out;
    out.pv = kNaN;
    if (samples < 2 || !std::isfinite(tempC)) {
        out.reason = Reason::BadInput;
        return out;
    }
    if (!knownMaterial(material)) {
        out.reason = Reason::UnknownMaterial;
        return out;
    }
    double total = 0, outside = 0;
    Reason worst = Reason::None;
    for (int j = 0; j < samples; ++j) {
        const TrianglePeriod p = at((j + 0.5) * std::numbers::pi / samples);
        if (!(p.swing >= 0) || !(p.frequency > 0) || !std::isfinite(p.frequency) || !(p.duty > 0) || !(p.duty < 1)) {
            out.reason = Reason::BadInput;
            return out;
        }
        const Waveform flux = triangle(p.swing, p.frequency, p.duty);
        const LossRange* r = rangeFor(material, p.frequency);
        const Reason why = r ? checkPoint(*r, p.swing / 2, tempC) : Reason::FrequencyOutside;
        const double pv = igse(r ? *r : *nearestRange(material, p.frequency), flux, tempC);
        total += pv;
        if (why != Reason::None) {
            outside += pv;
            if (worst == Reason::None || why == Reason::FrequencyOutside)
                worst = why;
        }
    }
    total /= samples;
    outside /= samples;
    out.outsideShare = total > 0 ? outside / total : 0;
    if (out.outsideShare > kOutsideShareAllowed) {
        out.reason = worst;
        out.outsideValue = total;
    } else {
        out.pv = total;
    }
    return out;
}

const char* describe(Reason r) {
    switch (r) {
    case Reason::None: return "";
    case Reason::BadInput: return "an input is missing or not a positive number";
    case Reason::UnknownMaterial: return "no loss data for this core material";
    case Reason::FrequencyOutside: return "the frequency is outside the material's loss data";
    case Reason::FluxOutside: return "the peak flux density is outside the material's loss data";
    case Reason::TemperatureOutside: return "the core temperature is outside the material's loss data";
    case Reason::UnknownShape: return "no IEC core shape of this name";
    case Reason::ShapeNotSupported: return "the winding geometry of this core shape is not modelled";
    case Reason::WindingDoesNotFit: return "the windings do not fit the core window";
    }
    return "";
}

} // namespace kv::magnetics
