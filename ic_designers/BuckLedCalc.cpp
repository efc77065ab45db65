#include "ic_designers/BuckLedCalc.h"

#include "services/Magnetics.h"

#include <cmath>
#include <limits>

namespace kv::ic::buckled {

namespace mag = services::magnetics;

// A voltage typed as the crest (141.4 V for 100 Vrms) is at it, whichever way
// the single-precision product rounds.
bool belowCrest(float vo, float vin) {
    const float crest = mag::mainsPeak(vin);
    return crest - vo > 4 * std::numeric_limits<float>::epsilon() * crest;
}

Sd670xResults sd670x(const Sd670xInputs& in) {
    Sd670xResults r;
    r.ipk = std::sqrt(in.io * (in.io * 100 * 2) * 2 / in.eff);
    const float crest = mag::mainsPeak(in.vin);
    r.L = (0.2f / in.io * 1000) * in.vo * (crest - in.vo) / (crest * (0.4f * in.fmin));
    r.n = r.ipk * r.L / (in.ae * in.b);
    return r;
}

Sd690xResults sd690x(const Sd690xInputs& in) {
    Sd690xResults r;
    const float root2 = float(services::kRoot2), pi = float(services::kPi8);
    r.theta0 = std::asin(in.vo / (in.vin * float(mag::kMainsRoot2)));
    // Vo · ∫ from θ0 to π/2 of (√2·Vin·sinθ − Vo) dθ
    const float s = root2 * in.vin * in.vo * std::cos(r.theta0) - in.vo * in.vo * (pi / 2 - r.theta0);
    r.ipk = (root2 * in.vin - in.vo) * in.vo * in.io * pi / (s * in.eff * 0.01f);
    r.L = s * (in.eff * 1000 * 0.01f * in.vo) / (root2 * in.fmin * in.vo * in.io * pi * in.vin);
    r.n = r.L * 0.001f * r.ipk * 1000 / (in.ae * in.b);
    r.na = in.vfb / (in.vo / r.n);
    return r;
}

} // namespace kv::ic::buckled
