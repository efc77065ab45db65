#include "graphic_flyback/GraphicFlybackDialog.h"

#include "graphic_flyback/DesignReport.h"
#include "graphic_flyback/ParamDialogs.h"
#include "platform/ui/Backend.h"
#include "platform/ui/Canvas.h"
#include "platform/io/Files.h"
#include "services/LossText.h"
#include "services/Settings.h"
#include "services/Templates.h"
#include "services/Windows.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>

namespace kv::graphic {

const Region kRegions[12] = {
    {10, 66, 46, 86, "AC", tpl::kAcInput, Derive::FromVor},
    {13, 103, 30, 122, "η", tpl::kEfficiency, Derive::FromVor},
    {235, 166, 265, 186, "Cin", tpl::kInputCapacitor, Derive::FromDuty},
    {358, 252, 400, 276, nullptr, tpl::kIcOutput, Derive::FromDuty},
    {424, 307, 460, 324, "Qsw", tpl::kSwitch, Derive::FromVor},
    {560, 14, 590, 32, "Llk", tpl::kLeakage, Derive::FromVor},
    {668, 17, 783, 34, "Transformer", tpl::kTransformer, Derive::FromVor},
    {805, 16, 832, 35, "Do", tpl::kOutputDiode, Derive::FromVor},
    {940, 60, 981, 79, "Cout", tpl::kOutputCapacitor, Derive::FromVor},
    {1003, 96, 1043, 120, "Out", tpl::kOutput, Derive::FromVor},
    {605, 314, 629, 332, "Df", tpl::kAuxDiode, Derive::FromVor},
    {534, 315, 560, 333, "Vf", tpl::kAuxVoltage, Derive::FromVor},
};

std::string numberText(double v, int digits) {
    if (!std::isfinite(v)) return kInvalid;
    return ui::formatNumber(v, digits);
}

namespace {
constexpr const char* kStrike = "—————";
// Left edge of the loss figures on the schematic, and the transformer dialog's core button.
constexpr int kLossColumn = 860;
constexpr const char* kPickCaption = "指定磁芯";
// Characters per line of the loss note below the figures (the column is 185 px wide).
constexpr int kNoteLine = 14;
// Top of the switching frequency's line; Dmax and Tdie follow 20 px apart above the PWM block.
constexpr int kSwitchLine = 190;
constexpr int kSwitchColumn = 300; // right of the input capacitor's "+"
} // namespace

using G = GraphicFlybackDialog;
const ui::MessageEntry<G> G::kMessageMap[] = {
    {G::kSave, ui::Notify::Clicked, &G::save},
    {G::kBackground, ui::Notify::Clicked, &G::onBackground},
    {G::kFont, ui::Notify::Clicked, &G::onFont},
};

GraphicFlybackDialog::GraphicFlybackDialog(ui::Dialog* parent) : Dialog(tpl::kGraphicFlyback, parent) {}

bool GraphicFlybackDialog::onCommand(int id, ui::Notify code) { return ui::dispatchMap(this, kMessageMap, id, code); }

void GraphicFlybackDialog::onInitDialog() {
    design = FlybackDesign{};
    setRange(kProgress, 0, 120);
    setPos(kProgress, 0);
    setTitle("PWM单端反激变换器 Flyback");
    recalculate(Derive::FromDuty);
}

bool GraphicFlybackDialog::recalculate(Derive how) {
    const Outcome o = kv::graphic::recalculate(design, how);
    loss = losses(design);
    // The results of an input the formulas cannot take show as "---"; say which.
    if (const auto bad = firstBadInput(design)) {
        messageBox(services::rangeMessage(bad->range, reportDescription(bad->key)), ui::kAppName, ui::Icon::Warning);
        return false;
    }
    if (o.bulkEmpties) messageBox("错误：输入电容容量太小，维持不到下一个电网半周！", ui::kAppName, ui::Icon::None);
    if (o.vorError) messageBox("错误：漏感尖峰电压小于了次级折射电压！", ui::kAppName, ui::Icon::None);
    // With the capacitor emptied the flux follows from nonsense: not worth a second box.
    if (o.fluxWarning && !o.bulkEmpties) messageBox("注意：实际磁通密度峰值已经超过最大值！", ui::kAppName, ui::Icon::None);
    if (o.vorError || o.bulkEmpties) return false;
    if (!animating) {
        animating = true;
        setTimer(1, 10);
    }
    return true;
}

void GraphicFlybackDialog::onTimer(int id) {
    io::restoreWorkFolder();
    // The bar moves here, never while painting: a progress bar repaints itself
    // at once, and inside the window's paint that is a recursive repaint.
    if (id == 1) {
        progress += 10;
        if (progress <= 100) {
            setPos(kProgress, progress);
            invalidate({159, 395, 381, 414});
        } else {
            killTimer(1);
            animating = false;
            setTimer(2, 1500);
        }
    } else if (id == 2) {
        progress = 0;
        setPos(kProgress, progress);
        invalidate({160, 396, 380, 413});
        killTimer(2);
    }
}

void GraphicFlybackDialog::onLButtonUp(int x, int y) {
    clickText = "Coordinate:" + std::to_string(x) + "," + std::to_string(y);
    for (const Region& r : kRegions)
        if (r.x1 < x && x < r.x2 && r.y1 < y && y < r.y2) {
            if (auto dlg = makeParamDialog(r.dialog, design, this)) runModal(*dlg);
            lastDialog = r.dialog;
            recalculate(r.after); // after Cancel too: it refreshes the results
            invalidate();
            return;
        }
    invalidate({0, 0, 150, 30});
}

void GraphicFlybackDialog::onBackground() {
    const auto slot = services::readSlot(services::kPictureSlot);
    services::writeSlot(services::kPictureSlot, slot == '#' ? '*' : '#');
    invalidate();
}

void GraphicFlybackDialog::onFont() {
    services::runModalWindow(tpl::kFont, *this);
}

void GraphicFlybackDialog::onPaint(ui::Canvas& c) {
    const auto slot = services::readSlot(services::kPictureSlot);
    const int picture = slot == '#' ? 239 : slot == '*' ? 268 : 0;
    if (const ui::BitmapInfo* b = picture ? ui::findBitmap(picture) : nullptr)
        c.stretchBitmap(picture, {0, 0, clientWidth(), clientHeight()}, {0, 0, b->width, b->height + 10});
    c.setTransparent(true);
    c.setFont("", 0);
    // The click text is kept for the record, never drawn: pixel coordinates
    // mean nothing to a user.
    c.setTextColor({255, 128, 64});
    c.text(21, 396, "Auto processing......");
    c.setTextColor(ui::kGreen);
    c.text(21, 416, "Initialize complete!");
    c.text(21, 436, "Korvane for SMPS Design!");
    c.text(21, 456, "");

    c.setFont(services::displayFontFace(), services::displayFontSize());
    const FlybackDesign& d = design;
    const auto n7 = [](double v) { return numberText(v, 7); };
    const auto put = [&](int x, int y, ui::Color color, const std::string& s) {
        c.setTextColor(color);
        c.text(x, y, s);
    };
    put(12, 130, ui::kBlack, "AC:" + n7(d.VacMin) + "-" + n7(d.VacMax) + "V");
    put(12, 150, ui::kBlack, "频率:" + n7(d.fLine) + "Hz");
    put(12, 170, ui::kBlack, "效率:" + n7(d.Efficiency) + "%");
    put(292, 143, ui::kBlack, "纹波:" + n7(d.PerVinpp) + "%");
    put(292, 123, ui::kBlack, "最低整流电压:" + n7(d.VdcMin) + "V");
    // The switch's parameters stand above the PWM block, clear of it at any display size.
    put(kSwitchColumn, kSwitchLine, ui::kBlack, "开关频率:" + n7(d.fosc) + "KHz");
    put(379, 330, ui::kBlack, "开关管耐压:" + n7(d.VMos) + "V");
    put(538, 51, ui::kBlack, "漏感:" + n7(d.PerLLK) + "%");
    put(538, 71, ui::kBlack, "漏感尖峰:" + n7(d.Vz) + "V");
    put(521, 253, ui::kBlack, n7(d.Vf) + "V");
    put(603, 253, ui::kBlack, n7(d.Vdf) + "V");
    put(869, 47, ui::kBlack, n7(d.Vdo) + "V");
    put(1000, 80, ui::kBlack, n7(d.Vopp) + "mV");
    put(727, 268, ui::kBlack, d.Mode == 1 ? "DCM模式" : "CCM模式");
    put(727, 288, ui::kBlack, d.CoreName == kUserCore ? std::string("磁芯:未知型号") : d.CoreName);
    put(727, 308, ui::kBlack, "Ae:" + n7(d.Ae) + "mm2");
    put(727, 328, ui::kBlack, "Le:" + n7(d.Le) + "mm");
    put(727, 348, ui::kBlack, "峰值磁密:" + n7(d.Bpk) + "GS");
    put(727, 368, ui::kBlack, "饱和磁密:" + n7(d.Bsat) + "GS");
    put(727, 388, ui::kBlack, "纹波率:" + n7(d.r));
    put(727, 408, ui::kBlack, "电流密度:" + n7(d.Cmil) + "cmil/A");
    put(kSwitchColumn, kSwitchLine + 20, ui::kViolet, "Dmax:" + numberText(d.Dmax, 3));
    put(kSwitchColumn, kSwitchLine + 40, ui::kViolet, "Tdie:" + numberText(d.Tdie, 3) + "%");
    put(379, 350, ui::kViolet, "耐压裕量:" + n7(d.Vswy) + "V");
    put(538, 211, ui::kViolet, "折射电压:" + n7(d.Vor) + "V");
    put(350, 61, ui::kMagenta, numberText(d.Rlk, 5) + "KΩ");
    put(350, 81, ui::kMagenta, numberText(d.Clk, 5) + "nF");
    put(292, 163, ui::kMagenta, "电容:" + n7(d.Cin) + "μF");
    put(538, 91, ui::kMagenta, "电流峰值:" + n7(d.Ipkp) + "A");
    put(538, 111, ui::kMagenta, "电流有效值:" + n7(d.Irmsp) + "A");
    put(269, 26, ui::kMagenta, "输入电流平均值:" + numberText(d.Iin, 5) + "A");
    put(538, 131, ui::kMagenta, "初级电感量:" + n7(d.Lp) + "μH");
    put(538, 151, ui::kMagenta, "初级匝数:" + n7(d.Np) + "Ts");
    put(538, 171, ui::kMagenta, "初级线径φ:" + n7(d.dp) + "mm");
    put(750, 71, ui::kMagenta, "电流峰值:" + n7(d.Ipks) + "A");
    put(750, 91, ui::kMagenta, "电流有效值:" + n7(d.Irmss) + "A");
    put(750, 111, ui::kMagenta, "次级电感量:" + n7(d.Ls) + "μH");
    put(750, 131, ui::kMagenta, "次级匝数:" + n7(d.Ns) + "Ts");
    put(750, 151, ui::kMagenta, "次级线径φ:" + n7(d.ds) + "mm");
    put(615, 350, ui::kMagenta, n7(d.Nf) + "Ts");
    put(615, 370, ui::kMagenta, "φ:Unknown");
    put(945, 131, ui::kMagenta, n7(d.VCout) + "V");
    put(945, 151, ui::kMagenta, "估计:" + numberText(d.Co, 6) + "μF");
    put(868, 22, ui::kMagenta, "耐压>:" + numberText(d.VDon, 4) + "V");
    put(955, 22, ui::kMagenta, "电流>:" + numberText(d.IDout, 4) + "A");
    put(1000, 55, ui::kMagenta, n7(d.Vo) + "V");
    put(1000, 68, ui::kMagenta, n7(d.Io) + "A");
    // A rating: never cut down to its whole amperes (the report's 4.90 A is not "4A").
    put(379, 370, ui::kMagenta, "电流推荐值:" + numberText(d.Isw, 3) + "A");
    put(538, 191, ui::kMagenta, "气隙:" + n7(d.Lgap) + "mm");
    // The transformer's losses beside the core, and why they are blank.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const auto figure = [&](double v) { return numberText(loss.shown() ? v : nan, services::kLossDigits); };
    put(kLossColumn, 268, ui::kBlack, "环境温度:" + n7(d.Ta) + "℃");
    put(kLossColumn, 288, ui::kMagenta, "磁芯损耗:" + figure(loss.loss.coreLoss) + "W");
    put(kLossColumn, 308, ui::kMagenta, "铜损:" + figure(loss.loss.copperLoss) + "W");
    put(kLossColumn, 328, ui::kMagenta, "总损耗:" + figure(loss.loss.total) + "W");
    put(kLossColumn, 348, ui::kMagenta, "温升:" + figure(loss.loss.rise) + "K");
    int noteY = 368;
    for (const std::string& line : services::wrapped(services::lossNote(loss, d.Core ? &*d.Core : nullptr, kPickCaption),
                                                     kNoteLine)) {
        put(kLossColumn, noteY, ui::kViolet, line);
        noteY += 18;
    }
    // The parameter that does not belong to the mode is struck through.
    if (d.Mode == 1) {
        put(727, 388, ui::kGrey, "纹波率:" + n7(d.r));
        put(727, 388, ui::kBlack, kStrike);
    } else {
        put(kSwitchColumn, kSwitchLine + 40, ui::kGrey, "Tdie:" + numberText(d.Tdie, 3) + "%");
        put(kSwitchColumn, kSwitchLine + 40, ui::kBlack, kStrike);
    }

    c.setFont("黑体", 160);
    c.setTextColor(ui::kRed);
    for (const Region& r : kRegions)
        if (r.label) c.text(r.x1, r.y1, r.label);
}

ReportData reportData(const FlybackDesign& d, const magnetics::WindowLoss& loss) {
    ReportData r;
    r.Ta = d.Ta;
    r.CoreMaterial = d.Core ? d.Core->material : std::string();
    r.LossShown = loss.shown();
    if (r.LossShown) {
        r.Pcore = float(loss.loss.coreLoss), r.Pcu = float(loss.loss.copperLoss);
        r.Ploss = float(loss.loss.total), r.dT = float(loss.loss.rise);
    }
    r.LossNote = services::lossNote(loss, d.Core ? &*d.Core : nullptr, kPickCaption);
    r.VacMin = d.VacMin, r.VacMax = d.VacMax, r.fLine = d.fLine, r.Efficiency = d.Efficiency;
    r.Vo = d.Vo, r.Io = d.Io, r.Vopp = d.Vopp, r.PerVinpp = d.PerVinpp;
    r.fosc = d.fosc, r.Dmax = d.Dmax, r.r = d.r, r.Tdie = d.Tdie, r.Mode = d.Mode;
    r.CoreName = d.CoreName;
    r.Ae = d.Ae, r.Le = d.Le, r.Bpk = d.Bpk, r.Bsat = d.Bsat, r.Cmil = d.Cmil;
    r.Vor = d.Vor, r.PerLLK = d.PerLLK, r.Vz = d.Vz, r.Vdo = d.Vdo, r.Vf = d.Vf, r.Vdf = d.Vdf;
    r.VMos = d.VMos;
    r.Ipkp = d.Ipkp, r.Irmsp = d.Irmsp, r.Lp = d.Lp, r.Np = d.Np, r.dp = d.dp;
    r.Ipks = d.Ipks, r.Irmss = d.Irmss, r.Ls = d.Ls, r.Ns = d.Ns, r.ds = d.ds;
    r.Lgap = d.Lgap, r.Rlk = d.Rlk, r.Clk = d.Clk, r.Cin = d.Cin, r.Iin = d.Iin;
    r.Vswy = d.Vswy, r.Isw = d.Isw, r.VDon = d.VDon, r.IDout = d.IDout, r.VCout = d.VCout;
    r.Co = d.Co, r.Nf = d.Nf;
    return r;
}

void GraphicFlybackDialog::save() {
    // A design with values the conditions do not give is said first, item by item.
    ReportData data = reportData(design, loss);
    if (const std::vector<std::string> invalid = invalidItems(data); !invalid.empty()) {
        std::string list = kInvalidDesign;
        for (const std::string& key : invalid) list += "\n    " + key + "  " + reportDescription(key);
        if (messageBox(list + "\n" + std::string(kSaveAnyway), ui::kAppName, ui::Icon::Warning, ui::Buttons::YesNo) !=
            ui::IdYes)
            return;
    }
    ui::FileDialogRequest req;
    req.save = true;
    req.title = "设计数据另存为:";
    req.defaultName = "Korvane Report-1";
    req.defaultExt = "xls";
    req.filter = ".xls (EXCEL文档) (*.xls)";
    const std::optional<std::string> path = ui::backend().fileDialog(this, req);
    if (!path) return;
    std::string error;
    data.designFile = std::filesystem::path(designFile()).filename().string();
    // A report that cannot be written says so; an existing one stays intact.
    if (!graphic::writeDesignReport(*path, data, error))
        messageBox(error, ui::kAppName, ui::Icon::Error);
    io::restoreWorkFolder();
}

// ---------------------------------------------------------------- design file

namespace {
// The shortest text that reads back to the same single-precision number.
std::string floatText(float v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

bool parseFloat(std::string_view text, float& v) {
    double d = 0;
    if (!ui::parseNumber(text, d)) return false;
    while (!text.empty() && (text.front() == ' ' || text.front() == '+')) text.remove_prefix(1);
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    return r.ec == std::errc() && std::isfinite(v);
}

Derive deriveAfter(int dialog) {
    for (const Region& r : kRegions)
        if (r.dialog == dialog) return r.after;
    return Derive::FromDuty; // as the window opens
}

// The record's two choices, by the entries of their lists.
struct Choice {
    const char* key;
    int FlybackDesign::*value;
    const char* const* entries;
};
constexpr Choice kChoices[] = {{"Mode", &FlybackDesign::Mode, kModeEntries}, {"CinMode", &FlybackDesign::CinMode, kCinWays}};
constexpr const char* kCoreKey = "CoreName";
// The picked core with its material, and the ambient of the losses: files
// written before the losses carry neither (typed core, the default ambient).
constexpr const char* kLossCoreKey = "LossCore";
constexpr const char* kAmbientKey = "Ta";

int entryOf(const Choice& c, const std::string& text) {
    for (int i = 0; i < 2; ++i)
        if (text == c.entries[i]) return i;
    return -1;
}
} // namespace

std::vector<ui::SysMenuItem> GraphicFlybackDialog::windowMenu() const {
    std::vector<ui::SysMenuItem> menu = Dialog::windowMenu();
    const std::vector<ui::SysMenuItem> own = form::designMenu();
    menu.insert(menu.end(), own.begin(), own.end());
    return menu;
}

void GraphicFlybackDialog::onSysCommand(int id) { form::designCommand(*this, id); }

std::variant<form::Design, std::string> GraphicFlybackDialog::currentDesign() {
    form::Design d;
    d.templateId = templateId();
    d.window = dialogTemplate().caption;
    if (lastDialog) d.buttons.push_back(std::to_string(lastDialog));
    for (const Choice& c : kChoices) d.inputs.push_back({c.key, c.entries[design.*c.value == 1 ? 1 : 0]});
    d.inputs.push_back({kCoreKey, design.CoreName});
    d.inputs.push_back({kLossCoreKey, design.Core ? magnetics::tableCoreText(*design.Core) : std::string()});
    if (!std::isfinite(design.Ta)) return std::string("环境温度不是有效的数值，设计没有保存。");
    d.inputs.push_back({kAmbientKey, floatText(design.Ta)});
    for (const DesignInput& in : designInputs()) {
        const float v = design.*in.value;
        if (!std::isfinite(v)) return "“" + reportDescription(in.key) + "”（" + in.key + "）不是有效的数值，设计没有保存。";
        d.inputs.push_back({in.key, floatText(v)});
    }
    for (const auto& [key, v] : reportResults(reportData(design, loss))) d.results.push_back({key, numberText(v, 7)});
    return d;
}

std::optional<std::string> GraphicFlybackDialog::misfit(const form::Design& d) {
    if (d.templateId != templateId()) return form::notThisWindow(d, dialogTemplate().caption);
    for (const std::string& b : d.buttons) {
        int dialog = 0;
        const bool part = ui::parseInteger(b, dialog) &&
                          std::any_of(std::begin(kRegions), std::end(kRegions), [&](const Region& r) { return r.dialog == dialog; });
        if (!part) return form::notAButton(d, b);
    }
    const auto inputs = designInputs();
    for (const form::DesignLine& l : d.inputs) {
        const auto choice = std::find_if(std::begin(kChoices), std::end(kChoices), [&](const Choice& c) { return l.name == c.key; });
        const auto number = std::find_if(inputs.begin(), inputs.end(), [&](const DesignInput& in) { return l.name == in.key; });
        float v = 0;
        if (choice != std::end(kChoices)) {
            if (entryOf(*choice, l.value) < 0) return form::notAnEntry(l, {choice->entries[0], choice->entries[1]});
        } else if (number != inputs.end()) {
            if (l.value.empty()) return form::missingInput(reportDescription(l.name), l.name, l.line);
            if (!parseFloat(l.value, v)) return form::notANumber(l);
        } else if (l.name == kLossCoreKey) {
            if (!l.value.empty() && !magnetics::readTableCore(l.value)) return form::atLine(l.line) + services::coreLineMisfit(l.name, l.value);
        } else if (l.name == kAmbientKey) {
            if (!parseFloat(l.value, v)) return form::notANumber(l);
        } else if (l.name != kCoreKey) {
            return form::unknownInput(l);
        }
    }
    for (const Choice& c : kChoices)
        if (!d.input(c.key)) return form::missingInput(c.key, c.key);
    for (const DesignInput& in : inputs)
        if (!d.input(in.key)) return form::missingInput(reportDescription(in.key), in.key);
    return std::nullopt;
}

void GraphicFlybackDialog::restore(const form::Design& d) {
    for (const Choice& c : kChoices) design.*c.value = entryOf(c, d.input(c.key)->value);
    const form::DesignLine* core = d.input(kCoreKey);
    design.CoreName = core && !core->value.empty() ? core->value : kUserCore;
    const form::DesignLine* picked = d.input(kLossCoreKey);
    design.Core = picked ? magnetics::readTableCore(picked->value) : std::nullopt;
    design.Ta = float(magnetics::kDefaultAmbient);
    if (const form::DesignLine* ta = d.input(kAmbientKey)) parseFloat(ta->value, design.Ta);
    for (const DesignInput& in : designInputs()) parseFloat(d.input(in.key)->value, design.*in.value);
    lastDialog = 0;
    for (const std::string& b : d.buttons) ui::parseInteger(b, lastDialog);
    recalculate(deriveAfter(lastDialog));
    invalidate();
}

} // namespace kv::graphic

#include "services/Windows.h"

namespace kv::graphic {
void registerWindows() { services::registerWindow<GraphicFlybackDialog>(tpl::kGraphicFlyback); }
} // namespace kv::graphic
