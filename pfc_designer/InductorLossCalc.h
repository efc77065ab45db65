// Losses of the boost inductor: the core loss of the transition-mode flux
// over the line cycle, the temperature rise of the set, and why a figure is
// blank. Pure: K7350's own units in, watts and kelvin out.
#pragma once

#include "magnetics/DesignLoss.h"
#include "magnetics/MagneticLoss.h"
#include "pfc_designer/PfcCalc.h"

#include <string>
#include <string_view>

namespace k7350 {

// The ambient the loss fields start with and an older project file loads with.
inline constexpr double kLossAmbient = kv::magnetics::kDefaultAmbient;

struct InductorLossInputs {
    Spec spec;
    double Pin = 0;    // W
    double trueL = 0;  // mH
    double turns = 0;  // whole turns wound
    double AE = 0;     // cm²
    double ML = 0;     // mm
    std::string_view material; // as the loss data name it; "" none chosen
    std::string_view shape;    // IEC shape of the set; "" none chosen
    double ambient = kLossAmbient; // °C
};

// What keeps the figures blank.
enum class LossBlank {
    None,     // core loss, total and rise stand
    Results,  // no inductance, turns or core to work from
    Material, // no core material chosen
    Shape,    // no core shape chosen (its surface gives the rise)
    Ambient,  // the ambient is not a number
    Model,    // the loss model's reason (loss.reason), at `line`
};

struct InductorLoss {
    LossBlank blank = LossBlank::Results;
    kv::magnetics::MagneticLossResult loss; // copperLoss never a number: no winding wire
    double line = 0;                        // V rms the figures (or the refusal) belong to
    double refusedLine = 0;                 // a line the model refused (0: none), and why
    kv::magnetics::Reason refused = kv::magnetics::Reason::None;
    std::string material;                   // for the note
    bool shown() const { return blank == LossBlank::None; }
};

// The flux of a transition-mode boost inductor at the on-time that carries
// Pin, over a half line cycle of `vrms`; the set's volume ML·AE.
kv::magnetics::MagneticDesign boostInductorMagnetic(const InductorLossInputs& in, double vrms);

// The core loss (line-cycle average of the iGSE), total and rise at the
// lowest and the highest line; the figures of the line with the larger
// total. A line the model refuses (its frequencies or flux outside the
// material's data) is named and left out; both refused, the figures are blank.
// The low line, with the larger flux swing, is the core's worst case.
InductorLoss boostInductorLoss(const InductorLossInputs& in);

// What the note below the figures says: why they are blank, or at which line
// they are taken; and that the copper loss needs the winding wire.
std::string inductorLossNote(const InductorLoss& l);

} // namespace k7350
