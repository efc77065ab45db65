// Built-in flyback transformer formulas, in single precision.
#pragma once

#include "form/Outcome.h"
#include "magnetics/DesignLoss.h"

#include <optional>

namespace kv::designers::flyback {

// Every field of the designer. Inputs carry their start values.
struct Design {
    // design conditions
    float Po = 74, Vo = 5, Eff = 70, VacMin = 90, VacMax = 270, Vswm = 600, Vswr = 115, f = 150,
          Vdf = 0.6f, r = 0.5f, Ptd = 20, Cmil = 400, Vopp = 50;
    // core (Ae, Le, Ve start blank)
    float Ve = 0, Ae = 0, Le = 0, Bpk = 2500, Bsat = 3000, Per = 5;
    // results
    float Lp = 0, Ls = 0, Np = 0, Ns = 0, Dp = 0, Ds = 0, Zc = 0;
    float Iin = 0, Ipkp = 0, Irmsp = 0, Iswe = 0, Ton = 0, Cin = 0;
    float Irmss = 0, Ipks = 0, Vdm = 0, Idm = 0, Co = 0, Vcm = 0;
    float Clk = 0, Rlk = 0;
    // the ambient of the transformer's losses (°C)
    float Ta = float(magnetics::kDefaultAmbient);
};

enum Mode : int { kCcm = 0, kDcm = 1 };

// Codes of the outcomes.
enum Code : int {
    kNoClampMargin = 1,     // stop: Vswm - Vswr at or below the mains peak
    kShortDeadTime = 3,     // notice: DCM estimate with Ptd below 20 %
    kFluxAboveSat = 4,      // notice: CCM peak flux above Bsat
    kValleyFluxAboveSat = 5, // notice: peak flux above Bsat at the bulk capacitor's valley
};

// The bulk capacitor Cin holds the rectified mains above this share of the
// crest 1.414 VacMin, at this line frequency (the lower of 50 and 60 Hz).
inline constexpr float kBulkValley = 0.75f;
inline constexpr float kBulkLineHz = 50.0f;
// The clamp capacitor's voltage ripple, as a share of the clamp voltage.
inline constexpr float kClampRipple = 0.1f;

// Reflected-voltage turns ratio: ((Vswm - Vswr - 1.414 VacMax) / 1.4) / (Vo + Vdf).
float turnsRatio(const Design& d);
// DCM duty cycle of the core estimate.
float estimateDuty(const Design& d);
// The lowest rectified voltage the bulk capacitor allows: kBulkValley of the crest at VacMin.
float bulkValley(const Design& d);

// Core estimate: CCM core volume Ve (mm3); DCM area product (mm4), into Ve.
form::Outcome estimate(Design& d, int mode);
// The full transformer and component design.
form::Outcome verify(Design& d, int mode);
// RCD leakage snubber from Lp and Ipkp of a verify: Rlk (kOhm) that holds the
// clamp at Vswm - Vswr - 1.414 VacMax, and Clk (nF) for kClampRipple.
form::Outcome snubber(Design& d, int mode);

// The transformer the verify results define, at the lowest input 1.414 VacMin
// (SI); nothing before a verify.
std::optional<magnetics::FlybackPrinted> printed(const Design& d, int mode);
// The core adviser's operating point: the built-in verify of the conditions
// (the currents and Lp do not depend on the core), the designer's Bpk.
std::optional<magnetics::FlybackPoint> adviserPoint(Design d, int mode);

} // namespace kv::designers::flyback
