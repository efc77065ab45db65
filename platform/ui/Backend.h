// What a dialog needs from the windowing system. Two implementations: Qt
// Widgets (real windows) and headless (control model, virtual clock).
#pragma once

#include "platform/ui/Dialog.h"

#include <memory>
#include <optional>
#include <string>

namespace kv::ui {

// The window side of one open dialog.
class View {
public:
    virtual ~View() = default;
    virtual void controlChanged(int id) = 0;
    virtual void titleChanged() = 0;
    virtual void invalidate(const Rect* r) = 0;
    virtual int clientWidth() const = 0;
    virtual int clientHeight() const = 0;
    virtual bool minimized() const { return false; }
};

struct FileDialogRequest {
    bool save = true;
    std::string title;
    std::string defaultName;
    std::string defaultExt;   // without dot
    std::string filter;       // "Excel 文件 (*.xls)"
    std::string folder;       // where the dialog starts; empty: where it last was
};

class Backend {
public:
    virtual ~Backend() = default;
    virtual int runModal(Dialog& dlg, Dialog* owner) = 0;
    virtual Dialog& openModeless(std::unique_ptr<Dialog> dlg, Dialog* owner) = 0;
    virtual int runSheet(PropertySheet& sheet, Dialog* owner) = 0;
    virtual void endDialog(Dialog& dlg, int result) = 0;
    virtual void closeWindow(Dialog& dlg) = 0;
    virtual int messageBox(Dialog* owner, std::string_view text, std::string_view caption,
                           Icon icon, Buttons buttons) = 0;
    virtual void setTimer(Dialog& dlg, int id, int periodMs) = 0;
    virtual void killTimer(Dialog& dlg, int id) = 0;
    // Opens a file or folder with the desktop's default application.
    virtual bool shellOpen(const std::string& path) = 0;
    // Starts the program at `path` as a process of its own, without arguments
    // and without waiting for it; false when it cannot be started.
    virtual bool startDetached(const std::string& path) = 0;
    virtual std::optional<std::string> fileDialog(Dialog* owner, const FileDialogRequest& req) = 0;
    // A dialog object is about to be destroyed: forget its timers and window.
    virtual void forget(Dialog& dlg) = 0;
};

Backend& backend();
void setBackend(Backend* b);

} // namespace kv::ui
