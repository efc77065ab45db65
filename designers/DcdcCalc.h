// Built-in formulas of the non-isolated converters (buck, boost, inverting
// buck-boost) in continuous or discontinuous conduction, in single precision:
// the inductor on a given core, duty and on-time, switch and diode stresses,
// the output capacitor.
#pragma once

#include "form/Outcome.h"
#include "magnetics/DesignLoss.h"

#include <optional>
#include <span>

namespace kv::designers::dcdc {

// Every field of the designer. Inputs carry their start values.
struct Design {
    // design conditions
    float VinMin = 18, VinMax = 24, Vo = 12, IoMax = 1, Vsw = 1.5f, Vdf = 0.5f, f = 150, Ptd = 20, r = 0.4f,
          Bpk = 2500, Bsat = 3000, Cmil = 400, Vopp = 50, Ae = 23;
    // results; Vc is the output capacitor's voltage rating
    float L = 0, Ipk = 0, Irms = 0, DL = 0, NL = 0, Ton = 0, Duty = 0, Iswrms = 0, Vswm = 0, Idrms = 0, Vdm = 0,
          Co = 0, Vc = 0;
    // Not fields of the window: the output capacitor's ripple current (A, peak to
    // peak) and the largest ESR (mΩ) that keeps its ripple within Vopp.
    float Ipp = 0, ESR = 0;
    // the ambient of the inductor's losses (°C)
    float Ta = float(magnetics::kDefaultAmbient);
};

enum Converter : int { kBuck = 0, kBoost = 1, kBuckBoost = 2 };

// The mode that picks the formula file: converter times two, plus one in DCM.
constexpr int modeOf(int converter, bool dcm) { return converter * 2 + (dcm ? 1 : 0); }
constexpr int converterOf(int mode) { return mode / 2; }
constexpr bool dcmOf(int mode) { return mode % 2 == 1; }

enum Code : int {
    kBuckNotBelow = 1,    // stop: a buck's output not below the lowest input less the switch drop
    kAboveSaturation = 2, // stop: Bpk above Bsat
    kRippleTooLarge = 3,  // stop: a CCM ripple ratio above 2 is not continuous
    kBoostNotAbove = 4,   // stop: a boost's output not above the highest input
    kSwitchDropTooLarge = 5, // stop: the lowest input not above the switch drop
};

// The largest CCM ripple ratio: the inductor current just reaches zero.
inline constexpr float kMaxRipple = 2.0f;

form::Outcome design(Design& d, int mode);

// The inductor the results define (SI), at the input it was designed at: it
// rises by the volts across it over Ton/L and falls at the volts of the
// off-time, back to its valley (CCM) or to 0 (DCM); nothing before results.
std::optional<magnetics::InductorPrinted> printed(const Design& d, int mode);

// A current over one period as corners (time, current) joined by straight
// lines; a jump is two corners at the same time.
struct Corner {
    float t, i;
};
// The charge the current delivers above `level` over the period (time times
// current units). With the load current as `level`, this is the charge the
// output capacitor takes up and gives back each cycle, for a current with
// one hump a period.
float chargeAbove(std::span<const Corner> wave, float level);

} // namespace kv::designers::dcdc
