// The panel run-time: panels loaded from a resource file, controls addressed
// by panel handle and control id, commit callbacks, popups, graphs, printing.
// Callbacks call these free functions; a Host (Qt windows or headless)
// shows what they do.
#pragma once

#include "platform/panels/Uir.h"
#include "platform/plot/Plot.h"

#include <memory>
#include <optional>
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
constexpr int ATTR_CMD_BUTTON_COLOR = 880;
constexpr int ATTR_GRID_COLOR = 1080;
constexpr int ATTR_SHOW_LEGEND = 1088;     // graphs: 1 shows the names of the plots
constexpr int ATTR_CURSOR_SNAP = 1204;     // cursors: 1 snaps onto the first plot
// Print attributes.
constexpr int ATTR_PRINT_FIT_PAGE = 1300;  // 1 scales the panel to the page width
constexpr int ATTR_PRINT_EJECT_AFTER = 1310; // 0 keeps the job open for the next panel
constexpr int ATTR_PRINT_DATE_TIME = 1327; // 1 prints the date and time in the header

// Plot styles and colours.
constexpr int VAL_THIN_LINE = 0;
constexpr int VAL_FAT_LINE = 5;
constexpr int VAL_SOLID = 0;
constexpr int VAL_EMPTY_SQUARE = 0;
constexpr int VAL_DOUBLE = 4;
constexpr int VAL_RED = 0xFF0000, VAL_BLUE = 0x0000FF, VAL_GREEN = 0x00FF00,
              VAL_MAGENTA = 0xFF00FF, VAL_BLACK = 0, VAL_WHITE = 0xFFFFFF;
constexpr int VAL_DELETE_ALL = -1;
constexpr int VAL_IMMEDIATE_DRAW = 1;

// FileSelectPopup.
constexpr int VAL_LOAD_BUTTON = 0, VAL_SAVE_BUTTON = 1;
constexpr int VAL_NO_FILE_SELECTED = 0, VAL_EXISTING_FILE_SELECTED = 1, VAL_NEW_FILE_SELECTED = 2;

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
    bool dimmed = false, visible = true;
    int color = -1;                  // button colour, -1 the default
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
    std::vector<Ctrl> ctrls;
    std::unique_ptr<ui::Dialog> dialog; // the control model the windows mirror
    Ctrl* find(int id);
    ~Panel();
};

struct PopupRecord {
    std::string title, text;
    std::string answer; // "ok", "yes", "no"
};

struct FileRequest {
    bool save = false;
    std::string title, defaultSpec, typeList;
};

struct PrintJob {
    bool fitPage = true, dateTime = false, ejectAfter = true;
};

class Host {
public:
    virtual ~Host() = default;
    virtual void panelShown(Panel& p) = 0;
    virtual void panelHidden(Panel& p) = 0;
    // Attributes the control model does not carry (button colours).
    virtual void ctrlChanged(Panel&, Ctrl&) {}
    virtual void message(const std::string& title, const std::string& text) = 0;
    virtual bool confirm(const std::string& title, const std::string& text) = 0;
    virtual std::optional<std::string> selectFile(const FileRequest& req) = 0;
    virtual void screenSize(int& width, int& height) = 0;
    // Runs the event loop until quit() is called.
    virtual void runLoop() = 0;
    virtual void quit() = 0;
    // Prints a panel; false when the user cancelled or printing failed.
    virtual bool print(Panel& p, const PrintJob& job) = 0;
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

// ---- what a user does -----------------------------------------------------------

enum class UserResult { Done, NoControl, Dimmed, Hidden, NotANumber };
// Types a value into a field (or chooses ring entry / switch state) and commits
// it as Enter would.
UserResult userSet(int panelHandle, int ctrl, double value);
UserResult userSetText(int panelHandle, int ctrl, const std::string& text);
// Presses a button (or commits any control).
UserResult userCommit(int panelHandle, int ctrl);
// The window's close box.
UserResult userClose(int panelHandle);
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
int MessagePopup(const char* title, const char* message);
int ConfirmPopup(const char* title, const char* message); // 1 yes, 0 no
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
int SetPrintAttribute(int attr, int value);
int PrintPanel(int panel); // 0 printed, 1 cancelled, < 0 failed
int RunUserInterface();
int QuitUserInterface(int code);

} // namespace kv::panels
