#include "toolbox/CYIJIE.h"

#include "services/Templates.h"

namespace kv::toolbox {

using form::Range;
using form::Role;

CYIJIE::CYIJIE(ui::Dialog* parent) : FormWindow(tpl::kFirstOrder, parent, form::kPage) {
    setFields({
        {kF0, in.f0},
        {kFInf, in.fInf},
        {kR, in.r, Role::Input, Range::Positive},
        // The element of the chosen circuit (the other is disabled): its time constant divides.
        {kC, in.c, Role::Input, Range::Positive},
        {kL, in.l, Role::Input, Range::Positive},
        {kT, in.t},
        {kFt, out.ft, Role::Result},
        {kTau, out.tau, Role::Result},
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
