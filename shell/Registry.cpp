#include "designers/FlybackDesigner.h"
#include "graphic_flyback/GraphicFlybackDialog.h"
#include "shell/FontDialog.h"
#include "shell/Launcher.h"
#include "shell/Popups.h"
#include "toolbox/ToolPages.h"
#include "toolbox/ToolSheet.h"

namespace kv::shell {

// Designers join here as they are built.
void registerAll() {
    registerSheet(1186, &toolbox::runToolSheet);
    registerDesigner(129, [](ui::Dialog* parent) -> std::unique_ptr<ui::Dialog> {
        return std::make_unique<designers::FlybackDesigner>(parent);
    });
    registerDesigner(238, [](ui::Dialog* parent) -> std::unique_ptr<ui::Dialog> {
        return std::make_unique<graphic::GraphicFlybackDialog>(parent);
    });
}

std::unique_ptr<ui::Dialog> createDialog(int templateId, ui::Dialog* parent) {
    switch (templateId) {
    case 102: return std::make_unique<LauncherDialog>();
    case 100: return std::make_unique<AboutDialog>(parent);
    case 200:
    case 201:
    case 202:
    case 208: return std::make_unique<TipDialog>(templateId, parent);
    case 216: return std::make_unique<LoadingSplash>(parent);
    case 217: return std::make_unique<CalculatingPopup>(parent);
    case 218: return std::make_unique<WelcomeDialog>(parent);
    case 236: return std::make_unique<ProgressPause>(parent);
    case 253: return std::make_unique<FlybackModeDialog>(parent);
    case 265: return std::make_unique<FontDialog>(parent);
    default: break;
    }
    if (DesignerFactory f = designerFactory(templateId)) return f(parent);
    return toolbox::createPage(templateId, parent);
}

} // namespace kv::shell
