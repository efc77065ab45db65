#include "ic_designers/LlcDesigner.h"

#include "ic_designers/LlcPlot.h"
#include "platform/ui/Canvas.h"

namespace kv::ic {

namespace {

using D = LlcDesign;
constexpr int kTankGroup = 0, kControllerGroup = 1, kScanGroup = 2;
constexpr Role In = Role::Input, Out = Role::Result;

const Field<D> kFields[] = {
    {1362, &D::vinMax, In}, {1033, &D::vinNom, In}, {1361, &D::vinMin, In},
    {1445, &D::vo, In},     {1034, &D::io, In},     {1019, &D::eff, In},
    {1072, &D::hold, In},   {1036, &D::fr, In},     {1035, &D::k, In},
    {1062, &D::qMargin, In}, {1038, &D::ae, In},    {1064, &D::swingB, In},
    {1069, &D::vf, In},     {1071, &D::coss, In},   {1074, &D::cstray, In},
    {1075, &D::deadTime, In}, {1085, &D::npSet, In}, {1078, &D::crSet, In},
    {1053, &D::cbulk, Out}, {1047, &D::gmin, Out},  {1048, &D::gmax, Out},
    {1050, &D::rac, Out},   {1049, &D::q, Out},     {1042, &D::fmax, Out},
    {1051, &D::fmin, Out},  {1056, &D::fr2, Out},   {1052, &D::cr, Out},
    {1054, &D::lr, Out},    {1022, &D::lm, Out},    {1055, &D::im, Out},
    {1057, &D::ip, Out},    {1059, &D::irms, Out},  {1058, &D::imos, Out},
    {1060, &D::vcrMax, Out}, {1076, &D::icout, Out}, {1067, &D::nact, Out},
    {1066, &D::npMin, Out}, {1068, &D::nsMin, Out}, {1084, &D::np, Out},
    {1087, &D::fswLow, In, Range::Any, kControllerGroup},
    {1088, &D::fswHigh, In, Range::Any, kControllerGroup},
    {1089, &D::cf, In, Range::Any, kControllerGroup},
    {1090, &D::fss, In, Range::Any, kControllerGroup},
    {LlcDesigner::kScanQ, &D::qScan, In, Range::Any, kScanGroup},
};

const Button<D> kButtons[] = {
    {LlcDesigner::kTank, &llcTank, LlcDesigner::kBadTank, kTankGroup},
    {LlcDesigner::kController, &llcController, LlcDesigner::kBadController, kControllerGroup},
};

const Message kMessages[] = {
    {kLlcBadTank, LlcDesigner::kBadTank},
    {kLlcImBelowIp, "Im<IP,请降低Q值或者增大Lr+Lp重新计算!"},
    {kLlcBadController, LlcDesigner::kBadController},
};

} // namespace

LlcDesigner::LlcDesigner(ui::Dialog* parent)
    : RecordDesigner(kTemplate, parent, kFields, kButtons, kMessages,
                     CorePick{kCore, kAe, kTank, false}) {}

void LlcDesigner::onInitDialog() {
    ButtonDesigner::onInitDialog();
    // The first showing computes the tank and, without a pause, the controller.
    compute(kTank);
    compute(kController, false);
}

void LlcDesigner::invalidatePlot() {
    invalidate(kLlcPlotArea);
    invalidate(kLlcTextArea);
}

void LlcDesigner::shown(int action, const ButtonOutcome& o) {
    if (action == kTank) {
        plot_ = o.notices.empty();
        invalidatePlot();
    } else {
        controller_ = true;
        invalidate(kLlcControllerArea);
    }
}

void LlcDesigner::failed(int action) {
    if (action == kTank) {
        plot_ = false;
        invalidatePlot();
    } else {
        controller_ = false;
        invalidate(kLlcControllerArea);
    }
}

void LlcDesigner::corePicked(bool) { invalidatePlot(); }

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
