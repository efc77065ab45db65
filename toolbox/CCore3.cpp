#include "toolbox/CCore3.h"

#include "services/Templates.h"
#include "toolbox/CoreCalc.h"

namespace kv::toolbox {

using form::Range;
using form::Role;

CCore3::CCore3(ui::Dialog* parent) : FormWindow(tpl::kForwardCoreVolume, parent, form::kPage) {
    setFields({
        {"power", kPower, power, Role::Input, Range::Positive},
        {"swing", kSwing, swing, Role::Input, Range::Positive},
        {"freq", kFreq, freq, Role::Input, Range::Positive},
        {"volume", kVolume, volume, Role::Result},
    });
    setCalculations({{.button = kCalc, .incomplete = "请输入完整的参数！", .pause = form::Pause::ProgressPause, .culprit = kPower}});
}

void CCore3::onInitDialog() {
    FormWindow::onInitDialog();
    clearItems(kTopology);
    for (const char* t : {"正激拓扑", "半桥/全桥", "全波中心抽头"}) addItem(kTopology, t);
    select(kTopology, 0);
}

void CCore3::compute() { volume = core::forwardVolume({selected(kTopology), power, swing, freq}); }

} // namespace kv::toolbox
