#include "ic_designers/LlcCalc.h"

#include <cmath>
#include <numbers>

namespace kv::ic {

namespace {
// The constants the formulas are written with.
constexpr float kPi1 = 3.1415925f;
constexpr float kPi = 3.1415926f;
constexpr float kTwoPi1 = 6.28318f;
constexpr float kTwoPi = 6.2831852f;
constexpr float kPiSquared = float(9.869604064374760455);
const float kRoot2 = std::sqrt(2.0f);
} // namespace

ButtonOutcome llcTank(LlcDesign& d) {
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
    d.cr = 1e6f / (d.fr * kTwoPi1 * d.rac * d.q);
    d.lr = d.q * 1000 * d.rac / (d.fr * kTwoPi1);
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
    const float ripple = kPi1 * d.io / (2 * kRoot2);
    d.icout = std::sqrt(ripple * ripple - d.io * d.io);
    d.fr2 = 1000 / (std::sqrt((d.lm + d.lr) * d.cr / 1000) * (2 * kPi1));
    d.npMin = d.nact * 1000 * vout / (d.fmin * 2 * d.swingB * d.ae);
    d.nsMin = d.npMin / d.nact;
    d.np = d.npSet * d.nact;
    d.qPre = 1e6f / (2 * kPi1 * d.fr * d.rac * d.crSet);
    d.lrPre = d.qPre * 1000 * d.rac / (2 * kPi1 * d.fr);
    d.lmPre = d.k * d.lrPre;
    d.fr2Pre = 1000 / (std::sqrt((d.lmPre + d.lrPre) * d.crSet / 1000) * (2 * kPi1));

    const bool finite = allFinite(d.cbulk, d.gmin, d.gmax, d.rac, d.q, d.qMax, d.fmax, d.fmin, d.fr2, d.cr, d.lr,
                                  d.lm, d.im, d.ip, d.irms, d.imos, d.vcrMax, d.icout, d.nact, d.npMin,
                                  d.nsMin, d.np, d.qPre, d.lrPre, d.lmPre, d.fr2Pre);
    // The plot maps [Fmin, Fmax] × [Gmin, Gmax]: both must be proper ranges.
    if (!finite || !(d.gmin < d.gmax) || !(d.fmin < d.fmax)) return ButtonOutcome::stopped(kLlcBadTank);
    ButtonOutcome o;
    if (!(d.im >= d.ip)) o.notices.push_back(kLlcImBelowIp);
    return o;
}

ButtonOutcome llcController(LlcDesign& d) {
    d.rfmin = 1e6f / (3 * d.cf * d.fswLow);
    d.rfmax = d.rfmin / (d.fswHigh / d.fswLow - 1);
    d.rss = d.rfmin / (d.fss / d.fswLow - 1);
    d.css = 3 / d.rss;
    d.rfmaxBoost = d.rfmax * 3 / 8;
    if (!allFinite(d.rfmin, d.rfmax, d.rss, d.css, d.rfmaxBoost)) return ButtonOutcome::stopped(kLlcBadController);
    return {};
}

double squareWavePeak(double vin, double f, double l, double c) {
    const double f0 = 1 / (2 * std::numbers::pi * std::sqrt(l * 1e-6 * c * 1e-9)) / 1000; // kHz
    const double half = std::numbers::pi * f0 / (2 * f);
    if (!(half > 0 && half < std::numbers::pi / 2)) return INFINITY;
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
