// The panel run-time: panels loaded from a resource file, controls addressed
// by panel handle and control id, commit callbacks, popups, graphs, printing.
// Callbacks call these free functions; a Host (Qt windows or headless)
// shows what they do.
#pragma once

#include "platform/panels/Uir.h"
#include "platform/plot/Plot.h"

#include <memory>
#include <span>
#include <string>
#include <vector>

namespace kv::ui {
class Dialog;
}

namespace kv::panels {

constexpr int EVENT_COMMIT = 1;

// Attributes.
constexpr int ATTR_DIMMED = 500;
constexpr int ATTR_VISIBLE = 530;
constexpr int ATTR_TITLE = 573;
constexpr int ATTR_TEXT_COLOR = 610;      // text of a field or a text control; -1 the default
constexpr int ATTR_CMD_BUTTON_COLOR = 880;
constexpr int ATTR_USER_ENTERED = 950;     // 1 once the user has committed the control (or the
                                           // program restored a value the user had entered)
constexpr int ATTR_CLOSE_ON_ESCAPE = 960;  // panels: 0 when Esc must not close the panel
constexpr int ATTR_GRID_COLOR = 1080;
constexpr int ATTR_SHOW_LEGEND = 1088;     // graphs: 1 shows the names of the plots
constexpr int ATTR_CURSOR_SNAP = 1204;     // cursors: 1 snaps onto the first plot

// Plot styles and colours.
constexpr int VAL_THIN_LINE = 0;
constexpr int VAL_FAT_LINE = 5;
constexpr int VAL_SOLID = 0;
constexpr int VAL_EMPTY_SQUARE = 0;
constexpr int VAL_DOUBLE = 4;
constexpr int VAL_RED = 0xFF0000, VAL_BLUE = 0x0000FF, VAL_GREEN = 0x00FF00,
              VAL_MAGENTA = 0xFF00FF, VAL_BLACK = 0, VAL_WHITE = 0xFFFFFF, VAL_DK_RED = 0xC00000,
              VAL_DK_YELLOW = 0x9A6700;
constexpr int VAL_DELETE_ALL = -1;
constexpr int VAL_IMMEDIATE_DRAW = 1;

// FileSelectPopup.
constexpr int VAL_LOAD_BUTTON = 0, VAL_SAVE_BUTTON = 1;
constexpr int VAL_NO_FILE_SELECTED = 0, VAL_EXISTING_FILE_SELECTED = 1, VAL_NEW_FILE_SELECTED = 2;

// An integer field holds values of a smaller magnitude; GetCtrlVal gives 0
// for an integer of this magnitude or more.
constexpr double kIntRange = 2e9;

// Error results.
constexpr int UIEBadPanel = -2, UIEBadControl = -3, UIEBadAttribute = -4, UIEFile = -5,
              UIEPanelNotFound = -6, UIEBadCallback = -7;

using CtrlCallback = int (*)(int panel, int control, int event, void* data, int e1, int e2);
struct CallbackEntry {
    const char* name;
    CtrlCallback fn;
};

// ---- the model the hosts show -----------------------------------------------

struct Ctrl {
    CtrlDef def;
    double value = 0;
    std::string caption;             // text controls and buttons: the text shown
    bool dimmed = false, visible = true;
    bool entered = false;            // the user has committed it at least once
    int color = -1;                  // button colour, -1 the default
    int textColor = -1;              // text colour, -1 the default
    std::shared_ptr<plot::Plot> plot; // graphs
    int uiId = 0;                    // its control in the panel's dialog
    std::string text() const;        // as shown: "---" for a value that is not finite
    bool hasValue() const;
};

struct Panel {
    int handle = 0;
    PanelDef def;
    std::string title;
    bool visible = false, dimmed = false;
    bool closeOnEscape = true;
    std::vector<Ctrl> ctrls;
    std::unique_ptr<ui::Dialog> dialog; // the control model the windows mirror
    Ctrl* find(int id);
    ~Panel();
};

struct PopupRecord {
    std::string title, text;
    std::string answer; // "ok", "yes", "no", "cancel"
};

// A printed document: headings, paragraphs, tables and graphs in order,
// laid out on pages by the host.
struct DocBlock {
    enum class Kind { Heading, Paragraph, Table, Graph };
    Kind kind = Kind::Paragraph;
    std::string text;                           // heading, paragraph, graph caption
    std::vector<std::vector<std::string>> rows; // table: label, value, unit
    std::shared_ptr<const plot::Plot> graph;
};

struct Document {
    std::string title;
    std::vector<DocBlock> blocks;
    void heading(std::string text);
    void paragraph(std::string text);
    void table(std::vector<std::vector<std::string>> rows);
    void graph(std::shared_ptr<const plot::Plot> g, std::string caption);
};

// What needs a window system beyond the dialogs' backend: the panels' windows,
// the screen, the event loop and printing. Popups and file selection go
// through the dialogs' backend (kv::ui::backend()), owned by the panel on top.
class Host {
public:
    virtual ~Host() = default;
    virtual void panelShown(Panel& p) = 0;
    virtual void panelHidden(Panel& p) = 0;
    // Attributes the control model does not carry (button colours).
    virtual void ctrlChanged(Panel&, Ctrl&) {}
    virtual void screenSize(int& width, int& height) = 0;
    // Runs the event loop until quit() is called.
    virtual void runLoop() = 0;
    virtual void quit() = 0;
    // Prints a document; false when the user cancelled or printing failed.
    virtual bool print(const Document& doc) = 0;
};

// The run-time's host; the program's callbacks are found by name here.
void setHost(Host* h);
Host* host();
void registerCallbacks(std::span<const CallbackEntry> table);
// Folder in which LoadPanel resolves a relative resource file name.
void setResourceDir(std::string dir);
// Forgets every panel (between runs of a program in one process).
void resetRuntime();
Panel* panel(int handle);
std::vector<Panel*> panels();
// The text of every popup of this run, in order.
const std::vector<PopupRecord>& popups();
int systemAttribute(int attr);
// Counts the user's changes of a value (a typed number, a ring or switch).
unsigned long userEdits();
// The close box and Esc on a panel whose close control cannot be operated:
// the program may still let the user back out of the panel (nullptr: nothing
// happens).
using BackOut = void (*)(int panelHandle);
void setBackOut(BackOut f);

// ---- what a user does -----------------------------------------------------------

enum class UserResult { Done, NoControl, Dimmed, Hidden, NotANumber };
// Types a value into a field (or chooses ring entry / switch state) and commits
// it as Enter would.
UserResult userSet(int panelHandle, int ctrl, double value);
UserResult userSetText(int panelHandle, int ctrl, const std::string& text);
// Presses a button (or commits any control).
UserResult userCommit(int panelHandle, int ctrl);
// The window's close box: commits the panel's close control, or backs out
// when that control is dimmed. A number typed and not yet committed is
// committed first.
UserResult userClose(int panelHandle);
// The Esc key on any window: the close box of the topmost panel shown,
// unless that panel does not close on Esc.
UserResult userEscape();
// The panel shown last among those still shown.
Panel* topPanel();
// True once QuitUserInterface took effect.
bool quitRequested();

// ---- the run-time calls -----------------------------------------------------------

int LoadPanel(int parent, const char* file, int resourceId);
int DisplayPanel(int panel);
int HidePanel(int panel);
int SetPanelAttribute(int panel, int attr, int value);
int SetPanelAttribute(int panel, int attr, const char* text);
int GetPanelAttribute(int panel, int attr, int* value);
int SetCtrlAttribute(int panel, int ctrl, int attr, int value);
int GetCtrlAttribute(int panel, int ctrl, int attr, int* value);
int GetCtrlVal(int panel, int ctrl, double* value);
int GetCtrlVal(int panel, int ctrl, int* value);
int SetCtrlVal(int panel, int ctrl, double value);
int SetCtrlVal(int panel, int ctrl, int value);
int SetCtrlVal(int panel, int ctrl, const char* text); // text controls

int MessagePopup(const char* title, const char* message);
int ConfirmPopup(const char* title, const char* message); // 1 yes, 0 no
// Yes, No and Cancel: 1 yes, 0 no, -1 cancel.
int ConfirmCancelPopup(const char* title, const char* message);
int FileSelectPopup(const char* defaultDir, const char* defaultSpec, const char* typeList,
                    const char* title, int button, int restrictDir, int restrictExt,
                    int allowCancel, int allowMakeDir, std::string& path);
int GetScreenSize(int* height, int* width);
int SetSystemAttribute(int attr, int value);
int PlotY(int panel, int ctrl, const double* y, int n, int type, int style, int pointStyle,
          int lineStyle, int pointFrequency, int color);
int PlotXY(int panel, int ctrl, const double* x, const double* y, int n, int xType, int yType,
           int style, int pointStyle, int lineStyle, int pointFrequency, int color);
// The name a graph's legend shows for a plot.
int SetPlotName(int panel, int ctrl, int plotHandle, const char* name);
int DeleteGraphPlot(int panel, int ctrl, int plotHandle, int refresh);
int RefreshGraph(int panel, int ctrl);
int SetCursorAttribute(int panel, int ctrl, int cursor, int attr, int value);
int SetCursorPosition(int panel, int ctrl, int cursor, double x, double y);
// The number fields and rings of a panel that are shown and not dimmed, as
// it shows them: label, value text, unit. A field without a label of its own takes the text shown
// left of it on its row, and its unit the text right of it.
std::vector<std::vector<std::string>> PanelRows(int panel);
int PrintDocument(const Document& doc); // 0 printed, 1 cancelled, < 0 failed
int RunUserInterface();
int QuitUserInterface(int code);

} // namespace kv::panels
