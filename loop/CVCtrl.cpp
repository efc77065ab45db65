#include "loop/CVCtrl.h"

#include <cstdio>

namespace kv::loop {

using services::Range;

namespace {
using V = CVCtrl;
constexpr ui::Color kPurple{64, 0, 128};
constexpr LoopPage::Caption kCaptions[] = {
    {V::kStep1Group, {255, 0, 0}},    {V::kStep4Group, {100, 0, 170}}, {V::kStep2Group, {200, 0, 128}},
    {V::kStep3Group, kPurple},        {V::kNetworkGroup, kPurple},
};
constexpr LoopPage::Link kLinks[] = {
    {V::kNoteLink, 200, {24, 370, 144, 370}},
    {V::kCriteriaLink, 201, {318, 531, 508, 531}},
};
const ui::Rect kPlacementArea{570, 290, 950, 650};
const std::vector<int> kPlantResults = {V::kPole, V::kFesr, V::kG};
const std::vector<int> kPartResults = {V::kC1, V::kC2, V::kR2, V::kPm};
// Step 2 computes the plant and blanks the parts; step 4 reads blank plant figures as 0.
std::vector<services::CalcPage::Calculation> calculations() {
    std::vector<int> all = kPlantResults;
    all.insert(all.end(), kPartResults.begin(), kPartResults.end());
    return {{V::kStep2, V::kStep2Incomplete, V::kResr, true, all, {}, kPartResults},
            {V::kStep4, V::kStep4Incomplete, V::kFc, true, kPartResults, kPlantResults, {}}};
}
} // namespace

std::string noMarginMessage(float largest) {
    char deg[32];
    std::snprintf(deg, sizeof deg, "%.1f", largest);
    return std::string("无法达到期望的相位裕量：在此穿越频率下Ⅱ型补偿网络最多只能提供约") + deg +
           "°的相位裕量，请减小期望相位裕量！";
}

CVCtrl::CVCtrl(ui::Dialog* parent) : LoopPage(107, parent, calculations(), kCaptions, kLinks, kPm) {
    bind(kVo, in.Vo, Range::Positive);
    bind(kIrated, in.Irated, Range::Positive);
    bind(kImin, in.Imin, Range::Positive);
    bind(kVinmax, in.Vinmax, Range::Positive);
    bind(kVinmin, vinMin);
    bind(kFs, in.fs, Range::Positive);
    bind(kCo, in.Co, Range::Positive);
    bind(kResr, in.Resr, Range::Positive);
    bind(kVramp, in.Vramp, Range::Positive);
    bind(kVref, in.Vref, Range::Positive);
    bind(kL, in.L, Range::Positive);
    bind(kDmax, in.Dmax, Range::Fraction);
    bindResult(kPole, plant.pole);
    bindResult(kFesr, plant.fesr);
    bindResult(kG, plant.G);
    bind(kFp1, place.fp1, Range::Positive);
    bind(kFz1, place.fz1, Range::Positive);
    bind(kFc, place.fc, Range::Positive);
    bind(kPmWant, place.PMwant);
    bind(kR1, place.R1, Range::Positive);
    bindResult(kC1, net.C1);
    bindResult(kC2, net.C2);
    bindResult(kR2, net.R2);
    bindResult(kPm, net.PM);
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

void CVCtrl::shown() {
    if (running() == kStep4) showLoop(vmode::response(form(), plant, place, net), place.fc * 1000.0);
}

bool CVCtrl::onPageCommand(int id, ui::Notify code) {
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
    setResults("");
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
