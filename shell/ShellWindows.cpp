#include "services/Windows.h"
#include "shell/FontDialog.h"
#include "shell/Launcher.h"
#include "shell/Popups.h"

namespace kv::shell {

void registerWindows() {
    services::registerWindow(102, [](int, ui::Dialog*) -> std::unique_ptr<ui::Dialog> {
        return std::make_unique<LauncherDialog>();
    });
    services::registerWindow<AboutDialog>(100);
    services::registerWindow<LoadingSplash>(216);
    services::registerWindow<WelcomeDialog>(218);
    services::registerWindow<FlybackModeDialog>(253);
    services::registerWindow<FontDialog>(265);
}

} // namespace kv::shell
