#include "designers/BridgeCalc.h"

#include "services/Magnetics.h"

#include <cmath>

namespace kv::designers::bridge {

namespace mag = services::magnetics;

namespace {
// Nearest whole number, a fraction of one half rounding up.
float roundHalfUp(float x) { return std::floor(x + 0.5f); }
} // namespace

Design startValues(Topology t) {
    Design d;
    if (t == Topology::PushPull) {
        d.VinMin = 150;
        d.VinMax = 200;
    }
    return d;
}

float primaryShare(Topology t) { return t == Topology::HalfBridge ? 0.5f : 1.0f; }

form::Outcome design(Design& d, Topology t) {
    form::Outcome o;
    if (t == Topology::PushPull && d.Dmax > 0.8001f) o.notice(kLongDuty);
    const float k = primaryShare(t);
    const float vp = d.VinMin * k; // across the primary while a switch conducts
    const float ton = d.Dmax / 2.0f * 1000.0f / d.f; // µs, one switch
    // The flux swings by 2·DB (gauss) over Ae (mm2).
    const float np0 = vp * 100.0f * ton / (d.DB * 2.0f * d.Ae * 0.01f);
    // The ratio that gives Vo + Vdf at the lowest input and the largest duty.
    const float n = vp * d.Dmax / (d.Vo + d.Vdf);
    d.Ns = mag::roundUp(np0 / n);
    d.Np = roundHalfUp(n * d.Ns);
    const float ip = d.Vo * 100.0f * d.Io / d.Eff / (vp * d.Dmax);
    // A push-pull half primary conducts for Dmax/2, a bridge primary for Dmax.
    d.Irmsp = std::sqrt(t == Topology::PushPull ? d.Dmax / 2.0f : d.Dmax) * ip;
    d.Dp = mag::wireDiameter(d.Cmil, d.Irmsp);
    d.Irmss = std::sqrt(d.Dmax / 2.0f) * d.Io; // one half of the secondary
    d.Ds = mag::wireDiameter(d.Cmil, d.Irmss);
    // Period (µs) times Vo (1 - Dmax), for a ripple of 0.4 Io.
    d.Lo = 0.001f / d.f * 1000000.0f * (d.Vo - d.Vo * d.Dmax) / (d.Io * 0.4f);
    return o;
}

form::Outcome pushPull(Design& d, int) { return design(d, Topology::PushPull); }
form::Outcome halfBridge(Design& d, int) { return design(d, Topology::HalfBridge); }
form::Outcome fullBridge(Design& d, int) { return design(d, Topology::FullBridge); }

} // namespace kv::designers::bridge
