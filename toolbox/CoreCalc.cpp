#include "toolbox/CoreCalc.h"

#include <cmath>

namespace kv::toolbox::core {

float crossSection(float P) { return 0.15f * std::sqrt(P) * 100.0f; }

float flybackVolume(float P, float fKHz) { return 1e9f * P / (100.0f * fKHz * 1000.0f); }

float forwardConstant(int topology) {
    return topology == int(ForwardTopology::Bridge) ? 0.165f : 0.141f;
}

float forwardVolume(const ForwardInputs& in) {
    const float k = forwardConstant(in.topology);
    return 29.3f * std::pow(in.Pin, 0.9f) / std::pow(k * in.dB * in.f * 1000.0f, 0.68f) * 1000.0f;
}

} // namespace kv::toolbox::core
