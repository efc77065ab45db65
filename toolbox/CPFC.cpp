#include "toolbox/CPFC.h"

#include "services/Templates.h"

namespace kv::toolbox {

using form::Range;
using form::Role;

CPFC::CPFC(ui::Dialog* parent) : FormWindow(tpl::kPfc, parent, form::kPage) {
    setFields({
        {"vacMin", kVacMin, in.vacMin, Role::Input, Range::Positive},
        {"vacMax", kVacMax, in.vacMax, Role::Input, Range::Positive},
        {"line", kLine, line},
        {"voMin", kVoMin, in.voMin, Role::Input, Range::NonNegative},
        {"vo", kVo, in.vo, Role::Input, Range::Positive},
        {"po", kPo, in.po, Role::Input, Range::Positive},
        {"eff", kEff, in.eff, Role::Input, Range::Percent},
        {"fMin", kFMin, in.fMin, Role::Input, Range::Positive},
        {"ae", kAe, in.ae, Role::Input, Range::Positive},
        {"b", kB, in.b, Role::Input, Range::Positive},
        {"hold", kHold, in.hold, Role::Input, Range::NonNegative},
        {"L", kL, out.L, Role::Result},
        {"np", kNp, out.np, Role::Result},
        {"naux", kNaux, out.naux, Role::Result},
        {"cMin", kCMin, out.cMin, Role::Result},
    });
    setCalculations({{.button = kCalc, .incomplete = kBadInput, .pause = form::Pause::CalculatingBox, .culprit = kVo}});
    // The chosen core's Ae replaces the field; the inputs typed meanwhile stay.
    setCorePick({.button = kCore, .ae = kAe});
    // The capacitor holds up from Vo down to Vomin: the span must not be empty.
    setOrders({{kVacMin, kVacMax}, {kVoMin, kVo, true}});
}

void CPFC::onInitDialog() {
    FormWindow::onInitDialog();
    run();
}

// Without boost headroom the formulas give a negative inductance.
bool CPFC::check() {
    return pfc::hasHeadroom(in) || refuse(services::crestMessage(labelOf(kVo), labelOf(kVacMax), true));
}

void CPFC::compute() { out = pfc::design(in); }

} // namespace kv::toolbox
