#include "ic_designers/SinglePfcDesigner.h"

#include "ic_designers/SinglePfcPlot.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/Numbers.h"

#include <cmath>

namespace kv::ic {

namespace {
using S = SinglePfcDesigner;
namespace sp = singlepfc;

// Areas repainted after a computation: the shape factors and the plot.
constexpr ui::Rect kFactorArea{587, 273, 738, 346};
constexpr ui::Rect kPlotArea{374, 15, 743, 241};

constexpr const char* kBadMultInputs = "错误:请输入正确的设计条件!!";
constexpr const char* kMultRange = "错误:VMult超出范围!!";
constexpr const char* kVcsLimit = "错误:Vcs超过1.6V限制!!";
constexpr const char* kBadDivider = "错误:请设置正确的参数!!";
constexpr const char* kDividerMult = "错误:请设置正确的VMult!";

// Whole kHz, placed by the number of digits; any size of number reads as
// itself (15 significant digits, then an exponent).
void frequencyLabel(ui::Canvas& c, float f, int y) {
    const double whole = std::trunc(double(f));
    const int x = whole > 999 ? 374 : whole > 99 ? 378 : 384;
    c.text(x, y, std::isfinite(whole) ? ui::formatNumber(whole, 15) : std::string("---"));
}
} // namespace

SinglePfcDesigner::SinglePfcDesigner(ui::Dialog* parent) : LiveDesigner(kTemplate, parent) {
    using form::Role;
    setFields({
        {"vinMin", kVinMin, in.vinMin},
        {"vinMax", kVinMax, in.vinMax},
        {"fline", kLine, in.fline},
        {"vo", kVo, in.vo},
        {"io", kIo, in.io},
        {"ripple", kRipple, in.ripple},
        {"fmin", kFmin, in.fmin},
        {"vor", kVor, in.vor},
        {"vf", kVf, in.vf},
        {"vds", kVds, in.vds},
        {"vbr", kVbr, in.vbr},
        {"eff", kEff, in.eff},
        {"j", kJ, in.j},
        {"ae", kAe, in.ae},
        {"bpk", kBpk, in.bpk},
        {"vmult", kVmult, in.vmult},
        {"rup", kRup, in.rup},
        {"rlow", kRlow, in.rlow},
        {"vcs", kVcs, out.vcs, Role::Result},
        {"rs", kRs, out.rs, Role::Result},
        {"prs", kPRs, out.prs, Role::Result},
        {"L", kL, out.L, Role::Result},
        {"ipk", kIpk, out.ipk, Role::Result},
        {"irms", kIrms, out.irms, Role::Result},
        {"ispk", kIspk, out.ispk, Role::Result},
        {"isrms", kIsrms, out.isrms, Role::Result},
        {"np", kNp, out.np, Role::Result},
        {"ns", kNs, out.ns, Role::Result},
        {"dp", kDp, out.dp, Role::Result},
        {"ds", kDs, out.ds, Role::Result},
        {"vd", kVD, out.vd, Role::Result},
        {"id", kID, out.id, Role::Result},
        {"pd", kPD, out.pd, Role::Result},
        {"co", kCo, out.co, Role::Result},
        {"vmargin", kVmargin, out.vmargin, Role::Result},
    });
    setResultDigits(7);
    setCalculations({{.incomplete = kUnreadable}});
    setLive(kStatus);
    setCorePick({.button = kCore, .ae = kAe, .mode = '2', .unreadable = kUnreadable});
    setOrders({{kVinMin, kVinMax}});
}

std::optional<services::ApInputs> SinglePfcDesigner::apInputs() const {
    return services::ApInputs{in.vinMin, in.vds, in.vor, in.vo, in.io, in.eff, in.fmin};
}

void SinglePfcDesigner::compute() { out = sp::design(in); }

void SinglePfcDesigner::finished(const form::Run& r) {
    const form::Shown s = r.shown;
    plotted_ = s != form::Shown::None;
    // A computation from another input still says what is wrong with the multiplier.
    if (s == form::Shown::Partly) setStatus(kUnreadable);
    else if (s == form::Shown::All && !sp::vmultInRange(in.vmult)) setStatus(kMultRange);
    else if (s == form::Shown::All && !(out.vcs < sp::kVcsLimit)) setStatus(kVcsLimit);
    // Each computation restarts the fine scan.
    setTimer(kFineTimer, 1000);
    invalidate(kFactorArea);
    invalidate(kPlotArea);
}

void SinglePfcDesigner::edited(int id) {
    if (id == kVmult) multChanged();
    else if (id == kRup || id == kRlow) resistorChanged(id);
    else run();
}

// A Vmult outside its range or a sense voltage over the limit stops:
// nothing is recomputed and the last results stay.
void SinglePfcDesigner::multChanged() {
    if (!readQuietly()) return setStatus(kBadMultInputs);
    if (!sp::vmultInRange(in.vmult)) return setStatus(kMultRange);
    if (!(sp::senseVoltage(in) < sp::kVcsLimit)) return setStatus(kVcsLimit);
    run();
    const float rlow = sp::lowerResistor(in);
    if (std::isfinite(rlow)) writeFloat(kRlow, rlow);
}

// The partner resistor follows; its new text triggers nothing.
void SinglePfcDesigner::resistorChanged(int id) {
    if (!readQuietly()) return setStatus(kBadDivider);
    if (!sp::vmultInRange(in.vmult)) return setStatus(kDividerMult);
    const bool upper = id == kRup;
    const float partner = upper ? sp::lowerResistor(in) : sp::upperResistor(in);
    if (!std::isfinite(partner)) return setStatus(kBadDivider);
    run();
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
    c.setTextColor(ui::kDarkGreen);
    const std::pair<const char*, float> shape[] = {
        {"F1(kv)=", out.f.f1}, {"F2(kv)=", out.f.f2}, {"F3(kv)=", out.f.f3}, {"H2(kv)=", out.f.h2}};
    for (int k = 0; k < 4; ++k)
        if (std::isfinite(shape[k].second)) c.text(608, 275 + 20 * k, shape[k].first + ui::formatNumber(shape[k].second, 7));
    paintPlot(c);
    fine_ = false;
}

void SinglePfcDesigner::paintPlot(ui::Canvas& c) {
    using F = sp::PlotFrame;
    c.setPen(ui::kSilver, 1);
    for (int i = 0; i <= 9; ++i) {
        const int y = int(48 + 17.4 * i);
        c.line(F::left, y, F::right, y);
    }
    for (int j = 0; j <= 3; ++j) c.line(484 + 84 * j, 36, 484 + 84 * j, 222);
    c.setTextColor(ui::kBlack);
    c.text(532, 227, "    相角");
    c.text(495, 15, "      开关频率(kHz)");
    c.text(398, 227, "0");
    c.text(728, 227, "π");
    c.setTextColor(ui::kBlue);
    c.text(440, 232, "---@Vin(Min)");
    c.setTextColor(ui::kRed);
    c.text(610, 232, "---@Vin(Max)");
    if (!plotted_) return;
    const sp::Plot plot = sp::frequencyPlot(in, out, fine_);
    if (!plot.drawable) return;
    c.setTextColor(ui::kOrange);
    frequencyLabel(c, plot.fmax, 43);
    frequencyLabel(c, plot.fmin, 198);
    frequencyLabel(c, (plot.fmax + plot.fmin) / 2, 121);
    c.setTextColor(ui::kRed);
    c.text(398, 15, "Scanning......");
    c.setPen(ui::kBlue, 1);
    for (const sp::Segment& s : plot.low) c.line(s.x1, s.y1, s.x2, s.y2);
    c.setPen(ui::kRed, 1);
    for (const sp::Segment& s : plot.high) c.line(s.x1, s.y1, s.x2, s.y2);
    c.setTextColor(ui::kWhite);
    c.text(398, 15, "Scanning......");
}

} // namespace kv::ic
