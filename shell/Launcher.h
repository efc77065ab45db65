// The launcher window and the flyback mode chooser.
#pragma once

#include "platform/ui/Dialog.h"
#include "services/Templates.h"
#include "services/Windows.h"

#include <memory>
#include <string>

namespace kv::shell {

class LauncherDialog : public ui::Dialog {
public:
    enum : int {
        kDcDc = 1016, kFlyback = 1015, kForward = 1006, kHalfBridge = 1008, kLlc = 1187,
        kRcc = 1017, kPushPull = 1002, kFullBridge = 1014, kLoop = 57671, kKit = 1186,
        kHelpCommand = 57670, kAboutCommand = 16,
        kRecentCommand = 0x100, // the first recent design; the others follow in steps of 16
    };
    LauncherDialog();
    void onInitDialog() override;
    bool onCommand(int id, ui::Notify code) override;
    void onPaint(ui::Canvas& c) override;
    void onLButtonUp(int x, int y) override;
    void onSysCommand(int id) override;
    // Alt+A and Alt+H: the painted links "(A)关于软件" and "(H)浏览帮助".
    bool onAltKey(char letter) override;
    // The about entry, "打开设计…" and the recent designs, newest first.
    std::vector<ui::SysMenuItem> windowMenu() const override;

    int flybackMode = 0;
    ui::Color frameColor{};
    // Start-up could not create its files: the launcher closed at once.
    bool startFailed = false;
    // Wall time the loading splash took, for the start-up measurement.
    double splashMs = 0;

private:
    static const ui::MessageEntry<LauncherDialog> kMessageMap[];
    void firstExchange();
    void openDesigner(int templateId);
    void onFlyback();
    void onLoopSheet() { runSheet(kLoop); }
    void onToolSheet() { runSheet(kKit); }
    void onHelpCommand() {}
    void runSheet(int button);
    void about();
    void openHelp();

    bool firstExchangeDone_ = false;
    int bitmapWidth_ = 0, bitmapHeight_ = 0;
};

class FlybackModeDialog : public ui::Dialog {
public:
    FlybackModeDialog(int& mode, Dialog* parent) : Dialog(tpl::kFlybackMode, parent), mode_(mode) {}
    explicit FlybackModeDialog(Dialog* parent) : Dialog(tpl::kFlybackMode, parent), mode_(ownMode_) {}
    void onInitDialog() override;
    void onOk() override;
    void onCancel() override;
    int mode() const { return mode_; }

private:
    int ownMode_ = 0;
    int& mode_;
};

// Registers the windows of the start-up and the launcher.
void registerWindows();

inline constexpr const char* kNotInBuild = services::kNotInBuild;
inline constexpr const char* kHelpPage = "Korvane帮助.html";
// Said when the help file is there but no program is registered to show it.
inline constexpr const char* kNoHelpViewer = "没有可以打开帮助文件的程序:";

} // namespace kv::shell
