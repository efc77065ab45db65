// Single-stage power-factor-corrected flyback run by a transition-mode PFC
// controller: multiplier divider, current sense, transformer, currents, output
// rectifier and capacitor, and the switching frequency over half a mains cycle.
#pragma once

#include <vector>

namespace kv::ic::singlepfc {

struct Inputs {
    float vinMin = 88;   // Vrms
    float vinMax = 264;  // Vrms
    float fline = 50;    // Hz
    float vo = 40;       // V
    float io = 0.9f;     // A
    float ripple = 1;    // output ripple at twice the mains frequency, V
    float fmin = 48;     // kHz
    float vor = 100;     // reflected voltage, V
    float vf = 0.6f;     // output rectifier drop, V
    float vds = 4;       // switch drop, V
    float vbr = 600;     // switch rating, V
    float eff = 85;      // %
    float j = 400;       // current density, cmil/A
    float ae = 51.8f;    // mm²
    float bpk = 2500;    // gauss
    float vmult = 2.4f;  // multiplier input at the crest of the lowest mains, V
    float rup = 3;       // upper divider resistor, MΩ
    float rlow = 20;     // lower divider resistor, kΩ
};

// Shape factors of the line cycle, from kv = Vpk / Vor: fits of the averages
// (1/π)·∫ sinᵏθ/(1 + kv·sinθ) dθ of a transition-mode converter (F1 k = 1,
// F2 k = 2, F3 k = 3; F3 errs high by at most 4 % for kv 0.3 to 3).
struct Factors {
    float f1 = 0, f2 = 0, f3 = 0, h2 = 0;
};
Factors factors(float kv);

struct Results {
    float vcs = 0, rs = 0, prs = 0;        // V, Ω, W
    float L = 0, ipk = 0, irms = 0;        // μH, A, A
    float ispk = 0, isrms = 0;             // A
    float np = 0, ns = 0, dp = 0, ds = 0;  // turns, mm
    float vd = 0, id = 0, pd = 0;          // output rectifier: V, A, W
    float co = 0, vmargin = 0;             // μF, V
    Factors f;
    float pin = 0;                         // W
};

// Current-sense voltage at the crest of the lowest mains: Vmult·Vinmin/Vinmax·1.65.
float senseVoltage(const Inputs& in);
// The controller takes at most this sense voltage.
inline constexpr float kVcsLimit = 1.6f;
// The multiplier input stays inside this range (exclusive).
inline constexpr float kVmultMax = 3;
bool vmultInRange(float vmult);

Results design(const Inputs& in);

// Multiplier divider from the crest of the highest mains: the lower resistor
// (kΩ) for an upper one (MΩ), and the reverse.
float lowerResistor(const Inputs& in);
float upperResistor(const Inputs& in);

// ---- the switching frequency over half a mains cycle -------------------------

// Angle steps of the two passes, in degrees; the fine pass steps i·0.006.
inline constexpr int kCoarseSteps = 180;
inline constexpr int kFineSteps = 30000;
inline constexpr double kFineStep = 0.006;

// Switching frequency (kHz) at phase θ (degrees) for a crest Vpk (V), an
// inductance L (μH) and a crest current Ipk (A).
double switchingFrequency(double vpk, double L, double ipk, double vor, double thetaDeg);

struct FrequencyCurves {
    bool drawable = false;         // fmax above fmin and every value finite
    float fmax = 0, fmin = 0;      // kHz: the ends of the frequency axis
    double step = 1;               // degrees between the points
    std::vector<double> low, high; // kHz at θ = i·step, i = 0..steps: the lowest and the highest mains
};
// The curves of the coarse pass, or of the fine one.
FrequencyCurves frequencyCurves(const Inputs& in, const Results& r, bool fine);

} // namespace kv::ic::singlepfc
