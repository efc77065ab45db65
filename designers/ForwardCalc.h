// Built-in single-switch forward formulas, in single precision: the core's
// area product from the power, then the transformer and output inductor on
// the chosen core.
#pragma once

#include "form/Outcome.h"
#include "magnetics/DesignLoss.h"

#include <optional>

namespace kv::designers::forward {

// Every field of the designer. Inputs carry their start values.
struct Design {
    // design conditions
    float VinMin = 250, VinMax = 360, Vo = 13.8f, Io = 20, f = 60, Eff = 80, Vdf = 0.8f, Dmax = 0.38f,
          Bpk = 2000, Cmil = 600, Kw = 0.3f;
    // the chosen core (starts blank) and the area product (cm4)
    float Ae = 0, Ap = 0;
    // results
    float Np = 0, Ns = 0, Dp = 0, Ds = 0, Irmsp = 0, Irmss = 0, Lo = 0;
    // the ambient of the transformer's losses (°C)
    float Ta = float(magnetics::kDefaultAmbient);
};

enum Code : int {
    kResetDuty = 1, // notice: Dmax of 0.5 or more leaves no reset with equal turns
};

// Input power Po / η (W).
float inputPower(const Design& d);
// Area product Ap (cm4) into d.Ap.
form::Outcome areaProduct(Design& d, int mode);
// Turns, currents, wires and the output inductance for core area d.Ae.
form::Outcome verify(Design& d, int mode);

// The transformer the verify results define (SI): flat-topped currents of
// RMS Irmsp and Irmss over the on-time Dmax/f at the lowest input; nothing
// before a verify.
std::optional<magnetics::ForwardPrinted> printed(const Design& d);

} // namespace kv::designers::forward
