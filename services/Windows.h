// Windows by template, for windows that open others they do not know: the
// launcher opens the designers, a designer opens the core database. The
// program's composition registers every factory at start-up.
#pragma once

#include "platform/ui/Dialog.h"

#include <memory>

namespace kv::services {

using WindowFactory = std::unique_ptr<ui::Dialog> (*)(int templateId, ui::Dialog* parent);
// A window that runs itself modally over its parent (the property sheets).
using SheetRunner = void (*)(ui::Dialog* parent);

void registerWindow(int templateId, WindowFactory f);
// The same factory for a window class that takes only its parent.
template <class W>
void registerWindow(int templateId) {
    registerWindow(templateId, [](int, ui::Dialog* parent) -> std::unique_ptr<ui::Dialog> {
        return std::make_unique<W>(parent);
    });
}
void registerSheet(int buttonId, SheetRunner r);

// The window of template `templateId`, or nullptr when this build has none.
std::unique_ptr<ui::Dialog> createWindow(int templateId, ui::Dialog* parent);
bool hasWindow(int templateId);
SheetRunner sheetRunner(int buttonId);
// Runs the window of `templateId` modally over `owner`; false when there is none.
bool runModalWindow(int templateId, ui::Dialog& owner, int* result = nullptr);

// What a window says of a designer this build does not have.
inline constexpr const char* kNotInBuild = "该设计模块尚未包含在本版本中。";
// Opens the window of `templateId` modeless over `parent`, or says that this
// build has none; false then.
bool openModelessWindow(int templateId, ui::Dialog& parent);

// Registers the service windows: calculating box, progress pause, tips.
void registerWindows();

} // namespace kv::services
