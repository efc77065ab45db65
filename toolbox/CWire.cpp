#include "toolbox/CWire.h"

#include "toolbox/WireCalc.h"

namespace kv::toolbox {

using services::Range;

CWire::CWire(ui::Dialog* parent) : CalcPage(228, parent, {kCalc, "请输入完整的条件!", kDiameter}) {
    bind(kCurrent, current, Range::Positive);
    bind(kDiameter, diameter, Range::Positive);
    bind(kDensity, density, Range::Positive);
    bindResult(kStrands, strands);
}

void CWire::compute() { strands = wire::strands({current, diameter, density}).n; }

} // namespace kv::toolbox
