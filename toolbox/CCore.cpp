#include "toolbox/CCore.h"

#include "toolbox/CoreCalc.h"

namespace kv::toolbox {

const ui::MessageEntry<CCore> CCore::kMessageMap[] = {
    {CCore::kCalc, ui::Notify::Clicked, &CCore::onCalc},
};

CCore::CCore(ui::Dialog* parent) : CalcPage(224, parent) {
    bind(kPower, power);
    bind(kArea, area, true);
}

bool CCore::onCommand(int id, ui::Notify code) { return ui::dispatchMap(this, kMessageMap, id, code); }

void CCore::onCalc() {
    if (!readFields("请输入磁芯承载功率！！")) return;
    pause();
    area = core::crossSection(power);
    writeFields();
}

} // namespace kv::toolbox
