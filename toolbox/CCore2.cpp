#include "toolbox/CCore2.h"

#include "services/Templates.h"
#include "toolbox/CoreCalc.h"

namespace kv::toolbox {

using form::Range;
using form::Role;

CCore2::CCore2(ui::Dialog* parent) : FormWindow(tpl::kCoreVolume, parent, form::kPage) {
    setFields({
        {"power", kPower, power, Role::Input, Range::Positive},
        {"freq", kFreq, freq, Role::Input, Range::Positive},
        {"volume", kVolume, volume, Role::Result},
    });
    setCalculations({{.button = kCalc, .incomplete = "请输入完整的条件！", .pause = form::Pause::ProgressPause, .culprit = kFreq}});
}

void CCore2::compute() { volume = core::flybackVolume(power, freq); }

} // namespace kv::toolbox
