// Independent checks of power-stage results: small time-step simulations and
// circuit evaluations from the parts a window prints, not the designers' own
// sizing relations.
#pragma once

#include <algorithm>
#include <cmath>
#include <complex>

namespace kv::test {

inline constexpr double kPi = 3.14159265358979323846;

// Lowest voltage (V) of a bulk capacitor c (F) behind an ideal full-wave
// rectifier of the mains with crest vpk (V) at fLine (Hz), feeding a load of
// constant power pin (W): stepped through three half cycles from the crest.
// The capacitor follows the rectified sine while that stays above what it
// would discharge to, and carries the load alone otherwise. 0 when it cannot.
inline double rectifierValley(double c, double pin, double vpk, double fLine) {
    const double w = 2 * kPi * fLine, dt = 1 / (fLine * 200000);
    double v = vpk, lowest = vpk;
    for (double t = 0.25 / fLine; t < 1.75 / fLine; t += dt) {
        const double line = vpk * std::fabs(std::sin(w * t));
        const double v2 = v * v - 2 * pin * dt / c; // the load's energy out of ½·C·v²
        const double free = v2 > 0 ? std::sqrt(v2) : 0;
        v = std::max(line, free);
        if (v <= 0) return 0;
        lowest = std::min(lowest, v);
    }
    return lowest;
}

struct ClampRun {
    double mean = 0;   // V, average clamp voltage once settled
    double ripple = 0; // share of the peak the capacitor droops between pulses
};

// An RCD clamp r (Ω), c (F) taking the leakage current of llk (H) from ipk (A)
// down to 0 at every turn-off, fs (Hz), while the reflected voltage vor holds
// the primary: during the pulse the leakage inductance and the capacitor
// trade energy across vor (½·llk·i² + ½·c·(v − vor)² stays), between pulses
// the resistor takes the capacitor back down. Run from vor cycle by cycle
// until it has settled.
inline ClampRun settleClamp(double r, double c, double llk, double ipk, double fs, double vor) {
    double v = vor * 1.05;
    ClampRun run;
    const double decay = std::exp(-1 / (fs * r * c));
    for (int cycle = 0; cycle < 200000; ++cycle) {
        const double top = vor + std::sqrt((v - vor) * (v - vor) + llk * ipk * ipk / c);
        const double bottom = top * decay;
        const bool settled = std::fabs(bottom - v) < 1e-9 * v;
        v = bottom;
        if (settled || cycle == 199999) {
            run.mean = (top - bottom) / std::log(top / bottom); // mean of the exponential droop
            run.ripple = (top - bottom) / top;
            break;
        }
    }
    return run;
}

// Attenuation (dB, positive) at f (Hz) of a series inductance l (H) with a
// shunt capacitance c (F) across a load r (Ω); c = 0 is the inductor alone.
inline double lcAttenuationDb(double l, double c, double r, double f) {
    const std::complex<double> jw(0, 2 * kPi * f);
    const std::complex<double> load = c > 0 ? 1.0 / (1.0 / r + jw * c) : std::complex<double>(r);
    return -20 * std::log10(std::abs(load / (load + jw * l)));
}

} // namespace kv::test
