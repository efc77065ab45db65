// The control model and the base class of every dialog, property page and sheet.
// Dialog logic reads and writes its controls by identifier and asks the backend
// (Qt or headless) for message boxes, timers, modal children and shell actions.
#pragma once

#include "platform/plot/Plot.h"
#include "platform/ui/Colors.h"
#include "platform/ui/Numbers.h"
#include "platform/ui/Template.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kv::ui {

class Canvas;
class View;

enum class Notify { Clicked, Changed, KillFocus, SelChange, DblClick, SetFocus };
enum class Icon { None, Error, Warning, Information, Question };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };

// Caption of the program's message boxes.
inline constexpr const char* kAppName = "Korvane";

// Dialog results and message-box answers.
enum : int { IdOk = 1, IdCancel = 2, IdYes = 6, IdNo = 7 };
// A message-box answer as a word ("ok", "cancel", "yes", "no"), and back
// (0 for a word that names none): the drivers' scripts and records.
const char* answerWord(int answer);
int answerOfWord(std::string_view word);

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

struct ControlState {
    ControlTemplate tpl;
    std::string text;
    bool enabled = true;
    bool visible = true;
    bool checked = false;
    std::vector<std::string> columns;              // list view headings
    std::vector<std::vector<std::string>> items;   // rows of column texts
    std::vector<Color> rowColors;                  // list view text colour per row (optional)
    std::vector<Color> rowBackgrounds;             // list view background per row (optional)
    std::vector<int> columnWidths;                 // list view column widths in pixels (optional)
    int selected = -1;
    int pos = 0, lo = 0, hi = 100;                 // progress bar
    std::optional<Color> textColor;                // text colour of its own
    bool greyed = false;                           // text shown grey: a value that no longer holds
    std::shared_ptr<plot::Plot> plot;              // plot controls
};

struct SysMenuItem {
    int id = 0;
    std::string text;     // empty: separator
    std::string shortcut; // the keys that choose it too ("Ctrl+S"), or empty
};

class Dialog {
public:
    explicit Dialog(int templateId, Dialog* parent = nullptr);
    Dialog(DialogTemplate tpl, Dialog* parent);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    int templateId() const { return tpl_.id; }
    const DialogTemplate& dialogTemplate() const { return tpl_; }
    Dialog* parent() const { return parent_; }

    // ---- control model -------------------------------------------------
    bool has(int id) const { return find(id) != nullptr; }
    ControlState* control(int id) { return find(id); }
    const ControlState* control(int id) const { return find(id); }
    std::vector<ControlState>& controls() { return controls_; }
    const std::vector<ControlState>& controls() const { return controls_; }

    std::string text(int id) const;
    void setText(int id, std::string_view text);
    bool checked(int id) const;
    void setCheck(int id, bool on);
    // A user's click on a check box (toggles) or an automatic radio button
    // (checks it and clears the others of its group).
    void clickRadio(int id);
    bool enabled(int id) const;
    void enable(int id, bool on = true);
    bool visible(int id) const;
    void show(int id, bool on = true);
    void setTextColor(int id, Color c);
    // Grey text over the control's own colour: what it shows is out of date.
    bool greyed(int id) const;
    void setGreyed(int id, bool on);
    // Text of the last static before control `id` in the template (the label
    // that names an edit), as it reads now; empty when there is none.
    std::string labelBefore(int id) const;

    // combo boxes and list views
    void clearItems(int id);
    int addItem(int id, std::string text);                    // sorted insert with StyleSort
    int addRow(int id, std::vector<std::string> columns);
    void setColumns(int id, std::vector<std::string> headings, std::vector<int> widths = {});
    void setRowColor(int id, int row, Color c);
    void setRowBackground(int id, int row, Color c);
    int itemCount(int id) const;
    std::string itemText(int id, int row, int column = 0) const;
    int selected(int id) const;
    void select(int id, int row);

    // plot controls: the model (null for other kinds); call plotChanged after
    // changing it so the window redraws
    plot::Plot* plot(int id);
    void plotChanged(int id);

    // progress bars
    void setRange(int id, int lo, int hi);
    void setPos(int id, int pos);
    int pos(int id) const;

    // Numeric exchange. A read of a text that is not a number fails: the
    // framework's number message is shown and false returned.
    bool readFloat(int id, float& v);
    bool readDouble(int id, double& v);
    bool readInt(int id, int& v);
    void writeFloat(int id, float v);   // kSingleDigits
    void writeDouble(int id, double v); // kDoubleDigits
    void writeInt(int id, int v);

    // ---- window ---------------------------------------------------------
    const std::string& title() const { return title_; }
    void setTitle(std::string title);
    void invalidate();
    void invalidate(const Rect& r);
    // Client size in pixels.
    int clientWidth() const;
    int clientHeight() const;
    bool minimized() const;

    std::vector<SysMenuItem>& sysMenu() { return sysMenu_; }
    // The entries the window menu shows now: by default the system menu.
    virtual std::vector<SysMenuItem> windowMenu() const { return sysMenu_; }
    // Keys pressed in the window ("Ctrl+S"): the window-menu entry they choose
    // runs; false when no entry has them.
    bool shortcut(std::string_view keys);

    // ---- host services --------------------------------------------------
    int messageBox(std::string_view text, std::string_view caption, Icon icon,
                   Buttons buttons = Buttons::Ok);
    void setTimer(int id, int periodMs);
    void killTimer(int id);
    int runModal(Dialog& child);
    // Creates a modeless window owned by this one; the host keeps the object
    // alive until its window is closed.
    Dialog& openModeless(std::unique_ptr<Dialog> child);
    void endDialog(int result);
    bool ended() const { return ended_; }
    int result() const { return result_; }
    void close(); // close box of a modeless window

    // ---- overridables ---------------------------------------------------
    // The first data exchange (dialog initialisation), before the window shows.
    virtual void onInitDialog() {}
    // Control notifications; return true when handled.
    virtual bool onCommand(int id, Notify code);
    virtual void onOk() { endDialog(IdOk); }
    virtual void onCancel() { endDialog(IdCancel); }
    // The Esc key; by default the Cancel button.
    virtual void onEscape() { dispatch(IdCancel, Notify::Clicked); }
    virtual void onTimer(int /*id*/) {}
    virtual void onPaint(Canvas& /*canvas*/) {}
    virtual void onLButtonUp(int /*x*/, int /*y*/) {}
    // The mouse moved to client pixel (x, y), no button needed.
    virtual void onMouseMove(int /*x*/, int /*y*/) {}
    virtual void onSysCommand(int /*id*/) {}
    // Alt with a letter ('A' to 'Z') no control took; true when it was used.
    virtual bool onAltKey(char /*letter*/) { return false; }
    virtual void onDestroy() {}

    // Entry point of the backends: routes a notification (OK and Cancel buttons
    // included) to the dialog.
    void dispatch(int id, Notify code);

    // Backend bookkeeping.
    View* view() const { return view_; }
    void attachView(View* v) { view_ = v; }
    bool initialized() const { return initialized_; }
    void initialize(); // runs onInitDialog once
    void resetEnded() { ended_ = false; result_ = 0; }

protected:
    // A control that does not exist in the template: an empty state for reads.
    ControlState* find(int id);
    const ControlState* find(int id) const;

private:
    void changed(int id);

    DialogTemplate tpl_;
    Dialog* parent_ = nullptr;
    std::vector<ControlState> controls_;
    std::string title_;
    std::vector<SysMenuItem> sysMenu_;
    View* view_ = nullptr;
    bool ended_ = false;
    bool initialized_ = false;
    int result_ = 0;
};

// Message maps: a static table of (control, notification, handler) near the
// top of each dialog class.
template <class D>
struct MessageEntry {
    int id;
    Notify code;
    void (D::*handler)();
};

template <class D, std::size_t N>
bool dispatchMap(D* self, const MessageEntry<D> (&map)[N], int id, Notify code) {
    for (const auto& e : map)
        if (e.id == id && e.code == code) {
            (self->*(e.handler))();
            return true;
        }
    return false;
}


// A property sheet: pages are dialogs with child templates; tabs show their
// template captions.
class PropertySheet : public Dialog {
public:
    PropertySheet(std::string caption, Dialog* parent);
    void addPage(Dialog& page) { pages_.push_back(&page); }
    const std::vector<Dialog*>& pages() const { return pages_; }
    int activePage() const { return active_; }
    void setActivePage(int index);
    bool hideApply = false;
    bool hideHelp = false;
    bool hideButtons = false; // only the pages remain; closed with the close box
    int run();                // modal

    // The sheet's window menu holds the active page's entries too, and hands
    // their commands to it.
    std::vector<SysMenuItem> windowMenu() const override;
    void onSysCommand(int id) override;

private:
    std::vector<Dialog*> pages_;
    int active_ = 0;
};

} // namespace kv::ui
