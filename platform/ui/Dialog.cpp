#include "platform/ui/Dialog.h"

#include "platform/ui/Backend.h"
#include "platform/io/Encoding.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace kv::ui {

namespace {
DialogTemplate templateOrEmpty(int id) {
    if (const DialogTemplate* t = findTemplate(id)) return *t;
    DialogTemplate d;
    d.id = id;
    return d;
}
} // namespace

Dialog::Dialog(int templateId, Dialog* parent) : Dialog(templateOrEmpty(templateId), parent) {}

Dialog::Dialog(DialogTemplate tpl, Dialog* parent) : tpl_(std::move(tpl)), parent_(parent) {
    title_ = tpl_.caption;
    controls_.reserve(tpl_.controls.size());
    for (const auto& c : tpl_.controls) {
        ControlState s;
        s.tpl = c;
        if (c.kind != Kind::Edit && c.kind != Kind::Combo && c.kind != Kind::List) s.text = c.caption;
        s.enabled = !(c.style & StyleDisabled);
        s.visible = !(c.style & StyleHidden);
        if (c.kind == Kind::Plot) {
            s.plot = std::make_shared<plot::Plot>();
            s.plot->title = c.caption;
        }
        controls_.push_back(std::move(s));
    }
}

Dialog::~Dialog() { backend().forget(*this); }

ControlState* Dialog::find(int id) {
    if (id == -1) return nullptr;
    for (auto& c : controls_)
        if (c.tpl.id == id) return &c;
    return nullptr;
}

const ControlState* Dialog::find(int id) const { return const_cast<Dialog*>(this)->find(id); }

void Dialog::changed(int id) {
    if (view_) view_->controlChanged(id);
}

std::string Dialog::text(int id) const {
    const ControlState* c = find(id);
    if (!c) return {};
    if (c->tpl.kind == Kind::Combo && (c->tpl.style & StyleDropDownList))
        return c->selected >= 0 && c->selected < int(c->items.size()) ? c->items[c->selected][0]
                                                                       : std::string();
    return c->text;
}

void Dialog::setText(int id, std::string_view text) {
    ControlState* c = find(id);
    if (!c || c->text == text) return;
    c->text = std::string(text);
    changed(id);
}

bool Dialog::checked(int id) const {
    const ControlState* c = find(id);
    return c && c->checked;
}

void Dialog::setCheck(int id, bool on) {
    ControlState* c = find(id);
    if (!c || c->checked == on) return;
    c->checked = on;
    changed(id);
}

void Dialog::clickRadio(int id) {
    auto it = std::find_if(controls_.begin(), controls_.end(),
                           [&](const ControlState& c) { return c.tpl.id == id; });
    if (it == controls_.end()) return;
    if (it->tpl.kind != Kind::Radio) {
        setCheck(id, !it->checked);
        return;
    }
    // The group runs from the last group start at or before the button to the next one.
    auto first = it;
    while (first != controls_.begin() && !(first->tpl.style & StyleGroupStart)) --first;
    auto last = it + 1;
    while (last != controls_.end() && !(last->tpl.style & StyleGroupStart)) ++last;
    for (auto k = first; k != last; ++k)
        if (k->tpl.kind == Kind::Radio) setCheck(k->tpl.id, k->tpl.id == id);
}

bool Dialog::enabled(int id) const {
    const ControlState* c = find(id);
    return c && c->enabled;
}

void Dialog::enable(int id, bool on) {
    ControlState* c = find(id);
    if (!c || c->enabled == on) return;
    c->enabled = on;
    changed(id);
}

bool Dialog::visible(int id) const {
    const ControlState* c = find(id);
    return c && c->visible;
}

void Dialog::show(int id, bool on) {
    ControlState* c = find(id);
    if (!c || c->visible == on) return;
    c->visible = on;
    changed(id);
}

void Dialog::setTextColor(int id, Color color) {
    ControlState* c = find(id);
    if (!c) return;
    c->textColor = color;
    changed(id);
}

bool Dialog::greyed(int id) const {
    const ControlState* c = find(id);
    return c && c->greyed;
}

void Dialog::setGreyed(int id, bool on) {
    ControlState* c = find(id);
    if (!c || c->greyed == on) return;
    c->greyed = on;
    changed(id);
}

std::string Dialog::labelBefore(int id) const {
    std::string label;
    for (const ControlTemplate& c : tpl_.controls) {
        if (c.id == id) return label;
        // A label with an identifier may have been retitled: its text as it reads now.
        if (c.kind == Kind::Static) label = c.id == -1 ? c.caption : text(c.id);
    }
    return {};
}

void Dialog::clearItems(int id) {
    ControlState* c = find(id);
    if (!c) return;
    c->items.clear();
    c->rowColors.clear();
    c->rowBackgrounds.clear();
    c->selected = -1;
    changed(id);
}

int Dialog::addItem(int id, std::string text) { return addRow(id, {std::move(text)}); }

int Dialog::addRow(int id, std::vector<std::string> columns) {
    ControlState* c = find(id);
    if (!c) return -1;
    if (columns.empty()) columns.emplace_back();
    auto at = c->items.end();
    if (c->tpl.style & StyleSort) {
        // Sorted like the Chinese system collation: by the GBK bytes.
        const std::string key = io::utf8ToGbk(columns[0]);
        at = std::find_if(c->items.begin(), c->items.end(), [&](const auto& row) {
            return io::utf8ToGbk(row[0]) > key;
        });
    }
    const int index = int(at - c->items.begin());
    c->items.insert(at, std::move(columns));
    if (!c->rowColors.empty()) c->rowColors.insert(c->rowColors.begin() + index, Color{});
    if (!c->rowBackgrounds.empty()) c->rowBackgrounds.insert(c->rowBackgrounds.begin() + index, Color{255, 255, 255});
    if (c->selected >= index) ++c->selected;
    changed(id);
    return index;
}

void Dialog::setColumns(int id, std::vector<std::string> headings, std::vector<int> widths) {
    ControlState* c = find(id);
    if (!c) return;
    c->columns = std::move(headings);
    c->columnWidths = std::move(widths);
    changed(id);
}

void Dialog::setRowBackground(int id, int row, Color color) {
    ControlState* c = find(id);
    if (!c || row < 0 || row >= int(c->items.size())) return;
    c->rowBackgrounds.resize(c->items.size(), Color{255, 255, 255});
    c->rowBackgrounds[row] = color;
    changed(id);
}

void Dialog::setRowColor(int id, int row, Color color) {
    ControlState* c = find(id);
    if (!c || row < 0 || row >= int(c->items.size())) return;
    c->rowColors.resize(c->items.size());
    c->rowColors[row] = color;
    changed(id);
}

int Dialog::itemCount(int id) const {
    const ControlState* c = find(id);
    return c ? int(c->items.size()) : 0;
}

std::string Dialog::itemText(int id, int row, int column) const {
    const ControlState* c = find(id);
    if (!c || row < 0 || row >= int(c->items.size()) || column < 0 ||
        column >= int(c->items[row].size()))
        return {};
    return c->items[row][column];
}

int Dialog::selected(int id) const {
    const ControlState* c = find(id);
    return c ? c->selected : -1;
}

void Dialog::select(int id, int row) {
    ControlState* c = find(id);
    if (!c) return;
    if (row < 0 || row >= int(c->items.size())) row = -1;
    if (c->selected == row) return;
    c->selected = row;
    changed(id);
}

void Dialog::setRange(int id, int lo, int hi) {
    ControlState* c = find(id);
    if (!c) return;
    c->lo = lo;
    c->hi = hi;
    changed(id);
}

void Dialog::setPos(int id, int p) {
    ControlState* c = find(id);
    if (!c) return;
    c->pos = std::clamp(p, c->lo, c->hi);
    changed(id);
}

int Dialog::pos(int id) const {
    const ControlState* c = find(id);
    return c ? c->pos : 0;
}

bool Dialog::readFloat(int id, float& v) {
    double d = 0;
    if (!parseNumber(text(id), d) || std::fabs(d) > 3.402823466e38) {
        messageBox("请输入一个数字。", kAppName, Icon::Warning);
        return false;
    }
    v = float(d);
    return true;
}

bool Dialog::readDouble(int id, double& v) {
    double d = 0;
    if (!parseNumber(text(id), d)) {
        messageBox("请输入一个数字。", kAppName, Icon::Warning);
        return false;
    }
    v = d;
    return true;
}

bool Dialog::readInt(int id, int& v) {
    int i = 0;
    if (!parseInteger(text(id), i)) {
        messageBox("请键入一个整数。", kAppName, Icon::Warning);
        return false;
    }
    v = i;
    return true;
}

void Dialog::writeFloat(int id, float v) { setText(id, formatNumber(v, kSingleDigits)); }
void Dialog::writeDouble(int id, double v) { setText(id, formatNumber(v, kDoubleDigits)); }
void Dialog::writeInt(int id, int v) { setText(id, std::to_string(v)); }

void Dialog::setTitle(std::string title) {
    if (title_ == title) return;
    title_ = std::move(title);
    if (view_) view_->titleChanged();
}

void Dialog::invalidate() {
    if (view_) view_->invalidate(nullptr);
}

void Dialog::invalidate(const Rect& r) {
    if (view_) view_->invalidate(&r);
}

int Dialog::clientWidth() const { return view_ ? view_->clientWidth() : dluToPxX(tpl_.w); }
int Dialog::clientHeight() const { return view_ ? view_->clientHeight() : dluToPxY(tpl_.h); }
bool Dialog::minimized() const { return view_ && view_->minimized(); }

namespace {
constexpr struct {
    int answer;
    const char* word;
} kAnswerWords[] = {{IdOk, "ok"}, {IdCancel, "cancel"}, {IdYes, "yes"}, {IdNo, "no"}};
} // namespace

const char* answerWord(int answer) {
    for (const auto& a : kAnswerWords)
        if (a.answer == answer) return a.word;
    return "ok";
}

int answerOfWord(std::string_view word) {
    for (const auto& a : kAnswerWords)
        if (word == a.word) return a.answer;
    return 0;
}

int Dialog::messageBox(std::string_view text, std::string_view caption, Icon icon, Buttons buttons) {
    return backend().messageBox(this, text, caption, icon, buttons);
}

void Dialog::setTimer(int id, int periodMs) { backend().setTimer(*this, id, periodMs); }
void Dialog::killTimer(int id) { backend().killTimer(*this, id); }
int Dialog::runModal(Dialog& child) { return backend().runModal(child, this); }

Dialog& Dialog::openModeless(std::unique_ptr<Dialog> child) {
    return backend().openModeless(std::move(child), this);
}

void Dialog::endDialog(int result) {
    ended_ = true;
    result_ = result;
    backend().endDialog(*this, result);
}

void Dialog::close() { backend().closeWindow(*this); }

plot::Plot* Dialog::plot(int id) {
    ControlState* c = find(id);
    return c ? c->plot.get() : nullptr;
}

void Dialog::plotChanged(int id) { changed(id); }

bool Dialog::onCommand(int, Notify) { return false; }

void Dialog::dispatch(int id, Notify code) {
    if (onCommand(id, code)) return;
    if (code != Notify::Clicked) return;
    if (id == IdOk) onOk();
    else if (id == IdCancel) onCancel();
}

bool Dialog::shortcut(std::string_view keys) {
    if (keys.empty()) return false;
    for (const SysMenuItem& item : windowMenu())
        if (item.shortcut == keys) {
            onSysCommand(item.id);
            return true;
        }
    return false;
}

void Dialog::initialize() {
    if (initialized_) return;
    initialized_ = true;
    onInitDialog();
}

namespace {
DialogTemplate sheetTemplate(std::string caption) {
    DialogTemplate t;
    t.caption = std::move(caption);
    t.style = StyleCaption | StyleSysMenu;
    return t;
}
} // namespace

PropertySheet::PropertySheet(std::string caption, Dialog* parent)
    : Dialog(sheetTemplate(std::move(caption)), parent) {}

void PropertySheet::setActivePage(int index) {
    if (index < 0 || index >= int(pages_.size())) return;
    active_ = index;
    pages_[index]->initialize();
}

int PropertySheet::run() { return backend().runSheet(*this, parent()); }

std::vector<SysMenuItem> PropertySheet::windowMenu() const {
    std::vector<SysMenuItem> items = Dialog::windowMenu();
    if (active_ < int(pages_.size())) {
        const std::vector<SysMenuItem> page = pages_[active_]->windowMenu();
        items.insert(items.end(), page.begin(), page.end());
    }
    return items;
}

void PropertySheet::onSysCommand(int id) {
    if (active_ < int(pages_.size())) pages_[active_]->onSysCommand(id);
}

} // namespace kv::ui
