#include "app/App.h"

#include "designers/Designers.h"
#include "graphic_flyback/GraphicFlybackDialog.h"
#include "ic_designers/IcDesigners.h"
#include "loop/LoopSheet.h"
#include "services/Windows.h"
#include "shell/Launcher.h"
#include "toolbox/ToolPages.h"
#include "toolbox/ToolSheet.h"

namespace kv::app {

void registerAll() {
    services::registerWindows();
    shell::registerWindows();
    designers::registerWindows();
    graphic::registerWindows();
    toolbox::registerWindows();
    loop::registerWindows();
    ic::registerWindows();
    services::registerSheet(shell::LauncherDialog::kKit, &services::runSheet<toolbox::CTool>, toolbox::toolPages());
    services::registerSheet(shell::LauncherDialog::kLoop, &services::runSheet<loop::CLoop>, loop::loopPages());
}

std::unique_ptr<ui::Dialog> createDialog(int templateId, ui::Dialog* parent) {
    return services::createWindow(templateId, parent);
}

} // namespace kv::app
