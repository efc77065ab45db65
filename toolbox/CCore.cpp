#include "toolbox/CCore.h"

#include "toolbox/CoreCalc.h"

namespace kv::toolbox {

CCore::CCore(ui::Dialog* parent) : CalcPage(224, parent, {kCalc, "请输入磁芯承载功率！！", kPower}) {
    bind(kPower, power, services::Range::Positive);
    bindResult(kArea, area);
}

void CCore::compute() { area = core::crossSection(power); }

} // namespace kv::toolbox
