#include "toolbox/CEMIDM.h"

#include "toolbox/EmiCalc.h"

namespace kv::toolbox {

using services::Range;

// A capacitor that cannot carry the load over a half cycle has no conduction
// angle: the results stay blank and the capacitor is named.
CEMIDM::CEMIDM(ui::Dialog* parent) : CalcPage(261, parent, {kCalc, "请输入正确的条件!", kCin}) {
    bind(kPower, power, Range::Positive);
    bind(kCin, cin, Range::Positive);
    bind(kVoltage, voltage, Range::Positive);
    bind(kFreq, freq, Range::Positive);
    bindResult(kMean, mean);
    bindResult(kPeak, peak);
    bindResult(kRms, rms);
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
