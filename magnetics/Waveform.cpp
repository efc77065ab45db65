#include "magnetics/Waveform.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kv::magnetics {

double period(std::span<const Corner> w) {
    return w.empty() ? 0.0 : w.back().t;
}

bool isPeriodic(std::span<const Corner> w) {
    if (w.size() < 2 || w.front().t != 0.0 || !(period(w) > 0) || !std::isfinite(period(w)))
        return false;
    double big = 0;
    for (size_t i = 0; i < w.size(); ++i) {
        if (!std::isfinite(w[i].v) || (i > 0 && w[i].t < w[i - 1].t))
            return false;
        big = std::max(big, std::abs(w[i].v));
    }
    return std::abs(w.back().v - w.front().v) <= 1e-9 * big;
}

double mean(std::span<const Corner> w) {
    double s = 0;
    for (size_t i = 1; i < w.size(); ++i)
        s += (w[i].t - w[i - 1].t) * (w[i].v + w[i - 1].v) / 2;
    return s / period(w);
}

double rms(std::span<const Corner> w) {
    double s = 0;
    for (size_t i = 1; i < w.size(); ++i) {
        const double a = w[i - 1].v, b = w[i].v;
        s += (w[i].t - w[i - 1].t) * (a * a + a * b + b * b) / 3;
    }
    return std::sqrt(s / period(w));
}

namespace {

// The integral of v(t)·e^(−jωt) over one period: a segment v = v0 + s·(t − t0)
// integrates to e^(−jωt)·(v/(−jω) + s/ω²) between its ends, and v/(−jω) is
// j·v/ω. `phase(i)` gives e^(−jω·t_i) of corner i.
template <class Phase>
std::complex<double> integral(std::span<const Corner> w, double om, Phase phase) {
    std::complex<double> sum = 0;
    for (size_t i = 1; i < w.size(); ++i) {
        const double dt = w[i].t - w[i - 1].t;
        if (dt <= 0)
            continue;
        const double s = (w[i].v - w[i - 1].v) / dt;
        sum += phase(i) * std::complex<double>(s / (om * om), w[i].v / om) -
               phase(i - 1) * std::complex<double>(s / (om * om), w[i - 1].v / om);
    }
    return sum;
}

} // namespace

std::complex<double> harmonic(std::span<const Corner> w, int n) {
    using namespace std::complex_literals;
    const double tp = period(w);
    const double om = 2 * std::numbers::pi * n / tp;
    return integral(w, om, [&](size_t i) { return std::exp(-1i * om * w[i].t); }) / tp;
}

std::vector<std::complex<double>> harmonics(std::span<const Corner> w, int count) {
    using namespace std::complex_literals;
    std::vector<std::complex<double>> out(size_t(std::max(count, 0)));
    const double tp = period(w);
    const double om = 2 * std::numbers::pi / tp;
    // e^(−j·n·ω·t) of every corner, advanced one harmonic at a time.
    std::vector<std::complex<double>> step(w.size()), turn(w.size(), 1.0);
    for (size_t i = 0; i < w.size(); ++i)
        step[i] = std::exp(-1i * om * w[i].t);
    for (int n = 1; n <= count; ++n) {
        for (size_t i = 0; i < w.size(); ++i)
            turn[i] *= step[i];
        out[size_t(n - 1)] = integral(w, n * om, [&](size_t i) { return turn[i]; }) / tp;
    }
    return out;
}

Waveform trapezoid(double swing, double periodS, double rise, double high, double fall) {
    Waveform w{{0, 0}, {rise, swing}};
    if (high > 0)
        w.push_back({rise + high, swing});
    w.push_back({rise + high + fall, 0});
    if (periodS > rise + high + fall)
        w.push_back({periodS, 0});
    return w;
}

Waveform triangle(double swing, double frequency, double duty) {
    const double tp = 1 / frequency;
    return trapezoid(swing, tp, duty * tp, 0, (1 - duty) * tp);
}

} // namespace kv::magnetics
