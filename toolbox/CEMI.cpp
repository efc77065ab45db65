#include "toolbox/CEMI.h"

#include "services/Templates.h"
#include "toolbox/EmiCalc.h"

namespace kv::toolbox {

using form::Range;
using form::Role;

// An attenuation beyond the number range takes the corner frequency with it.
CEMI::CEMI(ui::Dialog* parent) : FormWindow(tpl::kEmi, parent, form::kPage) {
    setFields({
        {kFs, fs, Role::Input, Range::Positive},
        {kAtten, atten},
        {kImpedance, impedance, Role::Input, Range::Positive},
        {kDamping, damping, Role::Input, Range::Positive},
        {kCorner, corner, Role::Result},
        {kInductance, inductance, Role::Result},
        {kCapacitance, capacitance, Role::Result},
    });
    setCalculations({{.button = kCalc, .incomplete = "请输入完整的设计条件！", .pause = form::Pause::ProgressPause, .culprit = kAtten}});
}

void CEMI::onInitDialog() {
    clearItems(kType);
    addItem(kType, "共模扼流圈");
    addItem(kType, "差模扼流圈");
    select(kType, 0);
    FormWindow::onInitDialog();
}

bool CEMI::onOtherCommand(int id, ui::Notify code) {
    if (id != kType || code != ui::Notify::SelChange) return false;
    const bool cm = commonMode();
    enable(kCapacitance, cm);
    enable(kCapLabel, cm);
    blankResults();
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
    if (r.hasC) capacitance = r.C;
}

// Differential mode has no capacitor: its result stays blank.
void CEMI::finished(const form::Run& r) {
    if (r.shown != form::Shown::None && !commonMode()) setText(kCapacitance, "");
}

} // namespace kv::toolbox
