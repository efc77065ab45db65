#include "ic_designers/IsolatedLedDesigner.h"

#include "services/Progress.h"

namespace kv::ic {

namespace {
using I = IsolatedLedDesigner;
using form::Range;
using form::Role;
using isoled::Family;

// What tells the two families apart on the window.
struct FamilyView {
    const char* entry;
    const char* note;
    const char* lastLabel;
};
const FamilyView kFamilies[2] = {
    {"原边恒流不带PFC类", "适用于原边不带PFC的IC类!", "反射电压Vor(V)"},
    {"原边恒流单级PFC类", "适用于SD6800 LZC811等原边单级PFC恒流!", "最高频率(kHz)"},
};

// Inputs of one family only, with their labels.
struct FamilyInput {
    int edit, label;
    Family family;
};
const FamilyInput kFamilyInputs[] = {
    {I::kVor, I::kVorLabel, Family::SingleStagePfc},
    {I::kDmax, I::kDmaxLabel, Family::NoPfc},
    {I::kDout, I::kDoutLabel, Family::NoPfc},
    {I::kVbmin, I::kVbminLabel, Family::NoPfc},
};
} // namespace

IsolatedLedDesigner::IsolatedLedDesigner(ui::Dialog* parent) : LiveDesigner(kTemplate, parent) {
    setFields({
        {"vacMin", kVacMin, in.vacMin, Role::Input, Range::Positive},
        {"vacMax", kVacMax, in.vacMax, Role::Input, Range::Positive},
        {"vled", kVled, in.vled, Role::Input, Range::Positive},
        {"io", kIo, in.io, Role::Input, Range::Positive},
        {"fmin", kFmin, in.fmin, Role::Input, Range::Positive},
        {"vor", kVor, in.vor, Role::Input, Range::Positive},
        {"vfb", kVfb, in.vfb, Role::Input, Range::NonNegative},
        {"eff", kEff, in.eff, Role::Input, Range::Percent},
        {"ae", kAe, in.ae, Role::Input, Range::Positive},
        {"bpk", kBpk, in.bpk, Role::Input, Range::Positive},
        {"dmax", kDmax, in.dmax, Role::Input, Range::Fraction},
        {"dout", kDout, in.dout, Role::Input, Range::Fraction},
        {"vbmin", kVbmin, in.vbmin, Role::Input, Range::Positive},
        {"vf", kVf, in.vf, Role::Input, Range::NonNegative},
        {"L", kL, out.L, Role::Result},
        {"np", kNp, out.np, Role::Result},
        {"ns", kNs, out.ns, Role::Result},
        {"nfb", kNfb, out.nfb, Role::Result},
        {"n", kN, out.n, Role::Result},
        {"ipk", kIpk, out.ipk, Role::Result},
        {"ispk", kIspk, out.ispk, Role::Result},
        {"last", kLast, last, Role::Result},
    });
    setCalculations({{.button = kCalc,
                      .incomplete = kUnreadable,
                      .pause = form::Pause::CalculatingBoxFirst,
                      .culprit = kVled}});
    // The pick runs the computation's preparation, calculating box included.
    setCorePick({.button = kCore, .ae = kAe, .blankFirst = true, .unreadable = kUnreadable});
    setOrders({{kVacMin, kVacMax}});
}

void IsolatedLedDesigner::opened() {
    setTextColor(kFamilyLabel, {255, 0, 128});
    setTextColor(kFamilyNote, ui::kRed);
    clearItems(kFamily);
    for (const FamilyView& f : kFamilies) addItem(kFamily, f.entry);
    select(kFamily, 0);
    familyChanged();
}

bool IsolatedLedDesigner::onOtherCommand(int id, ui::Notify code) {
    if (id != kFamily || code != ui::Notify::SelChange) return false;
    familyChanged();
    return true;
}

// A family starts from its own defaults: what was typed is discarded.
void IsolatedLedDesigner::familyChanged() {
    family_ = selected(kFamily) == 1 ? Family::SingleStagePfc : Family::NoPfc;
    in = isoled::defaults(family_);
    for (const FamilyInput& f : kFamilyInputs) {
        enable(f.edit, f.family == family_);
        enable(f.label, f.family == family_);
    }
    const FamilyView& view = kFamilies[int(family_)];
    setText(kLastLabel, view.lastLabel);
    setText(kFamilyNote, view.note);
    writeInputs();
    blankResults();
}

void IsolatedLedDesigner::compute() {
    out = isoled::design(family_, in);
    last = family_ == Family::NoPfc ? out.vor : out.fmax;
}

void IsolatedLedDesigner::beforePick() { services::showCalculating(*this); }

} // namespace kv::ic
