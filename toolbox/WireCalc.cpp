#include "toolbox/WireCalc.h"

#include "services/Magnetics.h"

#include <cmath>

namespace kv::toolbox::wire {

float skinDepth(float fKHz, float T) {
    return 66.1f * (1.0f + 0.0042f * (T - 20.0f)) / std::sqrt(fKHz * 1000.0f);
}

Strands strands(const StrandInputs& in) {
    Strands s;
    s.D = services::magnetics::wireDiameter(in.J, in.I);
    s.n = (s.D / 2.0f) * (s.D / 2.0f) / ((in.d / 2.0f) * (in.d / 2.0f));
    return s;
}

} // namespace kv::toolbox::wire
