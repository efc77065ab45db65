#include "ic_designers/LlcDesigner.h"

#include "ic_designers/LlcPlot.h"
#include "platform/ui/Canvas.h"

#include <algorithm>

namespace kv::ic {

namespace {

constexpr int kTankGroup = 0, kControllerGroup = 1, kScanGroup = 2;
constexpr form::Role In = form::Role::Input, Out = form::Role::Result;
constexpr form::Range Any = form::Range::Any, Pos = form::Range::Positive, Zero = form::Range::NonNegative;

const form::Message kMessages[] = {
    {kLlcBadTank, LlcDesigner::kBadTank},
    {kLlcImBelowIp, "Im<IP,请降低Q值或者增大Lr+Lp重新计算!"},
    {kLlcFewTurns, "注意：“{Np}”低于“{NpMin}”，磁芯会饱和，请增加“{NpSet}”！"},
    {kLlcBadController, LlcDesigner::kBadController},
};

} // namespace

LlcDesigner::LlcDesigner(ui::Dialog* parent) : RecordDesigner(kTemplate, parent) {
    LlcDesign& d = design;
    setFields({
        {"vinMax", kVinMax, d.vinMax, In, Pos}, {"vinNom", kVinNom, d.vinNom, In, Pos}, {"vinMin", kVinMin, d.vinMin, In, Pos},
        {"vo", 1445, d.vo, In, Pos},        {"io", 1034, d.io, In, Pos},        {"eff", 1019, d.eff, In, form::Range::Percent},
        {"hold", 1072, d.hold, In, Zero},     {"fr", 1036, d.fr, In, Pos},        {"k", 1035, d.k, In, Pos},
        {"qMargin", 1062, d.qMargin, In, Pos},   {"ae", 1038, d.ae, In, Pos},        {"swingB", 1064, d.swingB, In, Pos},
        {"vf", 1069, d.vf, In, Zero},       {"coss", 1071, d.coss, In, Zero},     {"cstray", 1074, d.cstray, In, Zero},
        {"deadTime", 1075, d.deadTime, In, Pos},  {"npSet", kNpSet, d.npSet, In, Pos},     {"crSet", 1078, d.crSet, In, Pos},
        {"cbulk", 1053, d.cbulk, Out}, {"gmin", 1047, d.gmin, Out},  {"gmax", 1048, d.gmax, Out},
        {"rac", 1050, d.rac, Out},   {"q", 1049, d.q, Out},     {"fmax", 1042, d.fmax, Out},
        {"fmin", 1051, d.fmin, Out},  {"fr2", 1056, d.fr2, Out},   {"cr", 1052, d.cr, Out},
        {"lr", 1054, d.lr, Out},    {"lm", 1022, d.lm, Out},    {"im", 1055, d.im, Out},
        {"ip", 1057, d.ip, Out},    {"irms", 1059, d.irms, Out},  {"imos", 1058, d.imos, Out},
        {"vcrMax", 1060, d.vcrMax, Out}, {"icout", 1076, d.icout, Out}, {"nact", 1067, d.nact, Out},
        {"npMin", kNpMin, d.npMin, Out}, {"nsMin", 1068, d.nsMin, Out}, {"np", kNp, d.np, Out},
        {"fswLow", kFswLow, d.fswLow, In, Pos, kControllerGroup},
        {"fswHigh", kFswHigh, d.fswHigh, In, Pos, kControllerGroup},
        {"cf", 1089, d.cf, In, Pos, kControllerGroup},
        {"fss", kFss, d.fss, In, Pos, kControllerGroup},
        {"qScan", kScanQ, d.qScan, In, Any, kScanGroup},
    });
    setCalculations({
        {.button = kTank, .run = onDesign(llcTank), .incomplete = kBadTank, .group = kTankGroup},
        {.button = kController, .run = onDesign(llcController), .incomplete = kBadController, .group = kControllerGroup},
    });
    // The turns the turns notice names.
    fieldOf(kNp)->name = "Np";
    fieldOf(kNpMin)->name = "NpMin";
    fieldOf(kNpSet)->name = "NpSet";
    setMessages(kMessages);
    setCorePick({.button = kCore, .ae = kAe, .rerun = kTank});
    // The gain range runs from the nominal input down to the lowest: it must not
    // be empty; the timing resistors divide by the spans above the lowest frequency.
    setOrders({{kVinMin, kVinMax}, {kVinMin, kVinNom, true}, {kFswLow, kFswHigh, true}, {kFswLow, kFss, true}});
}

void LlcDesigner::onInitDialog() {
    FormWindow::onInitDialog();
    // The first showing computes the tank and, without a pause, the controller.
    run(kTank);
    run(kController, false);
}

void LlcDesigner::invalidatePlot() {
    invalidate(kLlcPlotArea);
    invalidate(kLlcTextArea);
}

void LlcDesigner::finished(const form::Run& r) {
    const bool shown = r.shown != form::Shown::None;
    if (r.button == kTank) {
        // Too little magnetising current for zero-voltage switching: no curves.
        plot_ = shown && std::ranges::find(r.outcome.notices, kLlcImBelowIp) == r.outcome.notices.end();
        invalidatePlot();
    } else {
        controller_ = shown;
        invalidate(kLlcControllerArea);
    }
}

void LlcDesigner::corePicked(bool) { invalidatePlot(); }

// Curves and parts that no longer belong to the inputs are not drawn.
void LlcDesigner::resultsStale() {
    if (stale(kTank)) plot_ = false;
    if (stale(kController)) controller_ = false;
    invalidatePlot();
}

bool LlcDesigner::onOtherCommand(int id, ui::Notify code) {
    if (id != kScanQ) return false;
    if (code == ui::Notify::Changed) {
        invalidate(kLlcPlotArea);
    } else if (code == ui::Notify::KillFocus) {
        // Said once the field is left, not on every keystroke and never while painting.
        double q = 0;
        if (!ui::parseNumber(text(kScanQ), q)) messageBox(kBadScan, ui::kAppName, ui::Icon::None);
    }
    return true;
}

void LlcDesigner::onPaint(ui::Canvas& c) {
    if (const ui::ControlState* g = control(kPictureFrame)) {
        const ui::BitmapInfo* bmp = ui::findBitmap(kPicture);
        const int margin = 8;
        const ui::Rect frame{ui::dluToPxX(g->tpl.x), ui::dluToPxY(g->tpl.y),
                             ui::dluToPxX(g->tpl.x + g->tpl.w), ui::dluToPxY(g->tpl.y + g->tpl.h)};
        if (bmp) c.stretchBitmap(kPicture, {26, 36, frame.right - margin, frame.bottom - margin}, {0, 0, bmp->width, bmp->height});
    }
    LlcView v;
    v.plot = plot_;
    v.controller = controller_;
    // Painting reads only the field it draws, and draws it only when it is a number.
    double q = 0;
    if (ui::parseNumber(text(kScanQ), q)) v.scanQ = q;
    paintLlcPlot(c, design, v);
}

void LlcDesigner::onMouseMove(int x, int y) { setText(kReadout, llcReadout(design, plot_, x, y)); }

} // namespace kv::ic
