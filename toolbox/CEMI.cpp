#include "toolbox/CEMI.h"

#include "toolbox/EmiCalc.h"

namespace kv::toolbox {

using services::Range;

// An attenuation beyond the number range takes the corner frequency with it.
CEMI::CEMI(ui::Dialog* parent) : CalcPage(222, parent, {kCalc, "请输入完整的设计条件！", kAtten}) {
    bind(kFs, fs, Range::Positive);
    bind(kAtten, atten);
    bind(kImpedance, impedance, Range::Positive);
    bind(kDamping, damping, Range::Positive);
    bindResult(kCorner, corner);
    bindResult(kInductance, inductance);
    bindResult(kCapacitance, capacitance);
}

void CEMI::onInitDialog() {
    clearItems(kType);
    addItem(kType, "共模扼流圈");
    addItem(kType, "差模扼流圈");
    select(kType, 0);
    setText(kFs, "20");
    setText(kAtten, "-24");
    setText(kImpedance, "50");
    setText(kDamping, "0.707");
    capLabel_ = text(kCapLabel);
    setResults("");
}

// In differential mode the capacitor is the X capacitor across the line.
bool CEMI::onPageCommand(int id, ui::Notify code) {
    if (id != kType || code != ui::Notify::SelChange) return false;
    setText(kCapLabel, commonMode() ? capLabel_ : "X" + capLabel_);
    setResults("");
    return true;
}

void CEMI::compute() {
    emi::FilterInputs in;
    in.commonMode = commonMode();
    in.fs = fs;
    in.A = atten;
    in.Z = impedance;
    in.zeta = damping;
    const emi::FilterResults r = emi::filter(in);
    corner = r.fc;
    inductance = r.L;
    capacitance = r.C;
}

} // namespace kv::toolbox
