// Non-isolated buck LED drivers in critical conduction from the rectified
// mains: with a bulk capacitor (SD670X class) and without one, high power
// factor (SD690X / SD692X class).
#pragma once

namespace kv::ic::buckled {

// The LED voltage must stay under the crest (1.414·Vin) of the lowest mains.
bool belowCrest(float vo, float vin);

// The inputs both drivers take.
struct Inputs {
    float vin = 0;    // lowest mains, Vrms
    float vinMax = 0; // highest mains, Vrms (not used)
    float vo = 0;     // LED voltage, V
    float io = 0;     // LED current, A
    float eff = 0;    // %
    float fmin = 0;   // lowest switching frequency, kHz
    float ae = 0;     // mm²
    float b = 0;      // peak flux density, T
};

struct Sd670xInputs : Inputs {
    Sd670xInputs() : Inputs{100, 264, 72, 0.24f, 96, 45, 12, 0.3f} {}
};

struct Sd670xResults {
    float ipk = 0; // A
    float L = 0;   // μH
    float n = 0;   // turns
};

Sd670xResults sd670x(const Sd670xInputs& in);

struct Sd690xInputs : Inputs {
    Sd690xInputs() : Inputs{90, 264, 75, 0.24f, 90, 38, 20, 0.3f} {}
    float vfb = 16; // auxiliary winding voltage, V
};

struct Sd690xResults {
    float theta0 = 0; // phase where the rectified mains reaches the LED voltage, rad
    float ipk = 0;    // A
    float L = 0;      // μH
    float n = 0;      // main turns
    float na = 0;     // auxiliary turns
};

// Integrates over the part of the half-cycle above the LED voltage.
Sd690xResults sd690x(const Sd690xInputs& in);

} // namespace kv::ic::buckled
