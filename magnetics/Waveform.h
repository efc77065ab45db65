// Periodic piecewise-linear waveforms (flux density, winding current) and
// their Fourier series. A waveform is one period of corner points (t, v),
// t rising from 0 to the period; two points at one t make a step.
#pragma once

#include <complex>
#include <span>
#include <vector>

namespace kv::magnetics {

struct Corner {
    double t = 0; // s
    double v = 0;
};

using Waveform = std::vector<Corner>;

// The period of a waveform: the time of its last corner.
double period(std::span<const Corner> w);
// True when the waveform has at least two corners, starts at t = 0, never
// goes back in time, ends where it started and spans a period above zero.
bool isPeriodic(std::span<const Corner> w);
double mean(std::span<const Corner> w);
double rms(std::span<const Corner> w);
// Complex Fourier coefficient c_n = (1/T)·∫ v(t)·e^(−j·n·ω·t) dt of harmonic n
// (n ≥ 1); its RMS value is √2·|c_n|.
std::complex<double> harmonic(std::span<const Corner> w, int n);
// The coefficients of harmonics 1 to `count` at once (element n − 1 is
// harmonic n), the same values as `harmonic` in a fraction of its time.
std::vector<std::complex<double>> harmonics(std::span<const Corner> w, int count);

// Flux density of one period: rises by `swing` (peak to peak) in `rise`
// seconds, stays for `high`, falls in `fall`, then stays low to the period's end.
Waveform trapezoid(double swing, double periodS, double rise, double high, double fall);
// A triangle of duty `duty` (share of the period spent rising).
Waveform triangle(double swing, double frequency, double duty);

} // namespace kv::magnetics
