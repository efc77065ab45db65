// Current-mode control of a buck-boost stage: the small-signal plant with
// slope compensation (output pole, ESR zero, right-half-plane zero and the
// sampling double pole at half the switching frequency) and the type II
// error amplifier (transconductance or ordinary op amp) that cancels the
// output pole and the ESR zero.
#pragma once

#include "loop/Bode.h"

namespace kv::loop::icmode {

// In the order of the page's drop-down list.
enum class Amplifier { Transconductance = 0, OpAmp = 1 };

struct Inputs {
    Amplifier amplifier = Amplifier::Transconductance;
    float Vo = 5;       // V
    float Io = 1;       // A
    float Co = 470;     // μF
    float Resr = 0.13f; // Ω
    float D = 0.5f;     // maximum duty cycle
    float Vin = 10;     // V, lowest input
    float L = 30;       // μH
    float Vs = 1;       // V, slope-compensation ramp
    float Ri = 0.6f;    // Ω, current-sense transfer resistance
    float fs = 60;      // kHz
    float fc = 4;       // kHz, wanted crossover: below fRHP/3 and fs/6 of these defaults
    float R1 = 4700;    // Ω, upper sampling resistor
    float gm = 0.3f;    // S
    float Vref = 2.5f;  // V
};

struct Results {
    float gainDb = 0; // plant DC gain, dB
    float C1 = 0;     // μF
    float R2 = 0;     // Ω
    float C2 = 0;     // μF
    float fp = 0;     // Hz, output pole
    float fz = 0;     // Hz, ESR zero
    float fop = 0;    // Hz, amplifier crossover
    float fRHP = 0;   // Hz, right-half-plane zero at full load and the largest duty
};

// Slope-compensation factor mc: 1 + ramp slope / inductor up-slope.
double slopeFactor(const Inputs& in);
// mc·(1 − D): the current loop is stable (no subharmonic oscillation) above 1/2.
double currentLoopDamping(const Inputs& in);
// Q of the sampling double pole at fs/2; needs currentLoopDamping above 1/2.
double samplingQ(const Inputs& in);
Results compensate(const Inputs& in);

// Highest crossovers the plant allows (Hz): a third of the right-half-plane
// zero, a sixth of the switching frequency.
double rhpLimit(const Results& r);
double samplingLimit(const Inputs& in);

// The compensated loop: the plant of the page's figures (DC gain, output
// pole, ESR zero, right-half-plane zero) with the sampling double pole,
// times the amplifier built from the parts found.
bode::Transfer plant(const Inputs& in, const Results& r);
bode::Transfer compensator(const Inputs& in, const Results& r);
bode::Response response(const Inputs& in, const Results& r);

} // namespace kv::loop::icmode
