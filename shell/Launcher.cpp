#include "shell/Launcher.h"

#include "form/DesignKeeper.h"
#include "platform/ui/Backend.h"
#include "platform/ui/Canvas.h"
#include "platform/io/Files.h"
#include "shell/Popups.h"
#include "script/DesignerFiles.h"
#include "services/Settings.h"
#include "services/Windows.h"

#include <chrono>
#include <filesystem>

namespace kv::shell {

// ---------------------------------------------------------------- launcher

using L = LauncherDialog;
const ui::MessageEntry<L> L::kMessageMap[] = {
    {L::kFlyback, ui::Notify::Clicked, &L::onFlyback},
    {L::kLoop, ui::Notify::Clicked, &L::onLoopSheet},
    {L::kKit, ui::Notify::Clicked, &L::onToolSheet},
    {L::kHelpCommand, ui::Notify::Clicked, &L::onHelpCommand},
};

namespace {
// The buttons that open a designer, and the designer of each.
struct DesignerButton {
    int button, templateId;
};
constexpr DesignerButton kDesignerButtons[] = {
    {L::kDcDc, tpl::kDcdc},         {L::kForward, tpl::kForward}, {L::kHalfBridge, tpl::kHalfBridge},
    {L::kLlc, tpl::kLlc},           {L::kRcc, tpl::kRcc},         {L::kPushPull, tpl::kPushPull},
    {L::kFullBridge, tpl::kFullBridge},
};
// The designer of each mode of the flyback chooser (1 to 4).
constexpr int kFlybackModes[] = {tpl::kFlyback, tpl::kGraphicFlyback, tpl::kOb2269, tpl::kQr};
} // namespace

LauncherDialog::LauncherDialog() : Dialog(tpl::kLauncher, nullptr) {
    if (const ui::BitmapInfo* b = ui::findBitmap(213)) {
        bitmapWidth_ = b->width;
        bitmapHeight_ = b->height;
    }
}

bool LauncherDialog::onCommand(int id, ui::Notify code) {
    if (code == ui::Notify::Clicked)
        for (const DesignerButton& b : kDesignerButtons)
            if (b.button == id) {
                openDesigner(b.templateId);
                return true;
            }
    return ui::dispatchMap(this, kMessageMap, id, code);
}

void LauncherDialog::onInitDialog() {
    firstExchange();
    if (startFailed) return;
    const std::string about = ui::loadString(101);
    if (!about.empty()) {
        sysMenu().push_back({0, {}, {}});
        sysMenu().push_back({kAboutCommand, about, {}});
    }
}

void LauncherDialog::firstExchange() {
    if (firstExchangeDone_) return;
    for (std::string_view name : script::allScriptFiles()) {
        const std::string f(name);
        if (io::FileError e = script::ensureScriptFile(f)) {
            // Without its files the program cannot work: say where, and stop.
            std::error_code ec;
            std::string dir = std::filesystem::current_path(ec).string();
            if (ec) dir = std::filesystem::read_symlink("/proc/self/cwd", ec).string();
            messageBox("无法在文件夹 \"" + dir + "\" 中创建文件 \"" + f + "\"：" + e.reason +
                           "\n请从可写的文件夹启动 Korvane。",
                       ui::kAppName, ui::Icon::Error);
            startFailed = true;
            firstExchangeDone_ = true;
            endDialog(ui::IdCancel);
            return;
        }
    }
    if (io::FileError e = io::ensureFile(services::kSystemCfg, services::kNewSettings)) {
        messageBox(io::fileErrorText(e), ui::kAppName, ui::Icon::Error);
        startFailed = true;
        firstExchangeDone_ = true;
        endDialog(ui::IdCancel);
        return;
    }
    LoadingSplash splash(this);
    const auto t0 = std::chrono::steady_clock::now();
    runModal(splash);
    splashMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    firstExchangeDone_ = true;
    if (services::readSlot(services::kWelcomeSlot) == '1') {
        WelcomeDialog welcome(this);
        runModal(welcome);
    }
    frameColor = {255, 128, 0};
}

void LauncherDialog::onPaint(ui::Canvas& c) {
    const int w = clientWidth(), h = clientHeight();
    if (minimized()) {
        c.icon(128, (w - 32 + 1) / 2, (h - 32 + 1) / 2);
        return;
    }
    c.stretchBitmap(213, {-5, 0, -5 + w + 10, h + 10}, {0, 0, bitmapWidth_ + 4, bitmapHeight_ + 9});
    c.setTransparent(true);
    c.setTextColor(ui::kBlue);
    c.setFont("楷体", 100);
    c.text(18, 122, "(A)关于软件");
    c.text(18, 141, "(H)浏览帮助");
    c.setFont("华文行楷", 130);
    c.setTextColor(ui::kRed);
    c.text(22, 7, "Topology");
    c.setPen(frameColor, 2);
    c.line(12, 15, 12, 115);
    c.line(12, 115, 424, 115);
    c.line(424, 115, 424, 15);
    c.line(424, 15, 95, 15);
    c.line(12, 15, 21, 15);
    c.setPen(ui::kBlue, 1);
    c.line(18, 135, 90, 135);
    c.line(18, 154, 90, 154);
}

void LauncherDialog::onLButtonUp(int x, int y) {
    if (x > 10 && x < 106 && y > 121 && y < 135) about();
    else if (x > 10 && x < 106 && y > 141 && y < 157) openHelp();
}

bool LauncherDialog::onAltKey(char letter) {
    if (letter == 'A') about();
    else if (letter == 'H') openHelp();
    else return false;
    return true;
}

void LauncherDialog::openHelp() {
    // A missing help file is not reported; one that nothing can show is.
    std::error_code ec;
    if (!ui::backend().shellOpen(kHelpPage) && std::filesystem::exists(kHelpPage, ec))
        messageBox(std::string(kNoHelpViewer) + "\n" + kHelpPage, ui::kAppName, ui::Icon::Warning);
}

std::vector<ui::SysMenuItem> LauncherDialog::windowMenu() const {
    std::vector<ui::SysMenuItem> menu = Dialog::windowMenu();
    menu.push_back({0, {}, {}});
    menu.push_back({form::kOpenDesignCommand, form::kOpenDesignEntry, "Ctrl+O"});
    const std::vector<std::string> recent = form::recentDesigns();
    for (std::size_t k = 0; k < recent.size(); ++k) {
        const std::filesystem::path p(recent[k]);
        menu.push_back({kRecentCommand + 16 * int(k),
                        "&" + std::to_string(k + 1) + "  " + p.filename().string() + "    " + p.parent_path().string(), {}});
    }
    return menu;
}

void LauncherDialog::onSysCommand(int id) {
    const int command = id & 0xFFF0;
    if (command == kAboutCommand) {
        about();
    } else if (command == form::kOpenDesignCommand) {
        form::openDesignWindow(*this);
    } else if (command >= kRecentCommand) {
        const std::vector<std::string> recent = form::recentDesigns();
        const std::size_t k = std::size_t(command - kRecentCommand) / 16;
        if (k < recent.size()) form::openDesignWindow(*this, recent[k]);
    }
}

void LauncherDialog::about() {
    AboutDialog box(this);
    runModal(box);
}

void LauncherDialog::openDesigner(int templateId) { services::openModelessWindow(templateId, *this); }

void LauncherDialog::runSheet(int button) {
    if (services::SheetRunner r = services::sheetRunner(button)) {
        r(this);
        return;
    }
    messageBox(kNotInBuild, ui::kAppName, ui::Icon::Information);
}

void LauncherDialog::onFlyback() {
    FlybackModeDialog chooser(flybackMode, this);
    runModal(chooser);
    // A cancelled chooser opens nothing.
    if (flybackMode >= 1 && flybackMode <= int(std::size(kFlybackModes))) openDesigner(kFlybackModes[flybackMode - 1]);
}

// ---------------------------------------------------------------- mode chooser

void FlybackModeDialog::onInitDialog() { setCheck(1357, true); }

void FlybackModeDialog::onOk() {
    const int radios[4] = {1355, 1356, 1357, 1358};
    for (int i = 0; i < 4; ++i)
        if (checked(radios[i])) mode_ = i + 1;
    endDialog(ui::IdOk);
}

void FlybackModeDialog::onCancel() {
    mode_ = -1;
    endDialog(ui::IdCancel);
}

} // namespace kv::shell
