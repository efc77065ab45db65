// Voltage-mode control with a type II error amplifier: the control-to-output
// characteristic of a DCM flyback or a forward-type converter, and the
// amplifier's parts from a crossover and either a wanted phase margin
// (forward, K factor) or a pole and a zero placed by the user (DCM flyback).
// The amplifier's gain makes up what the loop lacks at the crossover, and the
// margin is read off the loop built from the parts.
#pragma once

#include "loop/Bode.h"

namespace kv::loop::vmode {

// In the order of the page's drop-down list.
enum class Form { DcmFlyback = 0, Forward = 1 };

struct PlantInputs {
    float Vo = 5;       // V
    float Irated = 10;  // A
    float Imin = 1;     // A
    float Vinmax = 10;  // V
    float fs = 100;     // kHz
    float Co = 470;     // μF
    float Resr = 0.13f; // Ω
    float Vramp = 3;    // V
    float Vref = 2.5f;  // V: sets the divider's lower resistor only, not the loop
    float L = 50;       // μH: output inductor (forward) or primary (DCM flyback)
    float Dmax = 0.5f;
};

// Control-to-output figures, as the page shows them.
struct Plant {
    float pole = 0; // kHz: the LC double pole (forward) or the output pole (DCM flyback)
    float fesr = 0; // kHz
    float G = 0;    // dB, the plant's gain at the ESR zero (asymptotic)
};

// Gain factor k of the DCM flyback for the output power P (W).
float gainFactor(float P);
Plant plant(Form form, const PlantInputs& in);

struct Placement {
    float fp1 = 80;    // kHz
    float fz1 = 5;     // kHz
    float fc = 20;     // kHz
    float PMwant = 45; // °
    float R1 = 1000;   // Ω
};

struct Network {
    bool found = true; // forward: a K factor gives the wanted phase margin
    float C1 = 0;      // pF
    float C2 = 0;      // pF
    float R2 = 0;      // Ω
    float PM = 0;      // °, phase margin of the loop at its crossover (not a number without one)
    float fp1 = 0;     // kHz, the pole used
    float fz1 = 0;     // kHz, the zero used
};

Network compensate(Form form, const Plant& p, const Placement& in);
// Forward: the phase margin at fc with the largest K the search tries (what
// the amplifier can give at most at this crossover).
float largestMargin(const Plant& p, const Placement& in);

// The compensated loop: the plant of the figures (forward: the LC pole damped
// by the ESR alone, the lightest load; DCM flyback: the averaged output pole)
// times the amplifier of the parts.
bode::Transfer plantTransfer(Form form, const Plant& p);
bode::Transfer compensator(const Placement& in, const Network& n);
bode::Response response(Form form, const Plant& p, const Placement& in, const Network& n);

} // namespace kv::loop::vmode
