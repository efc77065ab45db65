#include "toolbox/CJifu.h"

#include "toolbox/WireCalc.h"

namespace kv::toolbox {

CJifu::CJifu(ui::Dialog* parent) : CalcPage(234, parent, {kCalc, "请输入完整的条件！", kFreq}) {
    bind(kFreq, freq, services::Range::Positive);
    bind(kTemp, temp);
    bindResult(kDepth, depth);
}

void CJifu::compute() { depth = wire::skinDepth(freq, temp); }

} // namespace kv::toolbox
