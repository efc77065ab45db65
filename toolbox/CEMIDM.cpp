#include "toolbox/CEMIDM.h"

#include "services/Templates.h"
#include "toolbox/EmiCalc.h"

namespace kv::toolbox {

using form::Range;
using form::Role;

// A capacitor that cannot carry the load over a half cycle has no conduction
// angle: the results stay blank and the capacitor is named.
CEMIDM::CEMIDM(ui::Dialog* parent) : FormWindow(tpl::kRectifierCurrent, parent, form::kPage) {
    setFields({
        {"power", kPower, power, Role::Input, Range::Positive},
        {"cin", kCin, cin, Role::Input, Range::Positive},
        {"voltage", kVoltage, voltage, Role::Input, Range::Positive},
        {"freq", kFreq, freq, Role::Input, Range::Positive},
        {"mean", kMean, mean, Role::Result},
        {"peak", kPeak, peak, Role::Result},
        {"rms", kRms, rms, Role::Result},
    });
    setCalculations({{.button = kCalc, .incomplete = "请输入正确的条件!", .pause = form::Pause::ProgressPause, .culprit = kCin}});
}

bool CEMIDM::check() {
    if (emi::capacitorTooSmall({power, cin, voltage, freq}))
        messageBox("输入电容容量太小了!", ui::kAppName, ui::Icon::Warning);
    return true;
}

void CEMIDM::compute() {
    const emi::RectifierResults r = emi::rectifier({power, cin, voltage, freq});
    mean = r.Iavg;
    peak = r.Ipk;
    rms = r.Irms;
}

} // namespace kv::toolbox
