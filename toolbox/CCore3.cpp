#include "toolbox/CCore3.h"

#include "toolbox/CoreCalc.h"

namespace kv::toolbox {

const ui::MessageEntry<CCore3> CCore3::kMessageMap[] = {
    {CCore3::kCalc, ui::Notify::Clicked, &CCore3::onCalc},
};

CCore3::CCore3(ui::Dialog* parent) : CalcPage(233, parent) {
    bind(kPower, power);
    bind(kSwing, swing);
    bind(kFreq, freq);
    bind(kVolume, volume, true);
}

void CCore3::onInitDialog() {
    CalcPage::onInitDialog();
    clearItems(kTopology);
    for (const char* t : {"正激拓扑", "半桥/全桥", "全波中心抽头"}) addItem(kTopology, t);
    select(kTopology, 0);
}

bool CCore3::onCommand(int id, ui::Notify code) { return ui::dispatchMap(this, kMessageMap, id, code); }

void CCore3::onCalc() {
    if (!readFields("请输入完整的参数！")) return;
    pause();
    core::ForwardInputs in;
    in.topology = selected(kTopology);
    in.Pin = power;
    in.dB = swing;
    in.f = freq;
    volume = core::forwardVolume(in);
    writeFields();
}

} // namespace kv::toolbox
