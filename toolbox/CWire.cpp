#include "toolbox/CWire.h"

#include "services/Templates.h"
#include "toolbox/WireCalc.h"

namespace kv::toolbox {

using form::Range;
using form::Role;

CWire::CWire(ui::Dialog* parent) : FormWindow(tpl::kWire, parent, form::kPage) {
    setFields({
        {"current", kCurrent, current, Role::Input, Range::Positive},
        {"diameter", kDiameter, diameter, Role::Input, Range::Positive},
        {"density", kDensity, density, Role::Input, Range::Positive},
        {"strands", kStrands, strands, Role::Result},
    });
    setCalculations({{.button = kCalc, .incomplete = "请输入完整的条件!", .pause = form::Pause::ProgressPause, .culprit = kDiameter}});
}

void CWire::compute() { strands = wire::strands({current, diameter, density}).n; }

} // namespace kv::toolbox
