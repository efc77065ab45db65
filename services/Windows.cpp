#include "services/Windows.h"

#include "services/Progress.h"

#include <map>

namespace kv::services {
namespace {
std::map<int, WindowFactory>& windows() {
    static std::map<int, WindowFactory> m;
    return m;
}
std::map<int, SheetRunner>& sheets() {
    static std::map<int, SheetRunner> m;
    return m;
}
} // namespace

void registerWindow(int templateId, WindowFactory f) {
    if (f) windows()[templateId] = f;
    else windows().erase(templateId);
}
void registerSheet(int buttonId, SheetRunner r) { sheets()[buttonId] = r; }

std::unique_ptr<ui::Dialog> createWindow(int templateId, ui::Dialog* parent) {
    auto it = windows().find(templateId);
    return it == windows().end() ? nullptr : it->second(templateId, parent);
}

bool hasWindow(int templateId) { return windows().count(templateId) != 0; }

SheetRunner sheetRunner(int buttonId) {
    auto it = sheets().find(buttonId);
    return it == sheets().end() ? nullptr : it->second;
}

bool runModalWindow(int templateId, ui::Dialog& owner, int* result) {
    std::unique_ptr<ui::Dialog> w = createWindow(templateId, &owner);
    if (!w) return false;
    const int r = owner.runModal(*w);
    if (result) *result = r;
    return true;
}

bool openModelessWindow(int templateId, ui::Dialog& parent) {
    if (std::unique_ptr<ui::Dialog> w = createWindow(templateId, &parent)) {
        parent.openModeless(std::move(w));
        return true;
    }
    parent.messageBox(kNotInBuild, ui::kAppName, ui::Icon::Information);
    return false;
}

void registerWindows() {
    registerWindow<CalculatingPopup>(217);
    registerWindow<ProgressPause>(236);
    for (int tip : {200, 201, 202, 208})
        registerWindow(tip, [](int id, ui::Dialog* p) -> std::unique_ptr<ui::Dialog> {
            return std::make_unique<TipDialog>(id, p);
        });
}

} // namespace kv::services
