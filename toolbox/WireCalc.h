// Copper skin depth and stranded wire, in single precision.
#pragma once

namespace kv::toolbox::wire {

// Skin depth of copper (mm) at f (kHz) and winding temperature T (°C):
// 66.1·(1 + 0.0042·(T − 20)) / √(f·1000).
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
