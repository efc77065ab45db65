#include "designers/BridgeCalc.h"

#include "designers/Turns.h"
#include "services/Magnetics.h"

#include <cmath>

namespace kv::designers::bridge {

namespace mag = services::magnetics;

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
    const Turns turns = reachingTurns(np0, n);
    d.Np = turns.np;
    d.Ns = turns.ns;
    const float ip = d.Vo * 100.0f * d.Io / d.Eff / (vp * d.Dmax);
    // A push-pull half primary conducts for Dmax/2, a bridge primary for Dmax.
    d.Irmsp = std::sqrt(t == Topology::PushPull ? d.Dmax / 2.0f : d.Dmax) * ip;
    d.Dp = mag::wireDiameter(d.Cmil, d.Irmsp);
    d.Irmss = std::sqrt(d.Dmax / 2.0f) * d.Io; // one half of the secondary
    d.Ds = mag::wireDiameter(d.Cmil, d.Irmss);
    // The inductor sees the rectified secondary twice a period. Its ripple is
    // largest at the highest input, where the duty is shortest: there it
    // freewheels at Vo + Vdf for (1 - D) of a half period, and a ripple of
    // twice the boundary load keeps it continuous down to that load.
    const float vs = d.VinMax * primaryShare(t) * d.Ns / d.Np;
    const float dMin = (d.Vo + d.Vdf) / vs;
    const float halfPeriod = 500.0f / d.f; // µs
    d.Lo = (d.Vo + d.Vdf) * (1.0f - dMin) * halfPeriod / (2.0f * kBoundaryLoad * d.Io);
    return o;
}

form::Outcome pushPull(Design& d, int) { return design(d, Topology::PushPull); }
form::Outcome halfBridge(Design& d, int) { return design(d, Topology::HalfBridge); }
form::Outcome fullBridge(Design& d, int) { return design(d, Topology::FullBridge); }

} // namespace kv::designers::bridge
