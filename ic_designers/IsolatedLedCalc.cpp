#include "ic_designers/IsolatedLedCalc.h"

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
// and the largest duty sets the primary.
Results noPfc(const Inputs& in) {
    Results r;
    r.ispk = 2 * in.io / in.dout;
    r.vor = in.vbmin * in.dmax / in.dout;
    r.n = r.vor / (in.vled + in.vf);
    r.ipk = r.ispk / (std::sqrt(in.eff * 0.01f) * r.n);
    r.L = in.dmax / (in.fmin * 1000) * in.vbmin * 1e6f / r.ipk;
    r.np = in.vbmin * in.dmax / (in.fmin * 1000) / (in.bpk * in.ae * 1e-6f);
    r.ns = r.np / r.n;
    r.nfb = in.vfb / ((in.vled + in.vf) / r.ns);
    return r;
}

// No bulk capacitor: the on-time at the crest of the lowest mains sets the primary.
Results singleStage(const Inputs& in) {
    Results r;
    const float vout = in.vled + in.vf;
    r.n = in.vor / vout;
    const float t = vout * r.n / in.fmin / 1000 / (vout * r.n + mag::mainsPeak(in.vacMin)); // s
    r.L = t * (in.vacMin * (in.vacMin * 100000) * t) / in.eff / 2 / in.vled / in.io * in.fmin * 1000 * 1000;
    r.ipk = in.vacMin * 1000 * float(mag::kMainsRoot2) * t / r.L * 1000;
    r.np = r.L * 1000 * 0.001f * r.ipk / in.ae / in.bpk;
    r.ns = r.np / r.n;
    r.nfb = in.vfb / (vout / r.ns);
    r.ispk = r.ipk * r.n;
    const float e = r.L / 1000 * 2 * in.vled * in.io * (mag::mainsPeak(in.vacMax) / (vout * r.n) + 1) / in.eff /
                    in.vacMax / in.vacMax;
    r.fmax = r.n * 10 * in.vled / (mag::mainsPeak(in.vacMax) + r.n * in.vled) / e / 1000;
    return r;
}
} // namespace

Results design(Family f, const Inputs& in) { return f == Family::NoPfc ? noPfc(in) : singleStage(in); }

} // namespace kv::ic::isoled
