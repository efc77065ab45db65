#include "toolbox/CCore.h"

#include "services/Templates.h"
#include "toolbox/CoreCalc.h"

namespace kv::toolbox {

using form::Range;
using form::Role;

CCore::CCore(ui::Dialog* parent) : FormWindow(tpl::kCoreArea, parent, form::kPage) {
    setFields({
        {"power", kPower, power, Role::Input, Range::Positive},
        {"area", kArea, area, Role::Result},
    });
    setCalculations({{.button = kCalc, .incomplete = "请输入磁芯承载功率！！", .pause = form::Pause::ProgressPause, .culprit = kPower}});
}

void CCore::compute() { area = core::crossSection(power); }

} // namespace kv::toolbox
