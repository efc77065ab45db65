#include "toolbox/CYIJIE.h"

namespace kv::toolbox {

using services::Range;

CYIJIE::CYIJIE(ui::Dialog* parent) : CalcPage(235, parent, {kCalc, "请输入完整的条件！", kT}) {
    bind(kF0, in.f0);
    bind(kFInf, in.fInf);
    bind(kR, in.r, Range::Positive);
    bind(kC, in.c);
    bind(kL, in.l);
    bind(kT, in.t);
    bindResult(kFt, out.ft);
    bindResult(kTau, out.tau);
}

void CYIJIE::onInitDialog() {
    clearItems(kType);
    addItem(kType, "RC电路");
    addItem(kType, "RL电路");
    select(kType, 0);
    typeChanged();
    CalcPage::onInitDialog();
}

bool CYIJIE::onPageCommand(int id, ui::Notify code) {
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

// The element of the chosen circuit must be there: its time constant divides.
bool CYIJIE::check() {
    const bool rc = in.circuit == firstorder::Circuit::RC;
    if ((rc ? in.c : in.l) > 0) return true;
    setResults("");
    messageBox(services::rangeMessage(Range::Positive, labelOf(rc ? kC : kL)), ui::kAppName, ui::Icon::Warning);
    return false;
}

void CYIJIE::compute() { out = firstorder::response(in); }

} // namespace kv::toolbox
