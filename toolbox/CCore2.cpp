#include "toolbox/CCore2.h"

#include "toolbox/CoreCalc.h"

namespace kv::toolbox {

const ui::MessageEntry<CCore2> CCore2::kMessageMap[] = {
    {CCore2::kCalc, ui::Notify::Clicked, &CCore2::onCalc},
};

CCore2::CCore2(ui::Dialog* parent) : CalcPage(231, parent) {
    bind(kPower, power);
    bind(kFreq, freq);
    bind(kVolume, volume, true);
}

bool CCore2::onCommand(int id, ui::Notify code) { return ui::dispatchMap(this, kMessageMap, id, code); }

void CCore2::onCalc() {
    if (!readFields("请输入完整的条件！")) return;
    pause();
    // A zero frequency shows the infinity as the number format writes it.
    volume = core::flybackVolume(power, freq);
    writeFields();
}

} // namespace kv::toolbox
