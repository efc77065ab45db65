// Temperature rise of a wound set in still air from its total loss, by the
// empirical thermal resistance of its effective volume:
//     Rth = 53 · Ve^−0.5  K/W, Ve in cm³
// (the natural-convection fit of the magnetics design handbooks, e.g.
// McLyman; within about ±20 % of the makers' Rth of E and ETD sets, see
// data/core_thermal_resistance.csv).
#pragma once

namespace kv::magnetics {

// K/W of a set of effective volume `veM3` (m³); not a number for a volume
// that is not above zero.
double thermalResistance(double veM3);

} // namespace kv::magnetics
