// The opener's side of the core database: the handshake through slot 6 of
// System.cfg and "temp.txt", or the values straight into the opener.
#pragma once

#include "magnetics/DesignLoss.h"
#include "platform/ui/Dialog.h"

#include <optional>
#include <string>

namespace kv::services {

// Inputs of the recommended AP, from the single-stage PFC designer.
struct ApInputs {
    double vinMin = 0;  // Vrms
    double vds = 0;     // V
    double vor = 0;     // V
    double vo = 0;      // V
    double io = 0;      // A
    double eff = 0;     // %
    double fmin = 0;    // kHz
};

// A window that opens the core database and takes values from it. The
// picker finds it as its parent.
class CoreOpener {
public:
    virtual ~CoreOpener() = default;
    // Mode '1': the chosen core's Ae (mm²) and Le (mm) go into the opener's fields.
    virtual void takeCore(float ae, float le) = 0;
    // Mode '1': the opener's core-name text ("磁芯:EE25", "磁芯:用户输入").
    virtual void setCoreName(const std::string& text) = 0;
    // Mode '1', after the two above: the whole chosen row (type, material and
    // values), for an opener that works out the losses of its magnetic.
    virtual void takeTableCore(const magnetics::TableCore& /*core*/) {}
    // The operating point of the opener's flyback transformer, for the core
    // adviser beside the list; nothing when the opener has none.
    virtual std::optional<magnetics::FlybackPoint> adviserPoint() { return std::nullopt; }
    // Mode '2': the opener's current design inputs for the recommended AP.
    virtual std::optional<ApInputs> apInputs() const { return std::nullopt; }
};

// Mode '*' or '2': writes the mode, runs the core database over `opener` and
// returns the chosen Ae (mm²) from temp.txt, or nothing when the user
// cancelled, the settings file failed or the picker is not in this build.
std::optional<double> pickCoreAe(ui::Dialog& opener, char mode = '*');
// Mode '1': the chosen values go into `opener`, which must be a CoreOpener;
// true when a core was taken.
bool pickCoreInto(ui::Dialog& opener);

} // namespace kv::services
