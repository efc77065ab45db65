// Power-stage relations the flyback designers share: the bulk capacitor of a
// full-wave mains rectifier, the RCD leakage clamp and the output capacitor's
// ESR. Pure functions in SI units, in the precision of their arguments.
#pragma once

#include "services/Constants.h"

#include <cmath>

namespace kv::services::power {

// Time (s) the bulk capacitor alone carries the load in one half cycle of the
// mains at `fLine` (Hz): from the crest it charged to until the next half wave
// climbs back to the valley vMin, a quarter period plus asin(vMin / vPk) / ω.
template <class T>
T holdTime(T vMin, T vPk, T fLine) {
    return T(0.25) / fLine + std::asin(vMin / vPk) / (T(2 * kPi) * fLine);
}

// Bulk capacitance (F) that keeps the rectified voltage above vMin at input
// power pin (W): the energy ½·C·(vPk² − vMin²) carries pin over holdTime.
template <class T>
T bulkCapacitance(T pin, T vPk, T vMin, T fLine) {
    return T(2) * pin * holdTime(vMin, vPk, fLine) / (vPk * vPk - vMin * vMin);
}

// Power (W) an RCD clamp at vClamp takes from a leakage inductance llk (H)
// that carries ipk (A) at turn-off, at fs (Hz), with the reflected voltage vor
// across the primary meanwhile: the leakage energy ½·llk·ipk² per cycle grows
// by vClamp / (vClamp − vor), because the secondary only takes over the
// current while the clamp holds the difference.
template <class T>
T clampPower(T llk, T ipk, T fs, T vClamp, T vor) {
    return T(0.5) * llk * ipk * ipk * fs * vClamp / (vClamp - vor);
}

// Resistor (Ω) that settles the clamp at vClamp while it takes `power` (W).
template <class T>
T clampResistor(T vClamp, T power) {
    return vClamp * vClamp / power;
}

// Clamp capacitor (F) whose voltage droops by `ripple` (a share of vClamp)
// through r (Ω) over one period 1/fs.
template <class T>
T clampCapacitor(T r, T fs, T ripple) {
    return T(1) / (ripple * r * fs);
}

// Largest ESR (Ω) of a flyback output capacitor: the secondary current steps
// from 0 to its peak ipks (A) when the rectifier turns on, and that step
// across the ESR alone must stay within the ripple vpp (V).
template <class T>
T outputEsr(T vpp, T ipks) {
    return vpp / ipks;
}

// An aluminium electrolytic capacitor's ESR·C, taken as 50 µs: the
// capacitance (µF) of such a part with ESR esr (Ω).
template <class T>
T electrolyticMicrofarads(T esr) {
    return T(50) / esr;
}

} // namespace kv::services::power
