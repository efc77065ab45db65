#include "toolbox/WireCalc.h"

#include "services/Magnetics.h"

#include <cmath>

namespace kv::toolbox::wire {

namespace {
// Resistivity of copper relative to 20 °C.
float resistivityRatio(float T) { return 1.0f + 0.00393f * (T - 20.0f); }
} // namespace

float skinDepth(float fKHz, float T) {
    return 66.1f * std::sqrt(resistivityRatio(T)) / std::sqrt(fKHz * 1000.0f);
}

Strands strands(const StrandInputs& in) {
    Strands s;
    s.D = services::magnetics::wireDiameter(in.J, in.I);
    s.n = (s.D / 2.0f) * (s.D / 2.0f) / ((in.d / 2.0f) * (in.d / 2.0f));
    return s;
}

} // namespace kv::toolbox::wire
