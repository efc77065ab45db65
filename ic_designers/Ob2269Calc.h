// The fixed-frequency (PWM) flyback of an OB2269-class controller for a
// 90–280 Vac / 50 Hz input, designed at the boundary between discontinuous
// and continuous conduction placed at a fraction K of the input power at the
// lowest bulk voltage. Single precision; no user-interface types.
#pragma once

#include "form/Outcome.h"

namespace kv::ic {

struct Ob2269Design {
    // design conditions: V, V, A, kHz, %, V, –, mm², T, V
    float vmin = 77, vo = 12, io = 1, f = 50, eff = 75, vor = 75, k = 0.333f;
    float ae = 33.5f, b = 0.3f, vfb = 16.5f;
    // results: mH, turns, turns, turns, –, A, –, –, μF
    float lp = 0, np = 0, ns = 0, na = 0, n = 0, ipk = 0, r = 0, dmax = 0, cin = 0;
};

// The output rectifier drop the turns ratio is formed with (V).
inline constexpr float kOb2269DiodeDrop = 0.5f;
// Square of the crest of 90 Vac (90 × 1.414)², the bulk capacitor's hold-up start (V²).
inline constexpr float kOb2269CrestSquared = 16195.1076f;

enum Ob2269Code : int {
    kObNotFinite = 1,  // a result is not finite (inputs beyond what single precision holds)
    kObNoHoldUp = 2,   // notice: Vmin at or above the crest; Cin has no value and stays blank
};

form::Outcome ob2269Calc(Ob2269Design& d);

} // namespace kv::ic
