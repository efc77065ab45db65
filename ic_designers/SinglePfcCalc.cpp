#include "ic_designers/SinglePfcCalc.h"

#include "services/Magnetics.h"

#include <algorithm>
#include <cmath>
#include <numbers>

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
    r.co = r.f.h2 * 1e6f * in.io / (in.fline * 3.1415926f * r.f.f2 * in.ripple);
    r.np = r.L * r.ipk / (in.ae * in.bpk * 0.0001f);
    r.ns = r.np / n;
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
    const double s = std::fabs(std::sin(thetaDeg * std::numbers::pi / 180));
    return vpk * 1000 / (L * ipk * (vpk * s / vor + 1));
}

bool clipSegment(double& x1, double& y1, double& x2, double& y2, double left, double top, double right,
                 double bottom) {
    // Liang-Barsky: the part of the segment for t in [t0, t1] lies inside.
    const double dx = x2 - x1, dy = y2 - y1;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - left, right - x1, y1 - top, bottom - y1};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0) return false;
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const double ax = x1 + t0 * dx, ay = y1 + t0 * dy;
    x2 = x1 + t1 * dx;
    y2 = y1 + t1 * dy;
    x1 = ax;
    y1 = ay;
    return true;
}

namespace {
struct Curve {
    double vpk, ipk;
};

void trace(const Curve& c, const Inputs& in, const Results& r, double fmax, bool fine, std::vector<Segment>& out) {
    using F = PlotFrame;
    const int steps = fine ? kFineSteps : kCoarseSteps;
    const double step = fine ? kFineStep : 1.0;
    const double fmin = in.fmin, span = fmax - fmin;
    out.reserve(size_t(steps));
    auto point = [&](int i, double& x, double& y) {
        const double theta = i * step;
        x = F::left + theta * (F::right - F::left) / 180;
        y = F::bottom - (switchingFrequency(c.vpk, r.L, c.ipk, in.vor, theta) - fmin) * F::height / span;
    };
    double px = 0, py = 0;
    point(0, px, py);
    for (int i = 1; i <= steps; ++i) {
        double x1 = px, y1 = py, x2 = 0, y2 = 0;
        point(i, x2, y2);
        px = x2;
        py = y2;
        if (!std::isfinite(y1) || !std::isfinite(y2)) continue;
        // Whatever rounds onto the frame's pixels is inside it.
        constexpr double m = 0.49;
        if (!clipSegment(x1, y1, x2, y2, F::left - m, F::top - m, F::right + m, F::bottom + m)) continue;
        out.push_back({int(std::lround(x1)), int(std::lround(y1)), int(std::lround(x2)), int(std::lround(y2))});
    }
}
} // namespace

Plot frequencyPlot(const Inputs& in, const Results& r, bool fine) {
    Plot p;
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
    trace({vpkMin, r.ipk}, in, r, fmax, fine, p.low);
    trace({vpkMax, ipkMax}, in, r, fmax, fine, p.high);
    return p;
}

} // namespace kv::ic::singlepfc
