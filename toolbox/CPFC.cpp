#include "toolbox/CPFC.h"

#include "services/Templates.h"

namespace kv::toolbox {

using form::Range;
using form::Role;

CPFC::CPFC(ui::Dialog* parent) : FormWindow(tpl::kPfc, parent, form::kPage) {
    setFields({
        {kVacMin, in.vacMin, Role::Input, Range::Positive},
        {kVacMax, in.vacMax, Role::Input, Range::Positive},
        {kLine, line},
        {kVoMin, in.voMin, Role::Input, Range::NonNegative},
        {kVo, in.vo, Role::Input, Range::Positive},
        {kPo, in.po, Role::Input, Range::Positive},
        {kEff, in.eff, Role::Input, Range::Percent},
        {kFMin, in.fMin, Role::Input, Range::Positive},
        {kAe, in.ae, Role::Input, Range::Positive},
        {kB, in.b, Role::Input, Range::Positive},
        {kHold, in.hold, Role::Input, Range::NonNegative},
        {kL, out.L, Role::Result},
        {kNp, out.np, Role::Result},
        {kNaux, out.naux, Role::Result},
        {kCMin, out.cMin, Role::Result},
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
