// One call from a design's operating point to the losses of its magnetic and
// the temperature rise of the set, or a reason why they cannot be given.
#pragma once

#include "magnetics/CoreLoss.h"
#include "magnetics/Reason.h"
#include "magnetics/Winding.h"

#include <optional>
#include <string_view>
#include <vector>

namespace kv::magnetics {

struct MagneticDesign {
    std::string_view material;     // as the core table names it ("N87", "3C95", ...)
    std::string_view shape;        // IEC shape name ("ETD 34/17/11")
    double ve = 0;                 // effective volume of the set, m³
    Waveform flux;                 // one period of B(t) in the core, T
    std::optional<TmBoost> tmBoost; // a transition-mode PFC inductor: its line-cycle average instead of `flux`
    std::vector<Winding> windings; // from the centre leg out
    double ambientC = 40;
    LowFlux lowFlux = LowFlux::Refuse; // a peak flux below the loss data
};

struct MagneticLossResult {
    double coreLoss = 0;   // W
    double copperLoss = 0; // W
    double total = 0;      // W
    double rise = 0;       // K above ambient
    double coreTempC = 0;  // where core and copper losses were taken
    std::vector<WindingLoss> windings;
    Reason reason = Reason::None; // when not None the figures above are not numbers
    double outsideShare = 0;      // of a line-cycle core loss from points outside the data
    bool coreLossBound = false;   // the core loss is taken at the data's lowest flux (an upper bound)
};

// Core and copper losses are taken at the temperature the set reaches with
// them: the first temperature above ambient where ambient plus the rise its
// losses give meets it, within 0.05 K. A set that would settle above the
// loss data's temperatures is refused (TemperatureOutside).
MagneticLossResult magneticLoss(const MagneticDesign& d);

} // namespace kv::magnetics
