#include "services/Windows.h"

#include "services/Progress.h"
#include "services/Templates.h"

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
// Page template -> the button of its sheet.
std::map<int, int>& pageSheets() {
    static std::map<int, int> m;
    return m;
}
// What runSheetAt asks of the next sheet that opens.
struct PageRequest {
    int templateId = 0;
    std::function<void(ui::Dialog&)> then;
};
PageRequest& pending() {
    static PageRequest r;
    return r;
}
} // namespace

void registerWindow(int templateId, WindowFactory f) {
    if (f) windows()[templateId] = f;
    else windows().erase(templateId);
}
void registerSheet(int buttonId, SheetRunner r, std::span<const SheetPage> pages) {
    sheets()[buttonId] = r;
    for (const SheetPage& p : pages) pageSheets()[p.templateId] = buttonId;
}

int sheetOf(int templateId) {
    auto it = pageSheets().find(templateId);
    return it == pageSheets().end() ? 0 : it->second;
}

bool runSheetAt(int templateId, ui::Dialog& parent, std::function<void(ui::Dialog& page)> then) {
    const SheetRunner r = sheetRunner(sheetOf(templateId));
    if (!r) return false;
    pending() = {templateId, std::move(then)};
    r(&parent);
    pending() = {};
    return true;
}

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

void registerPages(std::span<const SheetPage> pages) {
    for (const SheetPage& p : pages) registerWindow(p.templateId, p.make);
}

PageSheet::PageSheet(std::string caption, ui::Dialog* parent, std::span<const SheetPage> pages)
    : PropertySheet(std::move(caption), parent) {
    hideApply = true;
    hideHelp = true;
    hideButtons = true;
    for (const SheetPage& p : pages) {
        pages_.push_back(p.make(p.templateId, this));
        addPage(*pages_.back());
    }
}

void PageSheet::onInitDialog() {
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        if (pages_[i]->templateId() != pending().templateId) continue;
        const auto then = std::move(pending().then);
        pending() = {};
        setActivePage(int(i));
        if (then) then(*pages_[i]);
        return;
    }
}

std::vector<int> PageSheet::pageTemplates() const {
    std::vector<int> ids;
    for (const auto& p : pages_) ids.push_back(p->templateId());
    return ids;
}

void registerWindows() {
    registerWindow<CalculatingPopup>(tpl::kCalculating);
    registerWindow<ProgressPause>(tpl::kProgressPause);
    for (int tip : {tpl::kTypeTwoNote, tpl::kStabilityTip, tpl::kEsrTip, tpl::kTypeThreeTip})
        registerWindow(tip, [](int id, ui::Dialog* p) -> std::unique_ptr<ui::Dialog> {
            return std::make_unique<TipDialog>(id, p);
        });
}

} // namespace kv::services
