// Core size estimates from the power, in single precision.
#pragma once

namespace kv::toolbox::core {

// Cross-section Ae (mm², side legs included) for an input power P (W):
// 0.15·√P·100.
float crossSection(float P);

// Flyback core volume Ve (mm³) for an output power P (W) at f (kHz).
float flybackVolume(float P, float fKHz);

// Forward-type topologies, in the order of the page's drop-down list.
enum class ForwardTopology { Forward = 0, Bridge = 1, CenterTap = 2 };

// Topology constant of the forward-type estimate; an unknown index counts as forward.
float forwardConstant(int topology);

struct ForwardInputs {
    int topology = 0; // ForwardTopology
    float Pin = 250;  // W
    float dB = 0.15f; // T
    float f = 100;    // kHz
};

// Forward-type core volume Ve (mm³): 29.3·Pin^0.9 / (k·ΔB·f·1000)^0.68 · 1000.
float forwardVolume(const ForwardInputs& in);

} // namespace kv::toolbox::core
