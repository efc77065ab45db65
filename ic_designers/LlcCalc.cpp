#include "ic_designers/LlcCalc.h"

#include "services/Constants.h"

#include <algorithm>
#include <cmath>

namespace kv::ic {

namespace {
// The constants the formulas are written with, in single precision.
constexpr float kPi = float(services::kPi8);
constexpr float kTwoPi = float(2 * services::kPi8);
constexpr float kTwoPi6 = float(services::kTwoPi6);
constexpr float kPiSquared = float(services::kPi8 * services::kPi8);
constexpr float kRoot2 = float(services::kRoot2);
} // namespace

form::Outcome llcTank(LlcDesign& d) {
    const float vout = d.vo + d.vf;
    d.cbulk = d.vo * 2000 * d.io / d.eff * 100 * d.hold / (d.vinNom * d.vinNom - d.vinMin * d.vinMin);
    const float n = d.vinNom / 2 / vout;
    d.gmax = 2 * n * vout / d.vinMin;
    d.gmin = 2 * n * vout / d.vinMax;
    const float rl = vout * vout / (d.vo * d.io);
    d.rac = 8 * n * n * rl / kPiSquared;
    const float g2 = d.gmax * d.gmax;
    d.q = d.qMargin / (d.k * d.gmax) * std::sqrt(g2 / (g2 - 1) + d.k);
    d.qMax = d.q / d.qMargin;
    d.fmin = d.fr / std::sqrt((1 - 1 / g2) * d.k + 1);
    d.fmax = d.fr / std::sqrt((1 - 1 / d.gmin) * d.k + 1);
    d.cr = 1e6f / (d.fr * kTwoPi6 * d.rac * d.q);
    d.lr = d.q * 1000 * d.rac / (d.fr * kTwoPi6);
    d.lm = d.k * d.lr;
    // Zero-voltage switching is hardest at high line and light load: the current
    // that swings the midpoint is then the magnetising current of Lr + Lm with Cr
    // alone, at its peak when the switches turn off.
    d.im = float(squareWavePeak(d.vinMax, d.fmax, double(d.lr) + d.lm, d.cr));
    d.ip = (2 * d.coss + d.cstray) * d.vinMax / d.deadTime / 1000;
    d.nact = n * std::sqrt((d.lr + d.lm) / d.lm);
    const float magnetising = vout * d.nact / (4 * kRoot2 * d.fr * 1000 * d.lm * 1e-6f);
    const float load = kPi * d.io / (2 * kRoot2 * n);
    d.irms = std::sqrt(magnetising * magnetising + load * load);
    d.imos = d.irms / kRoot2;
    d.vcrMax = kRoot2 * d.irms / (kTwoPi * d.fr * 1000 * d.cr * 1e-9f) + d.vinMax / 2;
    const float ripple = kPi * d.io / (2 * kRoot2);
    d.icout = std::sqrt(ripple * ripple - d.io * d.io);
    d.fr2 = 1000 / (std::sqrt((d.lm + d.lr) * d.cr / 1000) * (2 * kPi));
    // Whole turns: the least are rounded up, the primary wound on the preset
    // secondary to the nearest turn.
    const float npLeast = d.nact * 1000 * vout / (d.fmin * 2 * d.swingB * d.ae);
    d.npMin = std::ceil(npLeast);
    d.nsMin = std::ceil(npLeast / d.nact);
    d.np = std::max(1.0f, std::round(d.npSet * d.nact));
    d.qPre = 1e6f / (2 * kPi * d.fr * d.rac * d.crSet);
    d.lrPre = d.qPre * 1000 * d.rac / (2 * kPi * d.fr);
    d.lmPre = d.k * d.lrPre;
    d.fr2Pre = 1000 / (std::sqrt((d.lmPre + d.lrPre) * d.crSet / 1000) * (2 * kPi));

    const bool finite = form::allFinite(d.cbulk, d.gmin, d.gmax, d.rac, d.q, d.qMax, d.fmax, d.fmin, d.fr2, d.cr, d.lr,
                                  d.lm, d.im, d.ip, d.irms, d.imos, d.vcrMax, d.icout, d.nact, d.npMin,
                                  d.nsMin, d.np, d.qPre, d.lrPre, d.lmPre, d.fr2Pre);
    // The plot maps [Fmin, Fmax] × [Gmin, Gmax]: both must be proper ranges.
    if (!finite || !(d.gmin < d.gmax) || !(d.fmin < d.fmax)) return form::Outcome::stopped(kLlcBadTank);
    form::Outcome o;
    if (!(d.im >= d.ip)) o.notices.push_back(kLlcImBelowIp);
    // Fewer turns than the flux swing allows at the lowest frequency saturate the core.
    if (d.np < d.npMin) o.notices.push_back(kLlcFewTurns);
    return o;
}

form::Outcome llcController(LlcDesign& d) {
    d.rfmin = 1e6f / (3 * d.cf * d.fswLow);
    d.rfmax = d.rfmin / (d.fswHigh / d.fswLow - 1);
    d.rss = d.rfmin / (d.fss / d.fswLow - 1);
    d.css = 3 / d.rss;
    d.rfmaxBoost = d.rfmax * 3 / 8;
    if (!form::allFinite(d.rfmin, d.rfmax, d.rss, d.css, d.rfmaxBoost)) return form::Outcome::stopped(kLlcBadController);
    return {};
}

double squareWavePeak(double vin, double f, double l, double c) {
    const double f0 = 1 / (2 * services::kPi * std::sqrt(l * 1e-6 * c * 1e-9)) / 1000; // kHz
    const double half = services::kPi * f0 / (2 * f);
    if (!(half > 0 && half < services::kPi / 2)) return INFINITY;
    return vin / 2 * std::tan(half) / std::sqrt(l * 1e-6 / (c * 1e-9));
}

double llcGain(double f, double fr, double k, double qc) {
    const double fn = f / fr, fn2 = fn * fn;
    const double re = fn2 * (k + 1) - 1, im = fn * k * qc * (fn2 - 1);
    return k * fn2 / std::sqrt(re * re + im * im);
}

Sweep llcSweep(double from, double to) {
    Sweep s{from, from >= 200 ? 0.1 : 0.01, 0};
    if (!(to > from) || !std::isfinite(to - from)) return s;
    const double steps = std::ceil((to - from) / s.step);
    if (steps > double(kLlcMaxSteps)) {
        s.step = (to - from) / double(kLlcMaxSteps);
        s.count = kLlcMaxSteps;
    } else {
        s.count = long(steps);
    }
    return s;
}

} // namespace kv::ic
