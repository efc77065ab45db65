#include "toolbox/PfcCalc.h"

#include "services/Constants.h"

#include <algorithm>
#include <cmath>

namespace kv::toolbox::pfc {

namespace {
constexpr float kRoot2 = float(services::kRoot2);
}

bool hasHeadroom(const Inputs& in) { return in.vo > kRoot2 * in.vacMax; }

Results design(const Inputs& in) {
    Results r;
    const float eff = in.eff * 0.01f;
    // The switching frequency of a transition-mode boost is lowest at the crest:
    // the inductance that puts it at fMin for the mains `vac`, in μH.
    const auto atCrest = [&](float vac) {
        const float lb = vac * (eff * vac) / (in.po * 2 * in.fMin * 1000) * 1e6f;
        return (in.vo - kRoot2 * vac) * lb / in.vo;
    };
    // Either mains extreme may set it: the smaller keeps both at or above fMin.
    r.L = std::min(atCrest(in.vacMin), atCrest(in.vacMax));
    const float headroom = in.vo - kRoot2 * in.vacMax;
    const float ipk = 2 * kRoot2 * in.po / (eff * in.vacMin);
    // Whole turns, rounded up: the flux stays at or below B, the auxiliary
    // winding gives at least 2.5 V while the inductor demagnetises.
    r.np = std::ceil(ipk * r.L / (in.ae * in.b));
    r.naux = std::ceil(r.np * 2.5f / headroom);
    r.cMin = in.po * 2000 / in.eff * 100 * in.hold / (in.vo * in.vo - in.voMin * in.voMin);
    return r;
}

} // namespace kv::toolbox::pfc

namespace kv::toolbox::firstorder {

Results response(const Inputs& in) {
    Results r;
    r.tau = in.circuit == Circuit::RC ? in.r * in.c * 1e-6 : in.l * 1e-6 / in.r;
    const float b = float(-(in.t * 1e-6 / r.tau));
    r.ft = (in.f0 - in.fInf) * std::pow(2.71828182, double(b)) + in.fInf;
    return r;
}

} // namespace kv::toolbox::firstorder
