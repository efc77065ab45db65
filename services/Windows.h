// Windows by template, for windows that open others they do not know: the
// launcher opens the designers, a designer opens the core database. The
// program's composition registers every factory at start-up.
#pragma once

#include "platform/ui/Dialog.h"

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace kv::services {

using WindowFactory = std::unique_ptr<ui::Dialog> (*)(int templateId, ui::Dialog* parent);
// A window that runs itself modally over its parent (the property sheets).
using SheetRunner = void (*)(ui::Dialog* parent);

// The factory of a window class that takes only its parent.
template <class W>
std::unique_ptr<ui::Dialog> make(int /*templateId*/, ui::Dialog* parent) {
    return std::make_unique<W>(parent);
}

// A page of a property sheet: its template and how it is built.
struct SheetPage {
    int templateId;
    WindowFactory make;
};

void registerWindow(int templateId, WindowFactory f);
template <class W>
void registerWindow(int templateId) {
    registerWindow(templateId, &make<W>);
}
// The sheet the launcher's button `buttonId` runs, and the pages it holds.
void registerSheet(int buttonId, SheetRunner r, std::span<const SheetPage> pages = {});

// The window of template `templateId`, or nullptr when this build has none.
std::unique_ptr<ui::Dialog> createWindow(int templateId, ui::Dialog* parent);
bool hasWindow(int templateId);
SheetRunner sheetRunner(int buttonId);
// The button of the sheet that holds page `templateId`, or 0.
int sheetOf(int templateId);
// Runs the sheet that holds page `templateId` over `parent`, that page shown
// first; `then` runs on the page once it is open (it may end the sheet).
// False when no sheet holds the page.
bool runSheetAt(int templateId, ui::Dialog& parent, std::function<void(ui::Dialog& page)> then);
// Runs the window of `templateId` modally over `owner`; false when there is none.
bool runModalWindow(int templateId, ui::Dialog& owner, int* result = nullptr);

// What a window says of a designer this build does not have.
inline constexpr const char* kNotInBuild = "该设计模块尚未包含在本版本中。";
// Opens the window of `templateId` modeless over `parent`, or says that this
// build has none; false then.
bool openModelessWindow(int templateId, ui::Dialog& parent);

// Registers the service windows: calculating box, progress pause, tips.
void registerWindows();

// Registers each page by its template (each can also stand alone).
void registerPages(std::span<const SheetPage> pages);

// A modal property sheet of pages in tab order, closed with the close box.
class PageSheet : public ui::PropertySheet {
public:
    PageSheet(std::string caption, ui::Dialog* parent, std::span<const SheetPage> pages);
    // Templates of the pages in tab order.
    std::vector<int> pageTemplates() const;
    // A sheet run by runSheetAt opens on its page.
    void onInitDialog() override;

private:
    std::vector<std::unique_ptr<ui::Dialog>> pages_;
};

// Builds sheet S over `parent` and runs it modally: the runner of a sheet.
template <class S>
void runSheet(ui::Dialog* parent) {
    S sheet(parent);
    sheet.run();
}

} // namespace kv::services
