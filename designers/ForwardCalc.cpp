#include "designers/ForwardCalc.h"

#include "designers/Turns.h"
#include "services/Magnetics.h"

#include <cmath>

namespace kv::designers::forward {

namespace mag = services::magnetics;

namespace {
// The duty notice both buttons give.
form::Outcome dutyNotice(const Design& d) {
    form::Outcome o;
    if (d.Dmax >= 0.5f) o.notice(kResetDuty);
    return o;
}
} // namespace

float inputPower(const Design& d) { return d.Vo * 100.0f * d.Io / d.Eff; }

form::Outcome areaProduct(Design& d, int) {
    form::Outcome o = dutyNotice(d);
    d.Ap = inputPower(d) * 506.7f * d.Cmil / (d.Kw * 1000.0f * d.f * d.Bpk);
    return o;
}

form::Outcome verify(Design& d, int) {
    form::Outcome o = dutyNotice(d);
    // On-time (µs) at the lowest input, in volt-microseconds over the core.
    const float voltMicroseconds = d.VinMin * 1e6f * d.Dmax / (d.f * 1000.0f);
    const float np0 = voltMicroseconds * 100.0f / (d.Bpk * d.Ae * 0.01f);
    const float n = d.VinMin * d.Dmax / (d.Vo + d.Vdf);
    // Whole turns (a primary of exactly k + ½ stays) that keep the flux within
    // Bpk and still reach Vo at the lowest input.
    const Turns turns = reachingTurns(np0, n, true);
    d.Np = turns.np;
    d.Ns = turns.ns;
    d.Irmsp = std::sqrt(d.Dmax) * d.Vo * d.Io / (d.VinMin * d.Dmax * d.Eff * 0.01f);
    d.Dp = mag::wireDiameter(d.Cmil, d.Irmsp);
    d.Irmss = std::sqrt(d.Dmax) * d.Io;
    d.Ds = mag::wireDiameter(d.Cmil, d.Irmss);
    // Buck at the highest input with a ripple of 0.4 Io, on the wound ratio.
    const float vs = d.VinMax * d.Ns / d.Np;
    const float ton = ((d.Vdf + d.Vo) / vs) * 1000.0f / d.f;
    d.Lo = (vs - d.Vdf - d.Vo) * ton / (d.Io * 0.4f);
    return o;
}

std::optional<magnetics::ForwardPrinted> printed(const Design& d) {
    const double period = 1e-3 / d.f, duty = d.Dmax;
    const magnetics::ForwardPrinted p{d.VinMin, duty * period, period, d.Irmsp / std::sqrt(duty),
                                      d.Irmss / std::sqrt(duty), d.Np, d.Ns, d.Dp * 1e-3, d.Ds * 1e-3, d.Ae * 1e-6};
    if (!magnetics::complete(p)) return std::nullopt;
    return p;
}

} // namespace kv::designers::forward
