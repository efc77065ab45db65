#include "loop/CICtrl.h"

#include "services/Templates.h"

namespace kv::loop {

using form::Range;
using form::Role;

namespace {
constexpr LoopPage::Caption kCaptions[] = {
    {CICtrl::kInputGroup, ui::kRed},
    {CICtrl::kResultGroup, ui::kBlue},
    {CICtrl::kPictureGroup, ui::kPurple},
    {CICtrl::kSlopeGroup, ui::kPurple},
};
constexpr LoopPage::Link kLinks[] = {{CICtrl::kEsrLink, tpl::kEsrTip, {95, 558, 305, 558}}};
const ui::Rect kPictureArea{440, 18, 895, 283};
} // namespace

std::string subharmonicMessage(double damping) {
    return "斜率补偿不足：mc·(1-D) = " + ui::formatNumber(damping, 3, ui::Notation::Fixed) +
           "，不大于0.5，电流环将出现次谐波振荡，请增大斜率补偿电压！";
}

std::string rhpLimitMessage(double limitHz) {
    return "穿越频率高于右半平面零点的1/3（" + frequencyText(limitHz) + "），请降低穿越频率！";
}

std::string samplingLimitMessage(double limitHz) {
    return "穿越频率高于开关频率的1/6（" + frequencyText(limitHz) + "），请降低穿越频率！";
}

CICtrl::CICtrl(ui::Dialog* parent)
    : LoopPage(tpl::kCurrentMode, parent, {{.button = kCalc, .incomplete = kIncomplete, .culprit = kFc}}, kCaptions, kLinks, kR2) {
    setFields({
        {"Vo", kVo, in.Vo, Role::Input, Range::Positive},
        {"Io", kIo, in.Io, Role::Input, Range::Positive},
        {"Co", kCo, in.Co, Role::Input, Range::Positive},
        {"Resr", kResr, in.Resr, Role::Input, Range::Positive},
        {"D", kD, in.D, Role::Input, Range::Fraction},
        {"Vin", kVin, in.Vin, Role::Input, Range::Positive},
        {"L", kL, in.L, Role::Input, Range::Positive},
        {"Vs", kVs, in.Vs, Role::Input, Range::NonNegative},
        {"Ri", kRi, in.Ri, Role::Input, Range::Positive},
        {"fs", kFs, in.fs, Role::Input, Range::Positive},
        {"fc", kFc, in.fc, Role::Input, Range::Positive},
        {"R1", kR1, in.R1, Role::Input, Range::Positive},
        {"gm", kGm, in.gm, Role::Input, Range::Positive},
        {"Vref", kVref, in.Vref, Role::Input, Range::Positive},
        {"gainDb", kGain, out.gainDb, Role::Result},
        {"C1", kC1, out.C1, Role::Result},
        {"R2", kR2, out.R2, Role::Result},
        {"C2", kC2, out.C2, Role::Result},
        {"fp", kFp, out.fp, Role::Result},
        {"fz", kFz, out.fz, Role::Result},
        {"fop", kFop, out.fop, Role::Result},
        {"fRHP", kRhp, out.fRHP, Role::Result},
    });
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

void CICtrl::finished(const form::Run& r) {
    if (r.shown == form::Shown::None) return;
    const double fc = in.fc * 1000.0;
    std::vector<std::string> notes;
    if (fc > icmode::rhpLimit(out)) notes.push_back(rhpLimitMessage(icmode::rhpLimit(out)));
    if (fc > icmode::samplingLimit(in)) notes.push_back(samplingLimitMessage(icmode::samplingLimit(in)));
    showLoop(icmode::response(in, out), fc, notes);
}

bool CICtrl::onOtherCommand(int id, ui::Notify code) {
    if (id != kType || code != ui::Notify::SelChange) return false;
    enable(kGm, transconductance());
    blankResults();
    invalidate(kPictureArea);
    return true;
}

void CICtrl::paintPictures(ui::Canvas& c) {
    stretchInto(c, transconductance() ? 192 : 191, kPictureGroup, 445, 19);
    stretchInto(c, 190, kSlopeGroup, 442, 296);
}

} // namespace kv::loop
