// Dialog templates: the layout of every window as data (resources/dialogs.dlg).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kv::ui {

enum class Kind {
    Button,      // push button
    DefButton,   // default push button
    Edit,        // single- or multi-line edit
    Static,      // static text
    Group,       // group box (a frame with a caption)
    Check,       // check box
    Radio,       // radio button
    Combo,       // drop-down list / combo box
    List,        // list view (report mode: rows of column texts)
    Progress,    // progress bar
    Picture,     // icon or bitmap picture, caption holds the resource number
    Plot,        // graph of series (platform/plot), caption is its title
};

// Style flags of a control or a dialog template.
enum Style : unsigned {
    StyleNone = 0,
    // controls
    StyleGroupStart = 1u << 0,   // first control of a radio group
    StyleMultiline = 1u << 1,
    StyleReadOnly = 1u << 2,
    StyleNumber = 1u << 3,       // edit takes digits only
    StyleSort = 1u << 4,         // combo/list keeps its items sorted
    StyleDropDownList = 1u << 5, // combo without edit field
    StyleDisabled = 1u << 6,
    StyleHidden = 1u << 7,
    StyleCenter = 1u << 8,
    StyleRight = 1u << 9,
    StyleSmooth = 1u << 10,      // smooth progress bar
    StyleBitmap = 1u << 11,      // picture shows a bitmap (else an icon)
    StyleVScroll = 1u << 12,
    StylePassword = 1u << 13,
    StyleAutoHScroll = 1u << 14,
    // dialogs
    StyleCaption = 1u << 16,
    StyleSysMenu = 1u << 17,
    StyleMinimizeBox = 1u << 18,
    StyleBorder = 1u << 19,      // thin border, no caption
    StylePopup = 1u << 20,
    StyleChild = 1u << 21,       // property-page template
    StyleWhite = 1u << 22,       // white client background
};

struct ControlTemplate {
    int id = -1;
    Kind kind = Kind::Static;
    std::string caption;
    int x = 0, y = 0, w = 0, h = 0; // dialog units
    unsigned style = 0;
};

struct DialogTemplate {
    int id = 0;
    std::string caption;
    int w = 0, h = 0; // dialog units
    unsigned style = 0;
    std::vector<ControlTemplate> controls;
};

struct BitmapInfo {
    int id = 0;
    int width = 0, height = 0;
    std::string file; // name under resources/bitmaps
};

// Dialog units to pixels: an 8-point dialog font at 96 dpi.
constexpr int dluToPxX(int x) { return (x * 3) / 2; }
constexpr int dluToPxY(int y) { return (y * 13) / 8; }

struct StringEntry {
    int id = 0;
    std::string text;
};

struct TemplateSet {
    std::vector<DialogTemplate> dialogs;
    std::vector<BitmapInfo> bitmaps;
    std::vector<StringEntry> strings;
};

// Parses the template text. On error returns false and sets `error` to
// "line N: reason".
bool parseTemplates(std::string_view text, TemplateSet& out, std::string& error);

// The program's built-in templates (compiled from resources/dialogs.dlg).
const DialogTemplate* findTemplate(int id);
const BitmapInfo* findBitmap(int id);
const std::vector<DialogTemplate>& allTemplates();
// String table entry; empty when there is none.
std::string loadString(int id);

} // namespace kv::ui
