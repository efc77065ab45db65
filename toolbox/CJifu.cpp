#include "toolbox/CJifu.h"

#include "toolbox/WireCalc.h"

namespace kv::toolbox {

const ui::MessageEntry<CJifu> CJifu::kMessageMap[] = {
    {CJifu::kCalc, ui::Notify::Clicked, &CJifu::onCalc},
};

CJifu::CJifu(ui::Dialog* parent) : CalcPage(234, parent) {
    bind(kFreq, freq);
    bind(kTemp, temp);
    bind(kDepth, depth, true);
}

bool CJifu::onCommand(int id, ui::Notify code) { return ui::dispatchMap(this, kMessageMap, id, code); }

void CJifu::onCalc() {
    if (!readFields("请输入完整的条件！")) return;
    pause();
    depth = wire::skinDepth(freq, temp);
    writeFields();
}

} // namespace kv::toolbox
