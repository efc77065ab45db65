// Built-in ringing-choke (RCC) formulas, in single precision: a self-oscillating
// flyback at the boundary of continuous conduction, designed at the lowest
// input and full load for its lowest frequency.
#pragma once

#include "form/Outcome.h"

namespace kv::designers::rcc {

// Every field of the designer. Inputs carry their start values.
struct Design {
    // design conditions
    float VacMin = 90, VacMax = 260, Vo = 5, IoMax = 1, IoMin = 0.1f, fMin = 60, Eff = 75, Vswm = 600, Vswr = 150,
          Vsw = 1.5f, Vdf = 0.6f, Bpk = 2500, Ae = 19.2f, Cmil = 500;
    // results
    float Lp = 0, Ls = 0, Ipkp = 0, Ipks = 0, Irmsp = 0, Irmss = 0, Np = 0, Ns = 0, Dp = 0, Ds = 0, fMax = 0;
};

enum Code : int {
    kNoVoltageBudget = 1, // stop: Vswm - Vswr at or below the mains peak
};

// The switch rating left for the reflected voltage and its leakage spike:
// Vswm - Vswr - 1.414 VacMax.
float voltageBudget(const Design& d);
// Duty cycle at the lowest input and full load.
float duty(const Design& d);

form::Outcome design(Design& d, int mode);

} // namespace kv::designers::rcc
