#include "ic_designers/BuckLedDesigners.h"

namespace kv::ic {

using form::Range;
using form::Role;

BuckLedDesigner::BuckLedDesigner(int templateId, ui::Dialog* parent, Places at, const char* unreadable,
                                 buckled::Inputs& in, std::vector<form::Field> own)
    : LiveDesigner(templateId, parent), in_(in) {
    std::vector<form::Field> fields = {
        {"vin", kVin, in.vin, Role::Input, Range::Positive},
        {"vinMax", kVinMax, in.vinMax},
        {"vo", kVo, in.vo, Role::Input, Range::Positive},
        {"io", at.io, in.io, Role::Input, Range::Positive},
        {"eff", kEff, in.eff, Role::Input, Range::Percent},
        {"fmin", at.fmin, in.fmin, Role::Input, Range::Positive},
        {"ae", kAe, in.ae, Role::Input, Range::Positive},
        {"b", at.b, in.b, Role::Input, Range::Positive},
    };
    fields.insert(fields.end(), own.begin(), own.end());
    setFields(std::move(fields));
    setCalculations({{.button = at.calc,
                      .incomplete = unreadable,
                      .pause = form::Pause::CalculatingBoxFirst,
                      .culprit = kVo}});
    setCorePick({.button = kCore, .ae = kAe, .blankFirst = true, .unreadable = unreadable});
    setOrders({{kVin, kVinMax}});
}

// Above the crest the inductor never magnetises: a negative inductance, an
// arcsine of more than 1.
void BuckLedDesigner::compute() {
    if (!buckled::belowCrest(in_.vo, in_.vin)) {
        refuse(services::crestMessage(labelOf(kVo), labelOf(kVin), false));
        return;
    }
    design();
}

Sd670xDesigner::Sd670xDesigner(ui::Dialog* parent)
    : BuckLedDesigner(kTemplate, parent, {kCalc, kIo, kFmin, kB}, kUnreadable, in,
                      {{"L", kL, out.L, Role::Result}, {"n", kN, out.n, Role::Result}}) {}

void Sd670xDesigner::design() { out = buckled::sd670x(in); }

Sd690xDesigner::Sd690xDesigner(ui::Dialog* parent)
    : BuckLedDesigner(kTemplate, parent, {kCalc, kIo, kFmin, kB}, kUnreadable, in,
                      {{"vfb", kVfb, in.vfb, Role::Input, Range::NonNegative},
                       {"L", kL, out.L, Role::Result},
                       {"n", kN, out.n, Role::Result},
                       {"na", kNa, out.na, Role::Result},
                       {"ipk", kIpk, out.ipk, Role::Result}}) {}

void Sd690xDesigner::design() { out = buckled::sd690x(in); }

} // namespace kv::ic
