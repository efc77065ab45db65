// Primary-side-regulated constant-current flyback LED driver on the MT7930:
// transformer, windings, wires, timing, peak currents, current sense and the
// output-voltage sense divider, and the controller's limits.
#pragma once

#include <vector>

namespace kv::ic::mt7930 {

struct Inputs {
    float vacMin = 85;  // Vrms
    float vacMax = 280; // Vrms
    float vo = 42;      // V
    float io = 0.6f;    // A
    float vdd = 15;     // controller supply, V
    float d = 0.38f;    // largest duty cycle
    float vor = 100;    // reflected voltage, V
    float vmos = 5;     // switch drop, V
    float vf = 1;       // output rectifier drop, V
    float vov = 50;     // output voltage limit without load, V
    float eff = 90;     // %
    float ae = 105;     // mm²
    float bpk = 0.25f;  // T
    float j = 400;      // cmil/A
};

struct Results {
    float L = 0;                     // μH
    float np = 0, ns = 0, naux = 0;  // turns
    float n = 0;                     // primary to secondary turns ratio
    float dp = 0, ds = 0;            // mm
    float tonMin = 0, tdem = 0, tidle = 0; // μs
    float fmin = 0, fmax = 0;        // kHz
    float ipk = 0, ispk = 0;         // A
    float rcs = 0;                   // Ω
    float kdsen = 0;                 // upper to lower resistor of the sense divider
};

// Fixed off period of the switching cycle, μs.
inline constexpr float kOffTime = 11;

Results design(const Inputs& in);

// The controller's limits, in the order they are checked.
enum class Limit { DmaxHigh, DmaxLow, IdleShort, EffHigh, EffLow, FluxHigh, FluxLow, UnderVoltage, OverVoltage };
// What each limit flags.
enum class Flag { Dmax, Efficiency, Flux, Idle, Supply };
Flag flagOf(Limit l);
// The limits the design breaks. The bounds are single-precision constants:
// D = 0.45 is at its bound, so is Vdd = 9.2.
std::vector<Limit> brokenLimits(const Inputs& in, const Results& r);

} // namespace kv::ic::mt7930
