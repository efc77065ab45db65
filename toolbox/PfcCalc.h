// Boost PFC stage of a transition-mode controller, and the step response of a
// first-order circuit.
#pragma once

namespace kv::toolbox::pfc {

struct Inputs {
    float vacMin = 90;  // Vrms
    float vacMax = 265; // Vrms
    float vo = 400;     // highest PFC voltage, V
    float voMin = 260;  // lowest PFC voltage, V
    float po = 60;      // W
    float eff = 96;     // %
    float fMin = 45;    // lowest switching frequency, kHz
    float ae = 58;      // mm²
    float b = 0.28f;    // T
    float hold = 20;    // hold-up time, ms
};

struct Results {
    float L = 0;    // boost inductance, μH
    float np = 0;   // main winding turns, whole
    float naux = 0; // auxiliary winding turns, whole
    float cMin = 0; // least bulk capacitance, μF
};

// Vo above √2·Vacmax: the boost has headroom at the crest of the highest mains.
bool hasHeadroom(const Inputs& in);

// Single precision throughout; meaningful with headroom and Vo above Vomin.
Results design(const Inputs& in);

} // namespace kv::toolbox::pfc

namespace kv::toolbox::firstorder {

enum class Circuit { RC = 0, RL = 1 };

struct Inputs {
    Circuit circuit = Circuit::RC;
    double f0 = 10;   // initial value, V or A
    double fInf = 2;  // final value, V or A
    double r = 100;   // Ω
    double c = 0.01;  // μF
    double l = 100;   // μH
    double t = 5;     // μs
};

struct Results {
    double ft = 0;  // value at t
    double tau = 0; // time constant, s
};

Results response(const Inputs& in);

} // namespace kv::toolbox::firstorder
