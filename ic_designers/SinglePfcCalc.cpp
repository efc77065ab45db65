#include "ic_designers/SinglePfcCalc.h"

#include "services/Magnetics.h"

#include <cmath>

namespace kv::ic::singlepfc {

namespace mag = services::magnetics;

Factors factors(float kv) {
    Factors f;
    f.f1 = (0.0046f * kv + 0.637f) / (0.729f * kv + 1);
    f.f2 = (0.0014f * kv + 0.5f) / (0.815f * kv + 1);
    f.f3 = (0.0057f * kv + 0.424f) / (0.862f * kv + 1);
    f.h2 = (0.25f - 0.0015f * kv) / (1.074f * kv + 1);
    return f;
}

float senseVoltage(const Inputs& in) { return in.vmult * in.vinMin / in.vinMax * 1.65f; }

bool vmultInRange(float vmult) { return vmult > 0 && vmult < kVmultMax; }

Results design(const Inputs& in) {
    Results r;
    const float vpk = mag::mainsPeak(in.vinMin) - in.vds;
    r.pin = in.vo * in.io / (in.eff / 100);
    const float kv = vpk / in.vor;
    r.f = factors(kv);
    r.ipk = 2 * r.pin / (vpk * r.f.f2);
    r.irms = std::sqrt(r.f.f2 / 3) * r.ipk;
    r.ispk = 2 * in.io / (kv * r.f.f2);
    r.isrms = std::sqrt(r.f.f3 / 3 * kv) * r.ispk;
    r.L = vpk * 1e6f / ((kv + 1) * in.fmin * 1000 * r.ipk);
    const float n = in.vor / (in.vo + in.vf);
    r.vmargin = in.vbr - 1.4f * in.vor - mag::mainsPeak(in.vinMax);
    r.vd = mag::mainsPeak(in.vinMax) / n + in.vo;
    r.id = 0.4f * r.ispk;
    // the rectifier's forward drop carries Io, its slope resistance the rms current
    r.pd = in.vf * in.io + 0.013f * r.isrms * r.isrms;
    r.co = r.f.h2 * 1e6f * in.io / (in.fline * float(services::kPi8) * r.f.f2 * in.ripple);
    // Whole turns by the flyback rule: the secondary rounded up, the primary
    // to the nearest turn of the ratio.
    mag::roundTurns(r.L * r.ipk / (in.ae * in.bpk * 0.0001f), n, r.np, r.ns);
    r.dp = mag::wireDiameter(in.j, r.irms);
    r.ds = mag::wireDiameter(in.j, r.isrms);
    r.vcs = senseVoltage(in);
    r.rs = r.vcs / r.ipk;
    r.prs = r.irms * r.irms * r.rs; // the sense resistor carries the primary current
    return r;
}

float lowerResistor(const Inputs& in) {
    return in.vmult / ((mag::mainsPeak(in.vinMax) - in.vmult) / (in.rup * 1e6f)) / 1000;
}

float upperResistor(const Inputs& in) {
    return (mag::mainsPeak(in.vinMax) - in.vmult) / (in.vmult / (in.rlow * 1000)) / 1e6f;
}

double switchingFrequency(double vpk, double L, double ipk, double vor, double thetaDeg) {
    const double s = std::fabs(std::sin(thetaDeg * services::kPi / 180));
    return vpk * 1000 / (L * ipk * (vpk * s / vor + 1));
}

namespace {
std::vector<double> trace(double vpk, double ipk, const Inputs& in, const Results& r, int steps, double step) {
    std::vector<double> f(std::size_t(steps) + 1);
    for (int i = 0; i <= steps; ++i) f[std::size_t(i)] = switchingFrequency(vpk, r.L, ipk, in.vor, i * step);
    return f;
}
} // namespace

FrequencyCurves frequencyCurves(const Inputs& in, const Results& r, bool fine) {
    FrequencyCurves p;
    const double vpkMin = mag::mainsPeak(double(in.vinMin)) - in.vds;
    const double vpkMax = mag::mainsPeak(double(in.vinMax)) - in.vds;
    const double ipkMax = 2 * double(r.pin) / (vpkMax * factors(float(vpkMax / in.vor)).f2);
    const double fmax = vpkMax * 1000 / (ipkMax * r.L);
    p.fmin = in.fmin;
    p.fmax = float(fmax);
    const double values[] = {vpkMin, vpkMax, ipkMax, fmax, double(r.L), double(r.ipk), double(in.vor), double(in.fmin)};
    for (double v : values)
        if (!std::isfinite(v)) return p;
    if (!(fmax > in.fmin) || !std::isfinite(float(fmax))) return p;
    p.drawable = true;
    const int steps = fine ? kFineSteps : kCoarseSteps;
    p.step = fine ? kFineStep : 1.0;
    p.low = trace(vpkMin, r.ipk, in, r, steps, p.step);
    p.high = trace(vpkMax, ipkMax, in, r, steps, p.step);
    return p;
}

} // namespace kv::ic::singlepfc
