#include "toolbox/CJifu.h"

#include "toolbox/WireCalc.h"

namespace kv::toolbox {

// The frequency is range-checked; only a temperature below where copper's
// resistivity stays linear leaves no depth.
CJifu::CJifu(ui::Dialog* parent) : CalcPage(234, parent, {kCalc, "请输入完整的条件！", kTemp}) {
    bind(kFreq, freq, services::Range::Positive);
    bind(kTemp, temp);
    bindResult(kDepth, depth);
}

void CJifu::compute() { depth = wire::skinDepth(freq, temp); }

} // namespace kv::toolbox
