#include "toolbox/CEMI.h"

#include "toolbox/EmiCalc.h"

namespace kv::toolbox {

const ui::MessageEntry<CEMI> CEMI::kMessageMap[] = {
    {CEMI::kCalc, ui::Notify::Clicked, &CEMI::onCalc},
    {CEMI::kType, ui::Notify::SelChange, &CEMI::onType},
};

CEMI::CEMI(ui::Dialog* parent) : CalcPage(222, parent) {
    bind(kFs, fs);
    bind(kAtten, atten);
    bind(kImpedance, impedance);
    bind(kDamping, damping);
    bind(kCorner, corner, true);
    bind(kInductance, inductance, true);
    bind(kCapacitance, capacitance, true);
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
    setResults("");
}

bool CEMI::onCommand(int id, ui::Notify code) { return ui::dispatchMap(this, kMessageMap, id, code); }

void CEMI::onType() {
    const bool cm = commonMode();
    enable(kCapacitance, cm);
    enable(kCapLabel, cm);
    setResults("");
}

void CEMI::onCalc() {
    if (!readFields("请输入完整的设计条件！")) return;
    pause();
    emi::FilterInputs in;
    in.commonMode = commonMode();
    in.fs = fs;
    in.A = atten;
    in.Z = impedance;
    in.zeta = damping;
    const emi::FilterResults r = emi::filter(in);
    corner = r.fc;
    inductance = r.L;
    if (r.hasC) capacitance = r.C;
    writeFields();
    // Differential mode has no capacitor: its result stays blank.
    if (!r.hasC) setText(kCapacitance, "");
}

} // namespace kv::toolbox
