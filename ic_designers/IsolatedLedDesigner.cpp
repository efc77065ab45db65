#include "ic_designers/IsolatedLedDesigner.h"

#include "services/Progress.h"

namespace kv::ic {

namespace {
using I = IsolatedLedDesigner;
using services::Range;
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

IsolatedLedDesigner::IsolatedLedDesigner(ui::Dialog* parent)
    : LiveDesigner(kTemplate, parent,
                   {.button = kCalc, .unreadable = kUnreadable, .culprit = kVled, .calculatingBox = true}) {
    bindInput(kVacMin, in.vacMin, Range::Positive);
    bindInput(kVacMax, in.vacMax, Range::Positive);
    bindInput(kVled, in.vled, Range::Positive);
    bindInput(kIo, in.io, Range::Positive);
    bindInput(kFmin, in.fmin, Range::Positive);
    bindInput(kVor, in.vor, Range::Positive);
    bindInput(kVfb, in.vfb, Range::NonNegative);
    bindInput(kEff, in.eff, Range::Percent);
    bindInput(kAe, in.ae, Range::Positive);
    bindInput(kBpk, in.bpk, Range::Positive);
    bindInput(kDmax, in.dmax, Range::Fraction);
    bindInput(kDout, in.dout, Range::Fraction);
    bindInput(kVbmin, in.vbmin, Range::Positive);
    bindInput(kVf, in.vf, Range::NonNegative);
    bindResult(kL, out.L);
    bindResult(kNp, out.np);
    bindResult(kNs, out.ns);
    bindResult(kNfb, out.nfb);
    bindResult(kN, out.n);
    bindResult(kIpk, out.ipk);
    bindResult(kIspk, out.ispk);
    bindResult(kLast, last);
    setCorePick(kCore, kAe, in.ae);
}

void IsolatedLedDesigner::setUp() {
    setTextColor(kFamilyLabel, {255, 0, 128});
    setTextColor(kFamilyNote, {255, 0, 0});
    clearItems(kFamily);
    for (const FamilyView& f : kFamilies) addItem(kFamily, f.entry);
    select(kFamily, 0);
    familyChanged();
}

bool IsolatedLedDesigner::onDesignerCommand(int id, ui::Notify code) {
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

std::string IsolatedLedDesigner::compute() {
    out = isoled::design(family_, in);
    last = family_ == Family::NoPfc ? out.vor : out.fmax;
    return {};
}

void IsolatedLedDesigner::beforePick() {
    LiveDesigner::beforePick();
    services::showCalculating(*this);
}

} // namespace kv::ic
