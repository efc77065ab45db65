#include "ic_designers/IsolatedLedCalc.h"

#include "services/Constants.h"
#include "services/Magnetics.h"

#include <cmath>

namespace kv::ic::isoled {

namespace mag = services::magnetics;

Inputs defaults(Family f) {
    Inputs in;
    in.vacMin = 90;
    in.vacMax = 280;
    in.eff = 90;
    if (f == Family::NoPfc) {
        in.vled = 25, in.io = 0.33f, in.fmin = 52, in.vfb = 12, in.ae = 19, in.bpk = 0.26f;
        in.dmax = 0.42f, in.dout = 0.5f, in.vbmin = 80, in.vf = 0.8f;
    } else {
        in.vled = 32, in.io = 1.5f, in.fmin = 50, in.vor = 105, in.vfb = 16, in.ae = 117, in.bpk = 0.3f;
        in.vf = 0.7f;
    }
    return in;
}

namespace {
// A bulk capacitor after the bridge: the on-time at the lowest bulk voltage
// and the largest duty sets the primary (Faraday's law at Bpk); the ratio that
// makes the secondary conduct for Dout sets the secondary. Wound in whole
// turns, the transformer reflects n·(Vled + Vf): the secondary then conducts
// for Vbmin·Dmax/Vor, and its peak current carries the LED current over that.
Results noPfc(const Inputs& in) {
    Results r;
    const float vout = in.vled + in.vf, ton = in.dmax / (in.fmin * 1000); // s
    const float n = in.vbmin * in.dmax / in.dout / vout;
    mag::roundTurns(in.vbmin * ton / (in.bpk * in.ae * 1e-6f), n, r.np, r.ns);
    r.nfb = mag::roundUp(in.vfb / (vout / r.ns));
    r.n = r.np / r.ns;
    r.vor = r.n * vout;
    const float dout = in.vbmin * in.dmax / r.vor;
    r.ispk = 2 * in.io / dout;
    r.ipk = r.ispk / (std::sqrt(in.eff * 0.01f) * r.n);
    r.L = in.vbmin * ton * 1e6f / r.ipk;
    return r;
}

// (1/π)·∫₀^π sin²θ/(1 + kv·sinθ) dθ: the line-cycle average of the input power of
// a transition-mode flyback with a constant on-time, as a share of Vpk·Ipk/2
// (the period at phase θ is ton·(1 + kv·sinθ)).
double powerShare(double kv) {
    constexpr int n = 512;
    double sum = 0;
    for (int i = 0; i < n; ++i) {
        const double s = std::sin((i + 0.5) * services::kPi / n);
        sum += s * s / (1 + kv * s);
    }
    return sum / n;
}

// No bulk capacitor: the on-time is constant over the mains cycle; at the crest
// of the lowest mains one period lasts 1/fmin, and the energy the primary
// stores over the cycle, times η, is what the secondary delivers.
Results singleStage(const Inputs& in) {
    Results r;
    const double vout = double(in.vled) + in.vf, eff = in.eff * 0.01, po = vout * in.io;
    const double vpk = mag::mainsPeak(double(in.vacMin));
    // The on-time at the crest of the lowest mains with reflected voltage vor.
    const auto onTime = [&](double vor) { return 1 / (in.fmin * 1e3 * (1 + vpk / vor)); }; // s
    // Whole turns: the primary from Faraday's law at Bpk with the entered Vor,
    // the secondary from its ratio; the rest from the Vor they reflect.
    mag::roundTurns(float(vpk * onTime(in.vor) / (in.ae * 1e-6 * in.bpk)), float(in.vor / vout), r.np, r.ns);
    r.nfb = mag::roundUp(in.vfb / (float(vout) / r.ns));
    r.n = r.np / r.ns;
    const double vor = r.n * vout, kv = vpk / vor, ton = onTime(vor);
    const double L = eff * vpk * vpk * ton * powerShare(kv) / (2 * po); // H
    r.L = float(L * 1e6);
    r.ipk = float(vpk * ton / L);
    r.ispk = r.ipk * r.n;
    // At the highest mains the same L takes a shorter on-time: the crest period is shortest.
    const double vpkMax = mag::mainsPeak(double(in.vacMax)), kvMax = vpkMax / vor;
    const double tonMax = 2 * L * po / (eff * vpkMax * vpkMax * powerShare(kvMax));
    r.fmax = float(1 / (tonMax * (1 + kvMax)) / 1e3);
    return r;
}
} // namespace

Results design(Family f, const Inputs& in) { return f == Family::NoPfc ? noPfc(in) : singleStage(in); }

} // namespace kv::ic::isoled
