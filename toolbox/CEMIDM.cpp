#include "toolbox/CEMIDM.h"

#include "toolbox/EmiCalc.h"

namespace kv::toolbox {

const ui::MessageEntry<CEMIDM> CEMIDM::kMessageMap[] = {
    {CEMIDM::kCalc, ui::Notify::Clicked, &CEMIDM::onCalc},
};

CEMIDM::CEMIDM(ui::Dialog* parent) : CalcPage(261, parent) {
    bind(kPower, power);
    bind(kCin, cin);
    bind(kVoltage, voltage);
    bind(kFreq, freq);
    bind(kMean, mean, true);
    bind(kPeak, peak, true);
    bind(kRms, rms, true);
}

bool CEMIDM::onCommand(int id, ui::Notify code) { return ui::dispatchMap(this, kMessageMap, id, code); }

void CEMIDM::onCalc() {
    if (!readFields("请输入正确的条件!")) return;
    const emi::RectifierInputs in{power, cin, voltage, freq};
    if (emi::capacitorTooSmall(in)) messageBox("输入电容容量太小了!", ui::kAppName, ui::Icon::Warning);
    // A capacitor that cannot carry the load over a half cycle gives NaN
    // results; they are shown as the number format writes them.
    const emi::RectifierResults r = emi::rectifier(in);
    pause();
    mean = r.Iavg;
    peak = r.Ipk;
    rms = r.Irms;
    writeFields();
}

} // namespace kv::toolbox
