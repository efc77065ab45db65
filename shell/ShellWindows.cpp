#include "services/Templates.h"
#include "services/Windows.h"
#include "shell/FontDialog.h"
#include "shell/Launcher.h"
#include "shell/Popups.h"

namespace kv::shell {

void registerWindows() {
    services::registerWindow(tpl::kLauncher, [](int, ui::Dialog*) -> std::unique_ptr<ui::Dialog> {
        return std::make_unique<LauncherDialog>();
    });
    services::registerWindow<AboutDialog>(tpl::kAbout);
    services::registerWindow<LoadingSplash>(tpl::kSplash);
    services::registerWindow<WelcomeDialog>(tpl::kWelcome);
    services::registerWindow<FlybackModeDialog>(tpl::kFlybackMode);
    services::registerWindow<FontDialog>(tpl::kFont);
}

} // namespace kv::shell
