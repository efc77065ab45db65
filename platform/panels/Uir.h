// The panel resource file: panels and their controls as readable text.
//
//   PANEL id width height "title" [close=CONTROL]     sizes in dialog units
//   KIND id x y width height "caption" [key=value | flag]...
//   END
//
// Kinds: NUMERIC (an entry field), INDICATOR (a read-only number), BUTTON,
// RING (a choice list, its value the index), SWITCH (0 or 1), GRAPH, TEXT.
// Keys: callback=NAME, label="text" (shown left of a number, width lw=N),
// unit="text" (shown right of it), value=N, digits=N (significant digits
// shown), items="a|b|c" (rings), xtitle= ytitle= (graphs); flags: dimmed,
// hidden, int (an integer value), xlog, ylog (graph axes).
// A control id of -1 is a text that is never addressed. Strings take \" \\ \n.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kv::panels {

enum class CtrlKind { Numeric, Indicator, Button, Ring, Switch, Graph, Text };

struct CtrlDef {
    int id = -1;
    CtrlKind kind = CtrlKind::Text;
    int x = 0, y = 0, w = 0, h = 0;
    std::string caption;
    std::string callback;
    std::string label, unit;
    int labelWidth = 0;
    double value = 0;
    int digits = 6;
    bool dimmed = false, hidden = false, integer = false;
    bool xlog = false, ylog = false;
    std::string xtitle, ytitle;
    std::vector<std::string> items;
};

struct PanelDef {
    int id = 0;
    int w = 0, h = 0;
    std::string title;
    int closeCtrl = -1; // the control that the window's close box commits
    std::vector<CtrlDef> ctrls;
};

// Parses resource text. On error returns false with `error` "line N: reason".
bool parseUir(std::string_view text, std::vector<PanelDef>& out, std::string& error);

} // namespace kv::panels
