// Transformer of a primary-side constant-current flyback LED driver, without
// PFC (a bulk capacitor after the bridge) or as a single-stage PFC.
#pragma once

namespace kv::ic::isoled {

enum class Family { NoPfc = 0, SingleStagePfc = 1 };

struct Inputs {
    float vacMin = 0, vacMax = 0; // Vrms
    float vled = 0;               // LED voltage, V
    float io = 0;                 // LED current, A
    float fmin = 0;               // lowest switching frequency, kHz
    float vor = 0;                // reflected voltage, V (single-stage PFC)
    float vfb = 0;                // feedback winding voltage, V
    float eff = 0;                // transformer efficiency, %
    float ae = 0;                 // mm²
    float bpk = 0;                // T
    float dmax = 0;               // largest duty cycle (no PFC)
    float dout = 0;               // secondary conduction duty (no PFC)
    float vbmin = 0;              // lowest bulk capacitor voltage, V (no PFC)
    float vf = 0;                 // output diode drop, V
};

// The defaults of a family; the inputs it does not use are 0.
Inputs defaults(Family f);

struct Results {
    float L = 0;                   // μH
    float np = 0, ns = 0, nfb = 0; // turns
    float n = 0;                   // primary to secondary turns ratio
    float ipk = 0, ispk = 0;       // A
    float vor = 0;                 // reflected voltage of the design, V (no PFC)
    float fmax = 0;                // switching frequency at the crest of the highest mains, kHz (single-stage PFC)
};

Results design(Family f, const Inputs& in);

} // namespace kv::ic::isoled
