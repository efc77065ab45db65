// The LLC resonant half-bridge by first-harmonic approximation: the tank,
// the K7395 timing parts and the DC gain of the tank. Single precision, as
// the designer's fields; no user-interface types.
#pragma once

#include "form/Outcome.h"

namespace kv::ic {

struct LlcDesign {
    // design conditions (V, A, %, ms, kHz, mm², T, pF, ns)
    float vinMax = 420, vinNom = 400, vinMin = 320;
    float vo = 12, io = 16.7f, eff = 95, hold = 17;
    float fr = 70, k = 4.5f, qMargin = 0.95f;
    float ae = 95, swingB = 0.56f, vf = 0.7f;
    float coss = 150, cstray = 120, deadTime = 300;
    // presets: primary turns, resonant capacitor (nF), the extra scanned Q
    float npSet = 3, crSet = 33, qScan = 0.54f;
    // K7395: frequency limits (kHz), pin-3 capacitor (pF), soft-start frequency (kHz)
    float fswLow = 30, fswHigh = 150, cf = 330, fss = 300;

    // tank results
    float cbulk = 0;              // μF
    float gmin = 0, gmax = 0;
    float rac = 0;                // Ω
    float q = 0;
    float qMax = 0;               // Q/q: the largest Q that still reaches Gmax (the red curve)
    float fmax = 0, fmin = 0;     // kHz: the sweep range
    float fr2 = 0;                // kHz: resonance with Lm + Lr
    float cr = 0;                 // nF
    float lr = 0, lm = 0;         // μH
    float im = 0, ip = 0;         // A: magnetising current at the switching instant, dead-time charge current
    float irms = 0, imos = 0;     // A
    float vcrMax = 0;             // V
    float icout = 0;              // A
    float nact = 0, npMin = 0, nsMin = 0, np = 0; // the turns as wound: whole turns
    // the tank with the preset capacitor
    float qPre = 0, lrPre = 0, lmPre = 0, fr2Pre = 0;
    // K7395 timing parts: kΩ, kΩ, kΩ, μF, kΩ
    float rfmin = 0, rfmax = 0, rss = 0, css = 0, rfmaxBoost = 0;
};

// Codes of the outcomes.
enum LlcCode : int {
    kLlcBadTank = 1,       // a result is not finite, or the gain range is empty
    kLlcImBelowIp = 2,     // notice: too little magnetising current for ZVS
    kLlcBadController = 3, // a timing part is not finite
    kLlcFewTurns = 4,      // notice: the primary turns wound below the least the flux swing allows
};

// The tank from the design conditions and presets.
form::Outcome llcTank(LlcDesign& d);
// The K7395 timing resistors and soft-start parts.
form::Outcome llcController(LlcDesign& d);

// DC gain of the tank at `f` (kHz) for quality factor `qc`.
double llcGain(double f, double fr, double k, double qc);

// The frequency sweep of a gain curve: f_i = from + i·step for i = 0..count.
struct Sweep {
    double from = 0, step = 0;
    long count = 0; // steps
};
// Steps of 0.1 kHz from 200 kHz up, else 0.01 kHz, while f < to; at most
// kLlcMaxSteps steps, widened beyond.
inline constexpr long kLlcMaxSteps = 20000;
Sweep llcSweep(double from, double to);

// Quality factors of the drawn family, as multiples of the design's Q.
inline constexpr double kLlcFamily[15] = {2.4, 0.2, 0.6, 0.9, 1.4, 1.6, 1.8, 2, 2.1, 2.6, 3.1, 3.8, 4.8, 7, 10};

// Current (A) of a series L-C (μH, nF) driven by a half bridge switching
// `vin` (V) at `f` (kHz), in steady state at a switching instant, where it
// peaks: ½·vin·tan(π·f0/(2f))/Z0. Infinite at or below resonance f0.
double squareWavePeak(double vin, double f, double l, double c);

} // namespace kv::ic
