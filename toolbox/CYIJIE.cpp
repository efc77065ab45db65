#include "toolbox/CYIJIE.h"

#include "services/Templates.h"

namespace kv::toolbox {

using form::Range;
using form::Role;

CYIJIE::CYIJIE(ui::Dialog* parent) : FormWindow(tpl::kFirstOrder, parent, form::kPage) {
    setFields({
        {"f0", kF0, in.f0},
        {"fInf", kFInf, in.fInf},
        {"r", kR, in.r, Role::Input, Range::Positive},
        // The element of the chosen circuit (the other is disabled): its time constant divides.
        {"c", kC, in.c, Role::Input, Range::Positive},
        {"l", kL, in.l, Role::Input, Range::Positive},
        {"t", kT, in.t},
        {"ft", kFt, out.ft, Role::Result},
        {"tau", kTau, out.tau, Role::Result},
    });
    setCalculations({{.button = kCalc, .incomplete = "请输入完整的条件！", .pause = form::Pause::ProgressPause, .culprit = kT}});
}

void CYIJIE::onInitDialog() {
    clearItems(kType);
    addItem(kType, "RC电路");
    addItem(kType, "RL电路");
    select(kType, 0);
    typeChanged();
    FormWindow::onInitDialog();
}

bool CYIJIE::onOtherCommand(int id, ui::Notify code) {
    if (id != kType || code != ui::Notify::SelChange) return false;
    typeChanged();
    return true;
}

void CYIJIE::typeChanged() {
    const bool rc = selected(kType) != 1;
    in.circuit = rc ? firstorder::Circuit::RC : firstorder::Circuit::RL;
    enable(kC, rc);
    enable(kCLabel, rc);
    enable(kL, !rc);
    enable(kLLabel, !rc);
}

void CYIJIE::compute() { out = firstorder::response(in); }

} // namespace kv::toolbox
