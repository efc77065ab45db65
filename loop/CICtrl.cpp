#include "loop/CICtrl.h"

#include <cstdio>

namespace kv::loop {

using services::Range;

namespace {
constexpr ui::Color kPurple{64, 0, 128};
constexpr LoopPage::Caption kCaptions[] = {
    {CICtrl::kInputGroup, {255, 0, 0}},
    {CICtrl::kResultGroup, {0, 0, 255}},
    {CICtrl::kPictureGroup, kPurple},
    {CICtrl::kSlopeGroup, kPurple},
};
constexpr LoopPage::Link kLinks[] = {{CICtrl::kEsrLink, 202, {95, 558, 305, 558}}};
const ui::Rect kPictureArea{440, 18, 895, 283};
} // namespace

std::string subharmonicMessage(double damping) {
    char v[32];
    std::snprintf(v, sizeof v, "%.3f", damping);
    return std::string("斜率补偿不足：mc·(1-D) = ") + v + "，不大于0.5，电流环将出现次谐波振荡，请增大斜率补偿电压！";
}

std::string rhpLimitMessage(double limitHz) {
    return "穿越频率高于右半平面零点的1/3（" + frequencyText(limitHz) + "），请降低穿越频率！";
}

std::string samplingLimitMessage(double limitHz) {
    return "穿越频率高于开关频率的1/6（" + frequencyText(limitHz) + "），请降低穿越频率！";
}

CICtrl::CICtrl(ui::Dialog* parent)
    : LoopPage(106, parent, {{kCalc, kIncomplete, kFc, true}}, kCaptions, kLinks, kR2) {
    bind(kVo, in.Vo, Range::Positive);
    bind(kIo, in.Io, Range::Positive);
    bind(kCo, in.Co, Range::Positive);
    bind(kResr, in.Resr, Range::Positive);
    bind(kD, in.D, Range::Fraction);
    bind(kVin, in.Vin, Range::Positive);
    bind(kL, in.L, Range::Positive);
    bind(kVs, in.Vs, Range::NonNegative);
    bind(kRi, in.Ri, Range::Positive);
    bind(kFs, in.fs, Range::Positive);
    bind(kFc, in.fc, Range::Positive);
    bind(kR1, in.R1, Range::Positive);
    bind(kGm, in.gm, Range::Positive);
    bind(kVref, in.Vref, Range::Positive);
    bindResult(kGain, out.gainDb);
    bindResult(kC1, out.C1);
    bindResult(kR2, out.R2);
    bindResult(kC2, out.C2);
    bindResult(kFp, out.fp);
    bindResult(kFz, out.fz);
    bindResult(kFop, out.fop);
    bindResult(kRhp, out.fRHP);
}

void CICtrl::onInitDialog() {
    clearItems(kType);
    addItem(kType, "跨导运放");
    addItem(kType, "普通运放");
    select(kType, 0);
    LoopPage::onInitDialog();
}

// The transconductance needs gm and the reference, the op amp its input resistor.
bool CICtrl::uses(int id) const {
    if (id == kGm || id == kVref) return transconductance();
    if (id == kR1) return !transconductance();
    return true;
}

void CICtrl::compute() {
    in.amplifier = transconductance() ? icmode::Amplifier::Transconductance : icmode::Amplifier::OpAmp;
    out = icmode::compensate(in);
}

bool CICtrl::check() {
    const double damping = icmode::currentLoopDamping(in);
    return damping > 0.5 || refuse(subharmonicMessage(damping));
}

void CICtrl::shown() {
    const double fc = in.fc * 1000.0;
    std::vector<std::string> notes;
    if (fc > icmode::rhpLimit(out)) notes.push_back(rhpLimitMessage(icmode::rhpLimit(out)));
    if (fc > icmode::samplingLimit(in)) notes.push_back(samplingLimitMessage(icmode::samplingLimit(in)));
    showLoop(icmode::response(in, out), fc, notes);
}

bool CICtrl::onPageCommand(int id, ui::Notify code) {
    if (id != kType || code != ui::Notify::SelChange) return false;
    enable(kGm, transconductance());
    setResults("");
    invalidate(kPictureArea);
    return true;
}

void CICtrl::paintPictures(ui::Canvas& c) {
    stretchInto(c, transconductance() ? 192 : 191, kPictureGroup, 445, 19);
    stretchInto(c, 190, kSlopeGroup, 442, 296);
}

} // namespace kv::loop
