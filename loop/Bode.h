// Frequency responses of the compensated loops: a transfer function is a
// product of factors (poles, zeros, impedance ratios), swept over a log grid,
// with the gain crossover and the phase margin found on the curve.
#pragma once

#include <complex>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

namespace kv::loop::bode {

using Complex = std::complex<double>;

// One factor at s = jω. Its phase stays within (−180°, 180°) over every
// frequency, so the phase of a product is the sum of the factors' phases.
using Factor = std::function<Complex(Complex s)>;

struct Transfer {
    std::vector<Factor> factors;
    Complex at(double f) const;      // f in Hz
    double gainDb(double f) const;
    double phaseDeg(double f) const; // sum of the factors' phases
};

Factor gain(double k);
Factor zero(double f);               // 1 + s/ωf
Factor pole(double f);               // 1 / (1 + s/ωf)
Factor rhpZero(double f);            // 1 − s/ωf: gain rises, phase falls
// A double pole at f0 with Q = fq/f0: 1 / (1 + s/ωq + (s/ω0)²). An LC
// filter damped by its capacitor's ESR alone has fq at the ESR zero.
Factor lcPole(double f0, double fq);

// Impedances at s.
inline Complex capacitor(Complex s, double C) { return 1.0 / (s * C); }
inline Complex parallel(Complex a, Complex b) { return a * b / (a + b); }

struct Curve {
    std::vector<double> gain, phase; // dB, degrees
};

struct Response {
    std::vector<double> f;           // Hz, log-spaced
    Curve loop, plant, compensator;
    bool crossed = false;            // the loop gain falls through 0 dB in the sweep
    double crossover = 0;            // Hz
    double phase = 0;                // loop phase at the crossover, degrees
    double margin = 0;               // 180 + phase
    double regain = 0;               // Hz: above the crossover, where the loop gain rises
                                     // through 0 dB again; 0 when it does not
};

// Sweeps plant · compensator over n log-spaced points from fLo to fHi (Hz);
// the crossover is the first frequency where the loop gain falls through
// 0 dB, found on the transfer function itself between two samples; above
// it, the first frequency where the gain comes back through 0 dB.
Response sweep(const Transfer& plant, const Transfer& compensator, std::pair<double, double> range,
               int n = 401);

// Whole decades from a decade below the lowest to a decade above the highest
// of these frequencies (Hz), at most eight decades centred on `centre`.
std::pair<double, double> span(double centre, std::initializer_list<double> corners);

} // namespace kv::loop::bode
