#include "platform/panels/Panels.h"

#include "platform/ui/Backend.h"
#include "platform/ui/Dialog.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

namespace kv::panels {

namespace {

// Dialog control ids sit above the window's own OK/Cancel ids.
constexpr int kUiOffset = 1000;
// A number's label and unit texts follow its visibility and dimming.
constexpr int kLabelOffset = 10000, kUnitOffset = 20000;
constexpr int kDefaultLabelWidth = 110;
constexpr int kUnitWidth = 44;
// One line of the dialog font with its descenders (dialog units).
constexpr int kTextHeight = 12;
constexpr int kMaxFileBytes = 4 << 20;

struct Runtime {
    Host* host = nullptr;
    std::map<std::string, CtrlCallback> callbacks;
    std::string resourceDir;
    std::vector<std::unique_ptr<Panel>> panels;
    std::vector<PopupRecord> popups;
    std::map<int, int> system;
    std::vector<int> shown; // handles of the panels shown, the last shown last
    BackOut backOut = nullptr;
    unsigned long edits = 0;
    int depth = 0;        // callbacks running
    bool quitPending = false;
    bool quitDone = false;
    bool looping = false;
};

Runtime& rt() {
    static Runtime r;
    return r;
}

class PanelDialog : public ui::Dialog {
public:
    PanelDialog(ui::DialogTemplate t, Panel& p) : ui::Dialog(std::move(t), nullptr), panel_(p) {}
    bool onCommand(int id, ui::Notify code) override;
    void onOk() override {}
    void onCancel() override { userClose(panel_.handle); } // the close box
    void onEscape() override { userEscape(); }

private:
    Panel& panel_;
};

std::string formatValue(const Ctrl& c) {
    if (!std::isfinite(c.value)) return "---";
    return ui::formatNumber(c.value, c.def.digits);
}

bool parseC(const std::string& s, double& v) {
    size_t a = s.find_first_not_of(" \t");
    size_t b = s.find_last_not_of(" \t");
    if (a == std::string::npos) return false;
    const char* p = s.data() + a;
    const char* e = s.data() + b + 1;
    if (*p == '+') ++p;
    auto r = std::from_chars(p, e, v);
    return r.ec == std::errc() && r.ptr == e && std::isfinite(v);
}

ui::DialogTemplate buildTemplate(const PanelDef& def) {
    ui::DialogTemplate t;
    t.id = def.id;
    t.caption = def.title;
    t.w = def.w;
    t.h = def.h;
    t.style = ui::StyleCaption | ui::StyleSysMenu;
    auto add = [&](int id, ui::Kind k, int x, int y, int w, int h, std::string cap, unsigned st = 0) {
        ui::ControlTemplate c;
        c.id = id;
        c.kind = k;
        c.x = x;
        c.y = y;
        c.w = w;
        c.h = h;
        c.caption = std::move(cap);
        c.style = st;
        t.controls.push_back(std::move(c));
    };
    for (const CtrlDef& c : def.ctrls) {
        const int uid = c.id == -1 ? -1 : c.id + kUiOffset;
        switch (c.kind) {
        case CtrlKind::Numeric:
        case CtrlKind::Indicator: {
            const std::string& label = c.label.empty() ? c.caption : c.label;
            const int lw = c.labelWidth ? c.labelWidth : kDefaultLabelWidth;
            if (!label.empty())
                add(uid == -1 ? -1 : uid + kLabelOffset, ui::Kind::Static, std::max(0, c.x - lw - 3),
                    c.y, lw, kTextHeight, label, ui::StyleRight);
            add(uid, ui::Kind::Edit, c.x, c.y, c.w, c.h, "",
                ui::StyleRight | (c.kind == CtrlKind::Indicator ? ui::StyleReadOnly : 0u));
            if (!c.unit.empty())
                add(uid == -1 ? -1 : uid + kUnitOffset, ui::Kind::Static, c.x + c.w + 3, c.y,
                    kUnitWidth, kTextHeight, c.unit);
            break;
        }
        case CtrlKind::Button: add(uid, ui::Kind::Button, c.x, c.y, c.w, c.h, c.caption); break;
        case CtrlKind::Ring:
            if (!c.label.empty()) {
                const int lw = c.labelWidth ? c.labelWidth : kDefaultLabelWidth;
                add(uid + kLabelOffset, ui::Kind::Static, std::max(0, c.x - lw - 3), c.y, lw,
                    kTextHeight, c.label, ui::StyleRight);
            }
            add(uid, ui::Kind::Combo, c.x, c.y, c.w, c.h, "", ui::StyleDropDownList);
            break;
        case CtrlKind::Switch: add(uid, ui::Kind::Check, c.x, c.y, c.w, c.h, c.caption); break;
        case CtrlKind::Graph: add(uid, ui::Kind::Plot, c.x, c.y, c.w, c.h, c.caption); break;
        case CtrlKind::Text: add(uid, ui::Kind::Static, c.x, c.y, c.w, c.h, c.caption); break;
        }
    }
    return t;
}

bool effectiveEnabled(const Panel& p, const Ctrl& c) { return !c.dimmed && !p.dimmed; }

// Pushes one control's state into the dialog the windows mirror.
void sync(Panel& p, Ctrl& c) {
    ui::Dialog& d = *p.dialog;
    const int id = c.uiId;
    if (id == -1) return;
    for (int k : {id, id + kLabelOffset, id + kUnitOffset}) {
        d.enable(k, effectiveEnabled(p, c));
        d.show(k, c.visible);
    }
    if (c.textColor >= 0 || d.control(id)->textColor) {
        const int rgb = std::max(0, c.textColor);
        d.setTextColor(id, {std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb)});
    }
    switch (c.def.kind) {
    case CtrlKind::Numeric:
    case CtrlKind::Indicator: d.setText(id, c.text()); break;
    case CtrlKind::Ring: {
        ui::ControlState* s = d.control(id);
        const int sel = std::isfinite(c.value) && std::abs(c.value) < 1e9 ? int(c.value) : -1;
        d.select(id, sel >= 0 && sel < int(s->items.size()) ? sel : -1);
        break;
    }
    case CtrlKind::Switch: d.setCheck(id, c.value != 0); break;
    case CtrlKind::Button:
    case CtrlKind::Text: d.setText(id, c.caption); break;
    case CtrlKind::Graph: d.plotChanged(id); break;
    }
    if (rt().host) rt().host->ctrlChanged(p, c);
}

void syncAll(Panel& p) {
    for (Ctrl& c : p.ctrls) sync(p, c);
}

// Runs a control's callback; a quit asked for inside takes effect once the
// outermost callback has returned.
void fire(Panel& p, Ctrl& c) {
    Runtime& r = rt();
    if (c.def.callback.empty()) return;
    auto it = r.callbacks.find(c.def.callback);
    if (it == r.callbacks.end()) return;
    ++r.depth;
    it->second(p.handle, c.def.id, EVENT_COMMIT, nullptr, 0, 0);
    --r.depth;
    if (r.depth == 0 && r.quitPending && !r.quitDone) {
        r.quitDone = true;
        if (r.host && r.looping) r.host->quit();
    }
}

UserResult canOperate(Panel* p, Ctrl* c) {
    if (!p || !c) return UserResult::NoControl;
    if (!p->visible) return UserResult::Hidden;
    if (c->dimmed || p->dimmed) return UserResult::Dimmed;
    return UserResult::Done;
}

bool PanelDialog::onCommand(int id, ui::Notify code) {
    Ctrl* c = panel_.find(id - kUiOffset);
    if (!c) return false;
    switch (c->def.kind) {
    case CtrlKind::Numeric:
        if (code == ui::Notify::KillFocus) {
            if (userSetText(panel_.handle, c->def.id, text(id)) == UserResult::NotANumber)
                setText(id, c->text());
        }
        return true;
    case CtrlKind::Button:
        if (code == ui::Notify::Clicked) userCommit(panel_.handle, c->def.id);
        return true;
    case CtrlKind::Switch:
        if (code == ui::Notify::Clicked) userSet(panel_.handle, c->def.id, checked(id) ? 1 : 0);
        return true;
    case CtrlKind::Ring:
        if (code == ui::Notify::SelChange) userSet(panel_.handle, c->def.id, selected(id));
        return true;
    default: return true;
    }
}

Panel* byHandle(int h) {
    Runtime& r = rt();
    if (h <= 0 || h > int(r.panels.size())) return nullptr;
    return r.panels[h - 1].get();
}

Ctrl* ctrlOf(int panelHandle, int id) {
    Panel* p = byHandle(panelHandle);
    return p ? p->find(id) : nullptr;
}

void store(Ctrl& c, double v) {
    if (c.def.integer && std::isfinite(v)) v = std::trunc(v);
    c.value = v;
}

} // namespace

std::string Ctrl::text() const { return hasValue() ? formatValue(*this) : caption; }

bool Ctrl::hasValue() const {
    return def.kind == CtrlKind::Numeric || def.kind == CtrlKind::Indicator ||
           def.kind == CtrlKind::Ring || def.kind == CtrlKind::Switch;
}

Ctrl* Panel::find(int id) {
    for (Ctrl& c : ctrls)
        if (c.def.id == id && id != -1) return &c;
    return nullptr;
}

Panel::~Panel() = default;

void setHost(Host* h) { rt().host = h; }
Host* host() { return rt().host; }

void registerCallbacks(std::span<const CallbackEntry> table) {
    for (const auto& e : table) rt().callbacks[e.name] = e.fn;
}

void setResourceDir(std::string dir) { rt().resourceDir = std::move(dir); }

void resetRuntime() {
    Runtime& r = rt();
    r.panels.clear();
    r.popups.clear();
    r.system.clear();
    r.shown.clear();
    r.backOut = nullptr;
    r.edits = 0;
    r.depth = 0;
    r.quitPending = r.quitDone = r.looping = false;
}

Panel* panel(int handle) { return byHandle(handle); }

std::vector<Panel*> panels() {
    std::vector<Panel*> v;
    for (auto& p : rt().panels) v.push_back(p.get());
    return v;
}

const std::vector<PopupRecord>& popups() { return rt().popups; }

int systemAttribute(int attr) {
    auto it = rt().system.find(attr);
    return it == rt().system.end() ? 0 : it->second;
}

bool quitRequested() { return rt().quitPending; }

unsigned long userEdits() { return rt().edits; }

void setBackOut(BackOut f) { rt().backOut = f; }

Panel* topPanel() { return rt().shown.empty() ? nullptr : byHandle(rt().shown.back()); }

UserResult userSet(int panelHandle, int id, double value) {
    Panel* p = byHandle(panelHandle);
    Ctrl* c = p ? p->find(id) : nullptr;
    UserResult ok = canOperate(p, c);
    if (ok != UserResult::Done) return ok;
    if (c->def.kind == CtrlKind::Indicator || !c->hasValue()) return UserResult::NoControl;
    if (!std::isfinite(value)) return UserResult::NotANumber;
    const double before = c->value;
    store(*c, value);
    if (c->value != before) ++rt().edits;
    c->entered = true;
    sync(*p, *c);
    fire(*p, *c);
    return UserResult::Done;
}

UserResult userSetText(int panelHandle, int id, const std::string& text) {
    double v = 0;
    Ctrl* c = ctrlOf(panelHandle, id);
    if (c && c->hasValue() && !parseC(text, v)) return UserResult::NotANumber;
    return userSet(panelHandle, id, v);
}

UserResult userCommit(int panelHandle, int id) {
    Panel* p = byHandle(panelHandle);
    Ctrl* c = p ? p->find(id) : nullptr;
    UserResult ok = canOperate(p, c);
    if (ok != UserResult::Done) return ok;
    fire(*p, *c);
    return UserResult::Done;
}

namespace {
// Commits the numbers typed into the panel's window and not committed yet
// (the window is going away before its fields lose the focus).
void commitTyped(Panel& p) {
    for (Ctrl& c : p.ctrls) {
        if (c.def.kind != CtrlKind::Numeric || c.uiId == -1) continue;
        const std::string typed = p.dialog->text(c.uiId);
        if (typed == c.text()) continue;
        if (userSetText(p.handle, c.def.id, typed) == UserResult::NotANumber)
            p.dialog->setText(c.uiId, c.text());
    }
}
} // namespace

UserResult userClose(int panelHandle) {
    Panel* p = byHandle(panelHandle);
    if (!p) return UserResult::NoControl;
    if (!p->visible) return UserResult::Hidden;
    if (p->dimmed) return UserResult::Dimmed; // a panel is open over it
    commitTyped(*p);
    if (!p->visible) return UserResult::Done;
    Ctrl* close = p->find(p->def.closeCtrl);
    if (close && canOperate(p, close) == UserResult::Done) return userCommit(panelHandle, close->def.id);
    if (!rt().backOut) return close ? UserResult::Dimmed : UserResult::NoControl;
    ++rt().depth;
    rt().backOut(panelHandle);
    --rt().depth;
    return UserResult::Done;
}

UserResult userEscape() {
    Panel* p = topPanel();
    if (!p) return UserResult::NoControl;
    if (!p->closeOnEscape) return UserResult::NoControl;
    return userClose(p->handle);
}

int LoadPanel(int /*parent*/, const char* file, int resourceId) {
    Runtime& r = rt();
    std::string path = file;
    if (!path.empty() && path[0] != '/' && !r.resourceDir.empty()) path = r.resourceDir + "/" + path;
    std::ifstream in(path, std::ios::binary);
    if (!in) return UIEFile;
    std::string text;
    std::ostringstream ss;
    ss << in.rdbuf();
    text = ss.str();
    if (text.size() > size_t(kMaxFileBytes)) return UIEFile;
    // A program loads its panels one by one from one file: it is parsed once
    // while its text stays the same.
    static std::string parsedText;
    static std::vector<PanelDef> defs;
    if (text != parsedText) {
        std::string error;
        parsedText.clear();
        defs.clear();
        if (!parseUir(text, defs, error)) return UIEFile;
        parsedText = text;
    }
    const PanelDef* def = nullptr;
    for (const auto& d : defs)
        if (d.id == resourceId) def = &d;
    if (!def) return UIEPanelNotFound;
    for (const auto& c : def->ctrls)
        if (!c.callback.empty() && !r.callbacks.count(c.callback)) return UIEBadCallback;
    auto p = std::make_unique<Panel>();
    p->handle = int(r.panels.size()) + 1;
    p->def = *def;
    p->title = def->title;
    p->dialog = std::make_unique<PanelDialog>(buildTemplate(*def), *p);
    for (const auto& d : def->ctrls) {
        Ctrl c;
        c.def = d;
        c.value = d.value;
        c.caption = d.caption;
        c.dimmed = d.dimmed;
        c.visible = !d.hidden;
        c.uiId = d.id == -1 ? -1 : d.id + kUiOffset;
        if (d.kind == CtrlKind::Graph) {
            ui::ControlState* s = p->dialog->control(c.uiId);
            c.plot = s->plot;
            c.plot->x.title = d.xtitle;
            c.plot->y.title = d.ytitle;
            c.plot->x.log = d.xlog;
            c.plot->y.log = d.ylog;
        }
        if (d.kind == CtrlKind::Ring)
            for (const auto& item : d.items) p->dialog->addItem(c.uiId, item);
        p->ctrls.push_back(std::move(c));
    }
    syncAll(*p);
    r.panels.push_back(std::move(p));
    return r.panels.back()->handle;
}

int DisplayPanel(int handle) {
    Panel* p = byHandle(handle);
    if (!p) return UIEBadPanel;
    p->visible = true;
    std::erase(rt().shown, handle);
    rt().shown.push_back(handle);
    if (rt().host) rt().host->panelShown(*p);
    return 0;
}

int HidePanel(int handle) { return SetPanelAttribute(handle, ATTR_VISIBLE, 0); }

int SetPanelAttribute(int handle, int attr, int value) {
    Panel* p = byHandle(handle);
    if (!p) return UIEBadPanel;
    switch (attr) {
    case ATTR_DIMMED:
        p->dimmed = value != 0;
        for (Ctrl& c : p->ctrls)
            if (c.uiId != -1)
                for (int k : {c.uiId, c.uiId + kLabelOffset, c.uiId + kUnitOffset})
                    p->dialog->enable(k, effectiveEnabled(*p, c));
        return 0;
    case ATTR_VISIBLE:
        if (value) return DisplayPanel(handle);
        p->visible = false;
        std::erase(rt().shown, handle);
        if (rt().host) rt().host->panelHidden(*p);
        return 0;
    case ATTR_CLOSE_ON_ESCAPE: p->closeOnEscape = value != 0; return 0;
    default: return UIEBadAttribute;
    }
}

int SetPanelAttribute(int handle, int attr, const char* text) {
    Panel* p = byHandle(handle);
    if (!p) return UIEBadPanel;
    if (attr != ATTR_TITLE) return UIEBadAttribute;
    p->title = text;
    p->dialog->setTitle(p->title);
    return 0;
}

int GetPanelAttribute(int handle, int attr, int* value) {
    Panel* p = byHandle(handle);
    if (!p) return UIEBadPanel;
    switch (attr) {
    case ATTR_DIMMED: *value = p->dimmed; return 0;
    case ATTR_VISIBLE: *value = p->visible; return 0;
    default: return UIEBadAttribute;
    }
}

int SetCtrlAttribute(int handle, int id, int attr, int value) {
    Panel* p = byHandle(handle);
    Ctrl* c = p ? p->find(id) : nullptr;
    if (!c) return p ? UIEBadControl : UIEBadPanel;
    switch (attr) {
    case ATTR_DIMMED: c->dimmed = value != 0; break;
    case ATTR_VISIBLE: c->visible = value != 0; break;
    case ATTR_CMD_BUTTON_COLOR: c->color = value; break;
    case ATTR_TEXT_COLOR: c->textColor = value < 0 ? -1 : value & 0xFFFFFF; break;
    case ATTR_USER_ENTERED: c->entered = value != 0; return 0;
    case ATTR_GRID_COLOR:
        if (!c->plot) return UIEBadAttribute;
        c->plot->gridColor = plot::Rgb(value);
        c->plot->touch();
        break;
    case ATTR_SHOW_LEGEND:
        if (!c->plot) return UIEBadAttribute;
        c->plot->legend = value != 0;
        c->plot->touch();
        break;
    default: return UIEBadAttribute;
    }
    sync(*p, *c);
    return 0;
}

int GetCtrlAttribute(int handle, int id, int attr, int* value) {
    Ctrl* c = ctrlOf(handle, id);
    if (!c) return UIEBadControl;
    switch (attr) {
    case ATTR_DIMMED: *value = c->dimmed; return 0;
    case ATTR_VISIBLE: *value = c->visible; return 0;
    case ATTR_CMD_BUTTON_COLOR: *value = c->color; return 0;
    case ATTR_TEXT_COLOR: *value = c->textColor; return 0;
    case ATTR_USER_ENTERED: *value = c->entered; return 0;
    default: return UIEBadAttribute;
    }
}

int GetCtrlVal(int handle, int id, double* value) {
    Ctrl* c = ctrlOf(handle, id);
    if (!c || !c->hasValue()) return UIEBadControl;
    *value = c->value;
    return 0;
}

int GetCtrlVal(int handle, int id, int* value) {
    Ctrl* c = ctrlOf(handle, id);
    if (!c || !c->hasValue()) return UIEBadControl;
    const double v = c->value;
    *value = std::isfinite(v) && std::abs(v) < kIntRange ? int(v) : 0;
    return 0;
}

int SetCtrlVal(int handle, int id, double value) {
    Panel* p = byHandle(handle);
    Ctrl* c = p ? p->find(id) : nullptr;
    if (!c || !c->hasValue()) return p ? UIEBadControl : UIEBadPanel;
    store(*c, value);
    sync(*p, *c);
    return 0;
}

int SetCtrlVal(int handle, int id, int value) { return SetCtrlVal(handle, id, double(value)); }

int SetCtrlVal(int handle, int id, const char* text) {
    Panel* p = byHandle(handle);
    Ctrl* c = p ? p->find(id) : nullptr;
    if (!c || c->def.kind != CtrlKind::Text) return p ? UIEBadControl : UIEBadPanel;
    c->caption = text;
    sync(*p, *c);
    return 0;
}

namespace {
// Popups belong to the panel on top, as a message box to its dialog.
ui::Dialog* popupOwner() {
    Panel* top = topPanel();
    return top ? top->dialog.get() : nullptr;
}

// A popup without an icon (a message) or with the question mark.
int popup(const char* title, const char* message, ui::Icon icon, ui::Buttons buttons) {
    const int answer = ui::backend().messageBox(popupOwner(), message, title, icon, buttons);
    rt().popups.push_back({title, message, ui::answerWord(answer)});
    return answer;
}
} // namespace

int MessagePopup(const char* title, const char* message) {
    popup(title, message, ui::Icon::None, ui::Buttons::Ok);
    return 0;
}

int ConfirmPopup(const char* title, const char* message) {
    return popup(title, message, ui::Icon::Question, ui::Buttons::YesNo) == ui::IdYes ? 1 : 0;
}

int ConfirmCancelPopup(const char* title, const char* message) {
    switch (popup(title, message, ui::Icon::Question, ui::Buttons::YesNoCancel)) {
    case ui::IdYes: return 1;
    case ui::IdCancel: return -1;
    default: return 0;
    }
}

int FileSelectPopup(const char* /*defaultDir*/, const char* defaultSpec, const char* typeList,
                    const char* title, int button, int, int, int, int, std::string& path) {
    ui::FileDialogRequest req;
    req.save = button == VAL_SAVE_BUTTON;
    req.title = title;
    // "*.ini" names the extension a typed name gets; "*.ini;*.txt" the files shown.
    const std::string_view spec = defaultSpec;
    if (spec.starts_with("*.")) req.defaultExt = spec.substr(2);
    std::string types = typeList;
    std::replace(types.begin(), types.end(), ';', ' ');
    req.filter = "Project files (" + types + ");;All files (*)";
    std::optional<std::string> f = ui::backend().fileDialog(popupOwner(), req);
    if (!f || f->empty()) {
        path.clear();
        return VAL_NO_FILE_SELECTED;
    }
    path = *f;
    std::ifstream probe(path);
    return probe ? VAL_EXISTING_FILE_SELECTED : VAL_NEW_FILE_SELECTED;
}

int GetScreenSize(int* height, int* width) {
    int w = 1024, h = 768;
    if (rt().host) rt().host->screenSize(w, h);
    *height = h;
    *width = w;
    return 0;
}

int SetSystemAttribute(int attr, int value) {
    rt().system[attr] = value;
    return 0;
}

namespace {
plot::Plot* graphOf(int handle, int id, Panel*& p, Ctrl*& c) {
    p = byHandle(handle);
    c = p ? p->find(id) : nullptr;
    return c ? c->plot.get() : nullptr;
}
int addPlot(int handle, int id, plot::Series s) {
    Panel* p;
    Ctrl* c;
    plot::Plot* g = graphOf(handle, id, p, c);
    if (!g) return UIEBadControl;
    const int h = g->add(std::move(s));
    g->placeMarkers();
    sync(*p, *c);
    return h;
}
plot::Series makeSeries(int n, int style, int color) {
    plot::Series s;
    s.color = plot::Rgb(color);
    s.width = style == VAL_FAT_LINE ? 3 : 1;
    s.x.resize(size_t(std::max(0, n)));
    s.y.resize(s.x.size());
    return s;
}
} // namespace

int PlotY(int handle, int id, const double* y, int n, int, int style, int, int, int, int color) {
    plot::Series s = makeSeries(n, style, color);
    for (int i = 0; i < n; ++i) {
        s.x[size_t(i)] = i;
        s.y[size_t(i)] = y[i];
    }
    return addPlot(handle, id, std::move(s));
}

int PlotXY(int handle, int id, const double* x, const double* y, int n, int, int, int style, int,
           int, int, int color) {
    plot::Series s = makeSeries(n, style, color);
    for (int i = 0; i < n; ++i) {
        s.x[size_t(i)] = x[i];
        s.y[size_t(i)] = y[i];
    }
    return addPlot(handle, id, std::move(s));
}

int DeleteGraphPlot(int handle, int id, int plotHandle, int) {
    Panel* p;
    Ctrl* c;
    plot::Plot* g = graphOf(handle, id, p, c);
    if (!g) return UIEBadControl;
    if (plotHandle == VAL_DELETE_ALL) g->clear();
    else if (!g->remove(plotHandle)) return UIEBadAttribute;
    sync(*p, *c);
    return 0;
}

int SetPlotName(int handle, int id, int plotHandle, const char* name) {
    Panel* p;
    Ctrl* c;
    plot::Plot* g = graphOf(handle, id, p, c);
    if (!g) return UIEBadControl;
    if (!g->rename(plotHandle, name)) return UIEBadAttribute;
    sync(*p, *c);
    return 0;
}

int RefreshGraph(int handle, int id) {
    Panel* p;
    Ctrl* c;
    plot::Plot* g = graphOf(handle, id, p, c);
    if (!g) return UIEBadControl;
    g->touch();
    sync(*p, *c);
    return 0;
}

int SetCursorAttribute(int handle, int id, int cursor, int attr, int value) {
    Panel* p;
    Ctrl* c;
    plot::Plot* g = graphOf(handle, id, p, c);
    if (!g) return UIEBadControl;
    if (attr != ATTR_CURSOR_SNAP) return UIEBadAttribute;
    plot::Marker& m = g->marker(cursor);
    m.snap = value != 0;
    m.color = 0x000000;
    g->placeMarkers();
    sync(*p, *c);
    return 0;
}

int SetCursorPosition(int handle, int id, int cursor, double x, double y) {
    Panel* p;
    Ctrl* c;
    plot::Plot* g = graphOf(handle, id, p, c);
    if (!g) return UIEBadControl;
    plot::Marker& m = g->marker(cursor);
    m.x = x;
    m.y = y;
    m.visible = std::isfinite(x);
    g->placeMarkers();
    sync(*p, *c);
    return 0;
}

void Document::heading(std::string text) { blocks.push_back({DocBlock::Kind::Heading, std::move(text), {}, {}}); }

void Document::paragraph(std::string text) {
    blocks.push_back({DocBlock::Kind::Paragraph, std::move(text), {}, {}});
}

void Document::table(std::vector<std::vector<std::string>> rows) {
    blocks.push_back({DocBlock::Kind::Table, {}, std::move(rows), {}});
}

void Document::graph(std::shared_ptr<const plot::Plot> g, std::string caption) {
    blocks.push_back({DocBlock::Kind::Graph, std::move(caption), {}, std::move(g)});
}

namespace {
// The visible text shown on the row of `c`, left of it (or right of it).
const Ctrl* textBeside(const Panel& p, const Ctrl& c, bool right) {
    const Ctrl* best = nullptr;
    for (const Ctrl& t : p.ctrls) {
        if (t.def.kind != CtrlKind::Text || !t.visible || std::abs(t.def.y - c.def.y) > 4) continue;
        const bool fits = right ? t.def.x >= c.def.x + c.def.w - 2 : t.def.x + t.def.w <= c.def.x + 2;
        if (fits && (!best || (right ? t.def.x < best->def.x : t.def.x > best->def.x))) best = &t;
    }
    return best;
}
} // namespace

std::vector<std::vector<std::string>> PanelRows(int handle) {
    std::vector<std::vector<std::string>> rows;
    Panel* p = byHandle(handle);
    if (!p) return rows;
    for (const Ctrl& c : p->ctrls) {
        const bool number = c.def.kind == CtrlKind::Numeric || c.def.kind == CtrlKind::Indicator;
        if (!c.visible || c.dimmed || !(number || c.def.kind == CtrlKind::Ring)) continue;
        std::string label = c.def.label, unit = c.def.unit, value = c.text();
        if (label.empty())
            if (const Ctrl* t = textBeside(*p, c, false)) label = t->caption;
        if (unit.empty() && number)
            if (const Ctrl* t = textBeside(*p, c, true)) unit = t->caption;
        if (c.def.kind == CtrlKind::Ring) {
            const int k = std::isfinite(c.value) && std::abs(c.value) < 1e9 ? int(c.value) : -1;
            value = k >= 0 && k < int(c.def.items.size()) ? c.def.items[size_t(k)] : "";
        }
        rows.push_back({label, value, unit});
    }
    return rows;
}

int PrintDocument(const Document& doc) {
    if (!rt().host) return UIEFile;
    return rt().host->print(doc) ? 0 : 1;
}

int RunUserInterface() {
    Runtime& r = rt();
    if (!r.host || r.quitPending) return 0;
    r.looping = true;
    r.host->runLoop();
    r.looping = false;
    // The loop is over: no window stays.
    for (auto& p : r.panels)
        if (p->visible) SetPanelAttribute(p->handle, ATTR_VISIBLE, 0);
    return 0;
}

int QuitUserInterface(int) {
    Runtime& r = rt();
    r.quitPending = true;
    if (r.depth == 0 && !r.quitDone) {
        r.quitDone = true;
        if (r.host && r.looping) r.host->quit();
    }
    return 0;
}

} // namespace kv::panels
