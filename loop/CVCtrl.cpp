#include "loop/CVCtrl.h"

#include "services/Templates.h"

namespace kv::loop {

using form::Range;
using form::Role;

namespace {
using V = CVCtrl;
constexpr LoopPage::Caption kCaptions[] = {
    {V::kStep1Group, ui::kRed},    {V::kStep4Group, {100, 0, 170}}, {V::kStep2Group, {200, 0, 128}},
    {V::kStep3Group, ui::kPurple},        {V::kNetworkGroup, ui::kPurple},
};
constexpr LoopPage::Link kLinks[] = {
    {V::kNoteLink, tpl::kTypeTwoNote, {24, 370, 144, 370}},
    {V::kCriteriaLink, tpl::kStabilityTip, {318, 531, 508, 531}},
};
const ui::Rect kPlacementArea{570, 290, 950, 650};
const std::vector<int> kPlantResults = {V::kPole, V::kFesr, V::kG};
const std::vector<int> kPartResults = {V::kC1, V::kC2, V::kR2, V::kPm};
// Step 2 computes the plant and blanks the parts; step 4 reads blank plant figures as 0.
std::vector<form::Calculation> calculations() {
    std::vector<int> all = kPlantResults;
    all.insert(all.end(), kPartResults.begin(), kPartResults.end());
    return {{.button = V::kStep2, .incomplete = V::kStep2Incomplete, .results = all, .blankAfter = kPartResults,
             .culprit = V::kResr},
            {.button = V::kStep4, .incomplete = V::kStep4Incomplete, .results = kPartResults,
             .blankAsZero = kPlantResults, .culprit = V::kFc}};
}
} // namespace

std::string noMarginMessage(float largest) {
    return "无法达到期望的相位裕量：在此穿越频率下Ⅱ型补偿网络最多只能提供约" + ui::formatNumber(largest, 1, ui::Notation::Fixed) +
           "°的相位裕量，请减小期望相位裕量！";
}

CVCtrl::CVCtrl(ui::Dialog* parent) : LoopPage(tpl::kTypeTwo, parent, calculations(), kCaptions, kLinks, kPm) {
    setFields({
        {"Vo", kVo, in.Vo, Role::Input, Range::Positive},
        {"Irated", kIrated, in.Irated, Role::Input, Range::Positive},
        {"Imin", kImin, in.Imin, Role::Input, Range::Positive},
        {"Vinmax", kVinmax, in.Vinmax, Role::Input, Range::Positive},
        {"Vinmin", kVinmin, vinMin},
        {"fs", kFs, in.fs, Role::Input, Range::Positive},
        {"Co", kCo, in.Co, Role::Input, Range::Positive},
        {"Resr", kResr, in.Resr, Role::Input, Range::Positive},
        {"Vramp", kVramp, in.Vramp, Role::Input, Range::Positive},
        {"Vref", kVref, in.Vref, Role::Input, Range::Positive},
        {"L", kL, in.L, Role::Input, Range::Positive},
        {"Dmax", kDmax, in.Dmax, Role::Input, Range::Fraction},
        {"pole", kPole, plant.pole, Role::Result},
        {"fesr", kFesr, plant.fesr, Role::Result},
        {"G", kG, plant.G, Role::Result},
        {"fp1", kFp1, place.fp1, Role::Input, Range::Positive},
        {"fz1", kFz1, place.fz1, Role::Input, Range::Positive},
        {"fc", kFc, place.fc, Role::Input, Range::Positive},
        {"PMwant", kPmWant, place.PMwant},
        {"R1", kR1, place.R1, Role::Input, Range::Positive},
        {"C1", kC1, net.C1, Role::Result},
        {"C2", kC2, net.C2, Role::Result},
        {"R2", kR2, net.R2, Role::Result},
        {"PM", kPm, net.PM, Role::Result},
    });
    setOrders({{kImin, kIrated}, {kVinmin, kVinmax}});
}

void CVCtrl::onInitDialog() {
    clearItems(kForm);
    addItem(kForm, "DCM反激");
    addItem(kForm, "正激类");
    select(kForm, 1);
    LoopPage::onInitDialog();
    for (int id : {kFp1Label, kFp1, kFz1Label, kFz1}) enable(id, false);
    enable(kL);
    enable(kLLabel);
}

// Step 2 takes the converter, step 4 the placement: each only what its form uses.
bool CVCtrl::uses(int id) const {
    const bool dcm = !forward();
    switch (id) {
    case kVo: case kCo: case kResr: case kVramp: case kL: return running() == kStep2;
    case kDmax: return running() == kStep2 && !dcm;
    case kVref: return false; // it sets the divider's lower resistor, not the loop
    case kIrated: case kImin: case kVinmax: case kFs: return running() == kStep2 && dcm;
    case kFc: case kR1: return running() == kStep4;
    case kFp1: case kFz1: return running() == kStep4 && dcm;
    default: return true;
    }
}

// Step 4 designs against the step-2 figures: without them it has nothing to place.
bool CVCtrl::check() {
    if (running() == kStep4 && !(plant.pole > 0 && plant.fesr > 0)) return refuse(kStep4Incomplete);
    return true;
}

void CVCtrl::compute() {
    if (running() == kStep2) {
        plant = vmode::plant(form(), in);
        return;
    }
    const vmode::Network n = vmode::compensate(form(), plant, place);
    if (!n.found) {
        refuse(noMarginMessage(vmode::largestMargin(plant, place)));
        return;
    }
    net = n;
    if (forward()) {
        place.fp1 = n.fp1;
        place.fz1 = n.fz1;
    }
}

void CVCtrl::finished(const form::Run& r) {
    if (r.shown != form::Shown::None && r.button == kStep4)
        showLoop(vmode::response(form(), plant, place, net), place.fc * 1000.0);
}

bool CVCtrl::onOtherCommand(int id, ui::Notify code) {
    if (id != kForm || code != ui::Notify::SelChange) return false;
    formChanged();
    return true;
}

void CVCtrl::formChanged() {
    const bool dcm = !forward();
    for (int id : {kFp1Label, kFp1, kFz1Label, kFz1}) enable(id, dcm);
    enable(kPmWant, !dcm);
    enable(kPmLabel, !dcm);
    setText(kLLabel, dcm ? "一次电感(μH)" : "输出电感(μH)");
    setText(kPoleLabel, dcm ? "极点频率(KHz)" : "LC双重极点(KHz)");
    blankResults();
    invalidate(kPlacementArea);
}

void CVCtrl::paintPictures(ui::Canvas& c) {
    drawAt(c, 194, 110, 416);
    drawAt(c, 195, 250, 505);
    drawAt(c, 196, 411, 283);
    stretchInto(c, 197, kNetworkGroup, 575, 18);
    stretchInto(c, forward() ? 204 : 203, kPlacementGroup, 575, 295);
}

} // namespace kv::loop
