// Flyback operating points the adviser's tests and benchmarks share.
#pragma once

#include "magnetics/CoreAdviser.h"

namespace kv::magnetics::test {

// A 65 W DCM flyback at 100 kHz: Lp 400 µH, 2.7 A peak, n = 6, Bpk 0.25 T,
// wires at 5 A/mm², 40 °C ambient.
inline FlybackPoint dcmFlyback65W() {
    FlybackPoint op;
    op.inductance = 400e-6;
    op.frequency = 100e3;
    op.duty = 0.45;
    op.primaryPeak = 2.7;
    op.secondaryPeak = 6 * 2.7;
    op.secondaryShare = 0.4;
    op.turnsRatio = 6;
    op.bpk = 0.25;
    op.currentDensity = 5e6;
    return op;
}

} // namespace kv::magnetics::test
