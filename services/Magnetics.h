// Magnetics arithmetic shared by the designers and the toolbox pages. Each
// function works in the precision of its arguments (single precision for the
// classic designers, double for the graphical flyback).
#pragma once

#include "services/Constants.h"

#include <cmath>

namespace kv::services::magnetics {

using services::kMainsRoot2;
// Mils per millimetre: a diameter in mils over this is millimetres.
inline constexpr double kMilsPerMm = 39.37;
// 8π·10⁻³: μ0 with the unit factors of the air-gap formula (Ae in mm², le in mm, Lp in µH).
inline constexpr double kGapMu0 = 0.0251327408;

template <class T>
T mainsPeak(T vrms) {
    return T(kMainsRoot2) * vrms;
}

// Copper diameter (mm) for `amps` at a current density of `cmilPerAmp`
// circular mils per ampere: the square root of the circular mils is the
// diameter in mils.
template <class T>
T wireDiameter(T cmilPerAmp, T amps) {
    return std::sqrt(cmilPerAmp * amps) / T(kMilsPerMm);
}

// Turns: a fraction goes up to the next whole turn.
template <class T>
T roundUp(T x) {
    const T f = std::floor(x);
    return x > f ? f + 1 : f;
}

// Nearest whole number, a fraction of exactly one half rounding down.
template <class T>
T roundHalfDown(T x) {
    const T f = std::floor(x);
    return x - f > T(0.5) ? f + 1 : f;
}

// Secondary turns Np0 / n rounded up, primary n · Ns rounded to nearest.
template <class T>
void roundTurns(T np0, T n, T& np, T& ns) {
    ns = roundUp(np0 / n);
    np = roundHalfDown(n * ns);
}

// Air gap (mm) that gives inductance `lpUh` (µH) with `np` turns on a core of
// effective area `aeMm2` (mm²) and path length `leMm` (mm).
template <class T>
T airGap(T aeMm2, T leMm, T np, T lpUh) {
    const T le = leMm / T(10);
    const T x = (aeMm2 / T(100)) * T(kGapMu0) * T(0.001) * np * np / (le * lpUh * T(0.1) * T(0.00001));
    return (le * x - le) * T(10) / T(2000);
}

} // namespace kv::services::magnetics
