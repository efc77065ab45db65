// Copper skin depth and stranded wire, in single precision.
#pragma once

namespace kv::toolbox::wire {

// Skin depth of copper (mm) at f (kHz) and winding temperature T (°C):
// δ = √(ρ / (π·f·μ0)), 66.1 mm·√Hz at 20 °C, growing with √ρ(T) where
// ρ(T) = ρ20·(1 + 0.00393·(T − 20)).
// Not a number below about −234 °C, where the linear resistivity ends.
float skinDepth(float fKHz, float T);

struct StrandInputs {
    float I = 5;    // RMS current, A
    float d = 0.6f; // strand diameter, mm
    float J = 400;  // current density, circular mils per ampere
};

struct Strands {
    float D = 0; // required copper diameter, mm
    float n = 0; // strands of diameter d, not rounded
};

Strands strands(const StrandInputs& in);

} // namespace kv::toolbox::wire
