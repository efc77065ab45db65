// The quasi-resonant (valley-switching) flyback of the FAN6921 / OB2203
// class: duty and frequency at both input extremes, peak current, reflected
// voltage and turns; and the bands its two frequencies are coloured by.
// Single precision, as the designer's fields; no user-interface types.
#pragma once

#include "form/Outcome.h"

namespace kv::ic {

struct QrDesign {
    // design conditions: V, V, V, A, %, turns ratio, μH, mm², T, V, pF, V
    float vl = 240, vh = 400, vo = 12, io = 5, eff = 90, n = 7.3f, lp = 700;
    float ae = 119, b = 0.28f, vfb = 16, coss = 200, vd = 0.8f;
    // results: turns, kHz at V_L and V_H, duty at V_L and V_H, A, V
    float np = 0, ns = 0, na = 0, fl = 0, fh = 0, dl = 0, dh = 0, ipk = 0, vor = 0;
};

enum QrCode : int {
    kQrNotFinite = 1, // a result is not finite (inputs beyond what single precision holds)
};

form::Outcome qrCalc(QrDesign& d);

// One input extreme: duty and switching frequency (kHz) with the valley
// reached half a resonance period `trUs` (μs) after demagnetisation.
struct QrPoint {
    float duty, fKHz;
};
QrPoint qrPoint(float v, const QrDesign& d, float trUs);

enum class Band { Green, Orange, Red };
// Field 1044 (F_L) and field 1045 (F_H), frequencies in kHz.
Band lowLineBand(float fl, float fh);
Band highLineBand(float fh);

} // namespace kv::ic
