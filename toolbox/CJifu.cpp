#include "toolbox/CJifu.h"

#include "services/Templates.h"
#include "toolbox/WireCalc.h"

namespace kv::toolbox {

using form::Range;
using form::Role;

// The frequency is range-checked; only a temperature below where copper's
// resistivity stays linear leaves no depth.
CJifu::CJifu(ui::Dialog* parent) : FormWindow(tpl::kSkinDepth, parent, form::kPage) {
    setFields({
        {"freq", kFreq, freq, Role::Input, Range::Positive},
        {"temp", kTemp, temp},
        {"depth", kDepth, depth, Role::Result},
    });
    setCalculations({{.button = kCalc, .incomplete = "请输入完整的条件！", .pause = form::Pause::ProgressPause, .culprit = kTemp}});
}

void CJifu::compute() { depth = wire::skinDepth(freq, temp); }

} // namespace kv::toolbox
