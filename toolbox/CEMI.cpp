#include "toolbox/CEMI.h"

#include "services/Templates.h"
#include "toolbox/EmiCalc.h"

namespace kv::toolbox {

using form::Range;
using form::Role;

// An attenuation beyond the number range takes the corner frequency with it.
CEMI::CEMI(ui::Dialog* parent) : FormWindow(tpl::kEmi, parent, form::kPage) {
    setFields({
        {"fs", kFs, fs, Role::Input, Range::Positive},
        {"atten", kAtten, atten},
        {"impedance", kImpedance, impedance, Role::Input, Range::Positive},
        {"damping", kDamping, damping, Role::Input, Range::Positive},
        {"corner", kCorner, corner, Role::Result},
        {"inductance", kInductance, inductance, Role::Result},
        {"capacitance", kCapacitance, capacitance, Role::Result},
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

// In differential mode the capacitor is the X capacitor across the line.
bool CEMI::onOtherCommand(int id, ui::Notify code) {
    if (id != kType || code != ui::Notify::SelChange) return false;
    const std::string label = control(kCapLabel)->tpl.caption;
    setText(kCapLabel, commonMode() ? label : "X" + label);
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
    capacitance = r.C;
}

} // namespace kv::toolbox
