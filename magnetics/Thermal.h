// Temperature rise of a wound set in still air from its total loss, by an
// empirical thermal resistance of the set's outer surface S (its box, or its
// cylinder for pot shapes; see IecShapes.inc):
//     Rth = 0.332 · S^−0.75  K/W, S in m²
// i.e. a heat-transfer coefficient h = 1/(Rth·S) = 3.01 · S^−0.25 W/(m²·K)
// that falls as the set grows (about 20 W/(m²·K) for an E 13, 10 for an
// E 42). Fitted to the published thermal resistances of 33 E, EC, EFD and
// ETD sets (data/core_thermal_resistance.csv): never more than 20 % below a
// published value, at most 24 % above it, within ±20 % of 30 of them.
#pragma once

namespace kv::magnetics {

inline constexpr double kRthCoefficient = 0.332; // K/W at S = 1 m²
inline constexpr double kRthExponent = -0.75;

// K/W of a set of outer surface `surfaceM2` (m²); not a number for a surface
// that is not above zero.
double thermalResistance(double surfaceM2);

} // namespace kv::magnetics
