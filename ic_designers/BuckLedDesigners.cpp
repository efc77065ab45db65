#include "ic_designers/BuckLedDesigners.h"

namespace kv::ic {

using services::Range;

BuckLedDesigner::BuckLedDesigner(int templateId, ui::Dialog* parent, Places at, const char* unreadable,
                                 buckled::Inputs& in)
    : LiveDesigner(templateId, parent, {.button = at.calc, .unreadable = unreadable, .culprit = kVo, .calculatingBox = true}),
      in_(in) {
    bindInput(kVin, in.vin, Range::Positive);
    bindInput(kVinMax, in.vinMax);
    bindInput(kVo, in.vo, Range::Positive);
    bindInput(at.io, in.io, Range::Positive);
    bindInput(kEff, in.eff, Range::Percent);
    bindInput(at.fmin, in.fmin, Range::Positive);
    bindInput(kAe, in.ae, Range::Positive);
    bindInput(at.b, in.b, Range::Positive);
    setCorePick(kCore, kAe, in.ae);
}

// Above the crest the inductor never magnetises: a negative inductance, an
// arcsine of more than 1.
std::string BuckLedDesigner::compute() {
    if (!buckled::belowCrest(in_.vo, in_.vin))
        return "输入有误：“" + labelOf(kVo) + "”必须低于“" + labelOf(kVin) + "”的峰值（1.414倍），请检查输入！";
    design();
    return {};
}

Sd670xDesigner::Sd670xDesigner(ui::Dialog* parent)
    : BuckLedDesigner(kTemplate, parent, {kCalc, kIo, kFmin, kB}, kUnreadable, in) {
    bindResult(kL, out.L);
    bindResult(kN, out.n);
}

void Sd670xDesigner::design() { out = buckled::sd670x(in); }

Sd690xDesigner::Sd690xDesigner(ui::Dialog* parent)
    : BuckLedDesigner(kTemplate, parent, {kCalc, kIo, kFmin, kB}, kUnreadable, in) {
    bindInput(kVfb, in.vfb, Range::NonNegative);
    bindResult(kL, out.L);
    bindResult(kN, out.n);
    bindResult(kNa, out.na);
    bindResult(kIpk, out.ipk);
}

void Sd690xDesigner::design() { out = buckled::sd690x(in); }

} // namespace kv::ic
