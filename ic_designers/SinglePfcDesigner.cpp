#include "ic_designers/SinglePfcDesigner.h"

#include "platform/ui/Canvas.h"

#include <cmath>

namespace kv::ic {

namespace {
using S = SinglePfcDesigner;
namespace sp = singlepfc;

constexpr ui::Color kRed{255, 0, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255};
constexpr ui::Color kGreen{0, 128, 0}, kOrange{255, 128, 0}, kGrid{192, 192, 192};
// Areas repainted after a computation: the shape factors and the plot.
constexpr ui::Rect kFactorArea{587, 273, 738, 346};
constexpr ui::Rect kPlotArea{374, 15, 743, 241};

constexpr const char* kBadMultInputs = "错误:请输入正确的设计条件!!";
constexpr const char* kMultRange = "错误:VMult超出范围!!";
constexpr const char* kVcsLimit = "错误:Vcs超过1.6V限制!!";
constexpr const char* kBadDivider = "错误:请设置正确的参数!!";
constexpr const char* kDividerMult = "错误:请设置正确的VMult!";

// Whole kHz, placed by the number of digits.
void frequencyLabel(ui::Canvas& c, float f, int y) {
    const double whole = std::trunc(double(f));
    const int x = whole > 999 ? 374 : whole > 99 ? 378 : 384;
    c.text(x, y, std::to_string(static_cast<long long>(whole)));
}
} // namespace

SinglePfcDesigner::SinglePfcDesigner(ui::Dialog* parent)
    : LiveDesigner(kTemplate, parent, {.live = true, .unreadable = kUnreadable, .status = kStatus, .sevenDigits = true}) {
    bindInput(kVinMin, in.vinMin);
    bindInput(kVinMax, in.vinMax);
    bindInput(kLine, in.fline);
    bindInput(kVo, in.vo);
    bindInput(kIo, in.io);
    bindInput(kRipple, in.ripple);
    bindInput(kFmin, in.fmin);
    bindInput(kVor, in.vor);
    bindInput(kVf, in.vf);
    bindInput(kVds, in.vds);
    bindInput(kVbr, in.vbr);
    bindInput(kEff, in.eff);
    bindInput(kJ, in.j);
    bindInput(kAe, in.ae);
    bindInput(kBpk, in.bpk);
    bindInput(kVmult, in.vmult);
    bindInput(kRup, in.rup);
    bindInput(kRlow, in.rlow);
    bindResult(kVcs, out.vcs);
    bindResult(kRs, out.rs);
    bindResult(kPRs, out.prs);
    bindResult(kL, out.L);
    bindResult(kIpk, out.ipk);
    bindResult(kIrms, out.irms);
    bindResult(kIspk, out.ispk);
    bindResult(kIsrms, out.isrms);
    bindResult(kNp, out.np);
    bindResult(kNs, out.ns);
    bindResult(kDp, out.dp);
    bindResult(kDs, out.ds);
    bindResult(kVD, out.vd);
    bindResult(kID, out.id);
    bindResult(kPD, out.pd);
    bindResult(kCo, out.co);
    bindResult(kVmargin, out.vmargin);
    setCorePick(kCore, kAe, in.ae, '2');
}

std::optional<services::ApInputs> SinglePfcDesigner::apInputs() const {
    return services::ApInputs{in.vinMin, in.vds, in.vor, in.vo, in.io, in.eff, in.fmin};
}

std::string SinglePfcDesigner::compute() {
    out = sp::design(in);
    return {};
}

void SinglePfcDesigner::shown(Shown s) {
    plotted_ = s != Shown::None;
    // A computation from another input still says what is wrong with the multiplier.
    if (s == Shown::Partly) setStatus(kUnreadable);
    else if (s == Shown::All && !sp::vmultInRange(in.vmult)) setStatus(kMultRange);
    else if (s == Shown::All && !(out.vcs < sp::kVcsLimit)) setStatus(kVcsLimit);
    // Each computation restarts the fine scan.
    setTimer(kFineTimer, 1000);
    invalidate(kFactorArea);
    invalidate(kPlotArea);
}

void SinglePfcDesigner::edited(int id) {
    if (id == kVmult) multChanged();
    else if (id == kRup || id == kRlow) resistorChanged(id);
    else recompute();
}

// A Vmult outside its range or a sense voltage over the limit stops:
// nothing is recomputed and the last results stay.
void SinglePfcDesigner::multChanged() {
    if (!readInputs()) return setStatus(kBadMultInputs);
    if (!sp::vmultInRange(in.vmult)) return setStatus(kMultRange);
    if (!(sp::senseVoltage(in) < sp::kVcsLimit)) return setStatus(kVcsLimit);
    recompute();
    const float rlow = sp::lowerResistor(in);
    if (std::isfinite(rlow)) writeFloat(kRlow, rlow);
}

// The partner resistor follows; its new text triggers nothing.
void SinglePfcDesigner::resistorChanged(int id) {
    if (!readInputs()) return setStatus(kBadDivider);
    if (!sp::vmultInRange(in.vmult)) return setStatus(kDividerMult);
    const bool upper = id == kRup;
    const float partner = upper ? sp::lowerResistor(in) : sp::upperResistor(in);
    if (!std::isfinite(partner)) return setStatus(kBadDivider);
    recompute();
    writeFloat(upper ? kRlow : kRup, partner);
}

void SinglePfcDesigner::onTimer(int id) {
    if (id != kFineTimer) return;
    killTimer(kFineTimer);
    fine_ = true;
    invalidate(kPlotArea);
}

void SinglePfcDesigner::onPaint(ui::Canvas& c) {
    if (const ui::BitmapInfo* b = ui::findBitmap(kPicture))
        c.stretchBitmap(kPicture, {600, 350, 715, 485}, {0, 0, b->width, b->height});
    c.setTransparent(true);
    c.setFont("", 0);
    c.setTextColor(kGreen);
    const std::pair<const char*, float> shape[] = {
        {"F1(kv)=", out.f.f1}, {"F2(kv)=", out.f.f2}, {"F3(kv)=", out.f.f3}, {"H2(kv)=", out.f.h2}};
    for (int k = 0; k < 4; ++k)
        if (std::isfinite(shape[k].second)) c.text(608, 275 + 20 * k, shape[k].first + sevenDigits(shape[k].second));
    paintPlot(c);
    fine_ = false;
}

void SinglePfcDesigner::paintPlot(ui::Canvas& c) {
    using F = sp::PlotFrame;
    c.setPen(kGrid, 1);
    for (int i = 0; i <= 9; ++i) {
        const int y = int(48 + 17.4 * i);
        c.line(F::left, y, F::right, y);
    }
    for (int j = 0; j <= 3; ++j) c.line(484 + 84 * j, 36, 484 + 84 * j, 222);
    c.setTextColor({0, 0, 0});
    c.text(532, 227, "    相角");
    c.text(495, 15, "      开关频率(kHz)");
    c.text(398, 227, "0");
    c.text(728, 227, "π");
    c.setTextColor(kBlue);
    c.text(440, 232, "---@Vin(Min)");
    c.setTextColor(kRed);
    c.text(610, 232, "---@Vin(Max)");
    if (!plotted_) return;
    const sp::Plot plot = sp::frequencyPlot(in, out, fine_);
    if (!plot.drawable) return;
    c.setTextColor(kOrange);
    frequencyLabel(c, plot.fmax, 43);
    frequencyLabel(c, plot.fmin, 198);
    frequencyLabel(c, (plot.fmax + plot.fmin) / 2, 121);
    c.setTextColor(kRed);
    c.text(398, 15, "Scanning......");
    c.setPen(kBlue, 1);
    for (const sp::Segment& s : plot.low) c.line(s.x1, s.y1, s.x2, s.y2);
    c.setPen(kRed, 1);
    for (const sp::Segment& s : plot.high) c.line(s.x1, s.y1, s.x2, s.y2);
    c.setTextColor(kWhite);
    c.text(398, 15, "Scanning......");
}

} // namespace kv::ic
