#include "toolbox/CCore2.h"

#include "toolbox/CoreCalc.h"

namespace kv::toolbox {

CCore2::CCore2(ui::Dialog* parent) : CalcPage(231, parent, {kCalc, "请输入完整的条件！", kFreq}) {
    bind(kPower, power, services::Range::Positive);
    bind(kFreq, freq, services::Range::Positive);
    bindResult(kVolume, volume);
}

void CCore2::compute() { volume = core::flybackVolume(power, freq); }

} // namespace kv::toolbox
