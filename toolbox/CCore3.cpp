#include "toolbox/CCore3.h"

#include "toolbox/CoreCalc.h"

namespace kv::toolbox {

using services::Range;

CCore3::CCore3(ui::Dialog* parent) : CalcPage(233, parent, {kCalc, "请输入完整的参数！", kPower}) {
    bind(kPower, power, Range::Positive);
    bind(kSwing, swing, Range::Positive);
    bind(kFreq, freq, Range::Positive);
    bindResult(kVolume, volume);
}

void CCore3::onInitDialog() {
    CalcPage::onInitDialog();
    clearItems(kTopology);
    for (const char* t : {"正激拓扑", "半桥/全桥", "全波中心抽头"}) addItem(kTopology, t);
    select(kTopology, 0);
}

void CCore3::compute() { volume = core::forwardVolume({selected(kTopology), power, swing, freq}); }

} // namespace kv::toolbox
