// Losses worked by their definitions, for the worked examples of the tests.
#pragma once

#include "magnetics/CoreLoss.h"

#include <cmath>
#include <numbers>

namespace kv::magnetics::test {

// iGSE by its definition for a flux that rises by `swing` in `rise` seconds,
// falls back in `fall` and stays flat for the rest of `period`:
// (1/T)·∫ ki·|dB/dt|^α·ΔB^(β−α) dt, ki = k / ((2π)^(α−1)·∫|cos θ|^α dθ·2^(β−α)),
// both integrals by the midpoint rule; W/m³ at tempC.
inline double igseByDefinition(const LossRange& r, double swing, double period, double rise, double fall,
                               double tempC) {
    constexpr double pi = std::numbers::pi;
    double cosInt = 0;
    const int n = 200000;
    for (int i = 0; i < n; ++i)
        cosInt += std::pow(std::abs(std::cos(2 * pi * (i + 0.5) / n)), r.alpha) * 2 * pi / n;
    const double ki = r.k / (std::pow(2 * pi, r.alpha - 1) * cosInt * std::pow(2.0, r.beta - r.alpha));
    double integral = 0;
    const int slices = 10000;
    for (int i = 0; i < slices; ++i) {
        const double t = (i + 0.5) * period / slices;
        const double dbdt = t < rise ? swing / rise : t < rise + fall ? swing / fall : 0.0;
        integral += ki * std::pow(dbdt, r.alpha) * std::pow(swing, r.beta - r.alpha) * period / slices;
    }
    const double dt = tempC - 25;
    return integral / period * (1 + r.c1 * dt + r.c2 * dt * dt);
}

} // namespace kv::magnetics::test
