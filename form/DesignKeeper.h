// Windows that keep their design as a file (form/DesignFile.h): "保存设计…"
// and "打开设计…" in the window menu (Ctrl+S, Ctrl+O) through the file dialog,
// starting in the user's data folder; the file written beside the old one and
// renamed over it; a design opened only when the whole of it fits the window,
// which then recomputes it. Opened and saved files join the launcher's list of
// recent designs.
#pragma once

#include "form/DesignFile.h"
#include "platform/ui/Dialog.h"

#include <optional>
#include <string_view>
#include <string>
#include <variant>
#include <vector>

namespace kv::form {

// Window-menu commands (multiples of 16, like the system menu's own).
inline constexpr int kSaveDesignCommand = 0x20, kOpenDesignCommand = 0x30;
inline constexpr const char* kSaveDesignEntry = "保存设计…";
inline constexpr const char* kOpenDesignEntry = "打开设计…";

class DesignKeeper {
public:
    virtual ~DesignKeeper() = default;

    // Whether this window keeps designs at all.
    virtual bool keepsDesigns() const { return true; }
    virtual ui::Dialog& designWindow() = 0;
    // The design as the window shows it, or why it cannot be kept.
    virtual std::variant<Design, std::string> currentDesign() = 0;
    // Why `d` cannot be opened in this window, or nothing. Changes nothing.
    virtual std::optional<std::string> misfit(const Design& d) = 0;
    // Puts a design that fits into the window, which recomputes it.
    virtual void restore(const Design& d) = 0;

    // The file the design was last saved to or opened from; empty for none.
    const std::string& designFile() const { return file_; }
    void setDesignFile(std::string path);

protected:
    virtual void designFileChanged() {}

private:
    std::string file_;
};

// What a window says of a design it cannot take, the same in every window.
std::string notThisWindow(const Design& d, std::string_view window);
std::string notAButton(const Design& d, const std::string& token);
std::string unknownInput(const DesignLine& l);
std::string notANumber(const DesignLine& l);
std::string notAnEntry(const DesignLine& l, const std::vector<std::string>& entries);
// An input the design must give: its label, its name, the line that left it blank (0: no line).
std::string missingInput(std::string_view label, std::string_view name, int line = 0);

// The window-menu entries of a window that keeps designs.
std::vector<ui::SysMenuItem> designMenu();
// Runs window-menu command `id` when it is a design command; false otherwise.
bool designCommand(DesignKeeper& k, int id);

// Saves to `path`; says why not in a message box and returns false when it cannot.
bool saveDesign(DesignKeeper& k, const std::string& path);
// Opens `path` in the window; says why not and changes nothing when it does not fit.
bool openDesign(DesignKeeper& k, const std::string& path);
// A design file read whole.
DesignRead readDesignFile(const std::string& path);

// The launcher's "打开设计…": a design file opened in a new window of its own
// (or in its page of the toolbox or loop sheet), chosen in the file dialog.
void openDesignWindow(ui::Dialog& parent);
// The same for the file at `path`; false when it was refused.
bool openDesignWindow(ui::Dialog& parent, const std::string& path);

// The designs saved and opened last, newest first (absolute paths), kept in
// this file of the current folder.
inline constexpr const char* kRecentDesigns = "Recent Designs.txt";
inline constexpr std::size_t kRecentCount = 8;
std::vector<std::string> recentDesigns();
void rememberDesign(const std::string& path);

} // namespace kv::form
