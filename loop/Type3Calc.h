// Voltage-mode control with a type III error amplifier: the network's parts
// from the poles and zeros the user places and the regulator's DC gain.
#pragma once

#include "loop/Bode.h"

namespace kv::loop::type3 {

struct Inputs {
    float fp1 = 10.5f;  // kHz
    float fp2 = 500;    // kHz
    float fz1 = 3.918f; // kHz
    float fz2 = 3.918f; // kHz
    float fc = 50;      // kHz, open-loop crossover
    float G = 16.9f;    // dB, regulator DC gain (Vin/Vramp and the like)
    float R1 = 2;       // kΩ
};

// Feedback: R2 in series with C1, both across C3; input: R1 beside R3 in
// series with C2.
struct Results {
    float C1 = 0;  // nF
    float C2 = 0;  // nF
    float C3 = 0;  // pF
    float R2 = 0;  // kΩ
    float R3 = 0;  // kΩ
    float fop = 0; // kHz, amplifier crossover
};

Results compensate(const Inputs& in);

// The compensated loop, on the plant the placement assumes: the DC gain G
// and the output filter's LC resonance where the two zeros sit (at their
// geometric mean), damped by the capacitor's ESR alone, whose zero is where
// fp1 sits.
bode::Transfer plant(const Inputs& in);
bode::Transfer compensator(const Inputs& in, const Results& r);
bode::Response response(const Inputs& in, const Results& r);

} // namespace kv::loop::type3
