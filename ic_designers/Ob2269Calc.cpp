#include "ic_designers/Ob2269Calc.h"

#include "services/Magnetics.h"

#include <cmath>
#include <limits>

namespace kv::ic {

form::Outcome ob2269Calc(Ob2269Design& d) {
    const float vout = d.vo + kOb2269DiodeDrop;
    d.n = d.vor / vout;
    d.dmax = d.vor / (d.vor + d.vmin);
    const float pin = d.vo * d.io / (d.eff * 0.01f);
    const float ib = pin * d.k / d.vmin;            // average input current at the boundary
    const float ramp = 2 * ib / d.dmax;             // current ramp at the boundary
    const float ton = d.dmax / d.f;                 // ms
    d.lp = ton * d.vmin / ramp;
    d.ipk = pin / (d.vmin * d.dmax) + ramp / 2;
    // Whole turns: the flyback rule for the primary and secondary; the
    // auxiliary rounded up, so it gives at least Vfb.
    services::magnetics::roundTurns(d.lp * d.ipk / (d.ae * d.b) * 1000, d.n, d.np, d.ns);
    d.na = services::magnetics::roundUp(d.vfb / (vout / d.ns));
    d.r = ramp / (d.ipk - ramp / 2);
    if (!form::allFinite(d.lp, d.np, d.ns, d.na, d.n, d.ipk, d.r, d.dmax)) return form::Outcome::stopped(kObNotFinite);
    // 7 ms of hold-up from the crest of 90 Vac down to Vmin.
    const float headroom = kOb2269CrestSquared - d.vmin * d.vmin;
    form::Outcome o;
    d.cin = headroom > 0 ? pin * 2 * 7 / headroom * 1000 : std::numeric_limits<float>::quiet_NaN();
    if (!std::isfinite(d.cin)) {
        d.cin = std::numeric_limits<float>::quiet_NaN();
        o.notices.push_back(kObNoHoldUp);
    }
    return o;
}

} // namespace kv::ic
