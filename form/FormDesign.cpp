// A form's design as a file: what a user chose and typed, put back as a user
// would (lists first, then the inputs), and the buttons whose results the
// form showed, pressed again in the order they ran.
#include "form/Form.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kv::form {

namespace {
using Read = Policy::Read;

std::string trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return std::string(s);
}

// An input's text as the design file takes it: a number a single-precision field can hold.
bool numberFor(const Field& f, std::string_view text, double& v) {
    return ui::parseNumber(text, v) && (!f.value.single() || std::fabs(v) <= std::numeric_limits<float>::max());
}
} // namespace

std::string FormWindow::nameOf(const Field& f) const { return f.name ? f.name : std::to_string(f.control); }

bool FormWindow::mayBeBlank(const Field& f) const {
    if (f.role == Role::Optional) return true;
    for (const Calculation& c : calcs_)
        if (std::find(c.blankAsZero.begin(), c.blankAsZero.end(), f.control) != c.blankAsZero.end()) return true;
    return false;
}

// Each list of the window by the label before it in the template, or by its
// control when that label is missing or names something else already.
std::vector<std::pair<std::string, int>> FormWindow::choices() const {
    std::vector<std::pair<std::string, int>> out;
    std::string label;
    for (const ui::ControlTemplate& c : dialogTemplate().controls) {
        if (c.kind == ui::Kind::Static) label = trimmed(c.caption);
        if (c.kind == ui::Kind::Static || c.kind == ui::Kind::Group) continue;
        if (c.kind != ui::Kind::Combo || itemCount(c.id) == 0) {
            label.clear(); // it names another control
            continue;
        }
        const bool taken = label.empty() || std::any_of(fields_.begin(), fields_.end(), [&](const Field& f) {
                               return nameOf(f) == label;
                           }) || std::any_of(out.begin(), out.end(), [&](const auto& o) { return o.first == label; });
        out.emplace_back(taken ? "list" + std::to_string(c.id) : label, c.id);
        label.clear();
    }
    return out;
}

void FormWindow::noteShown(const Calculation& c) {
    for (int id : resultsOf(c)) {
        auto it = std::find_if(shownBy_.begin(), shownBy_.end(), [&](const auto& s) { return s.first == id; });
        if (it == shownBy_.end()) shownBy_.emplace_back(id, c.button);
        else it->second = c.button;
    }
    runOrder_.erase(std::remove(runOrder_.begin(), runOrder_.end(), c.button), runOrder_.end());
    runOrder_.push_back(c.button);
}

void FormWindow::forgetShown(std::span<const int> controls) {
    std::erase_if(shownBy_, [&](const auto& s) { return std::find(controls.begin(), controls.end(), s.first) != controls.end(); });
}

std::vector<ui::SysMenuItem> FormWindow::windowMenu() const {
    std::vector<ui::SysMenuItem> menu = Dialog::windowMenu();
    if (keepsDesigns()) {
        const std::vector<ui::SysMenuItem> own = designMenu();
        menu.insert(menu.end(), own.begin(), own.end());
    }
    return menu;
}

void FormWindow::onSysCommand(int id) { designCommand(*this, id); }

std::variant<Design, std::string> FormWindow::currentDesign() {
    Design d;
    d.templateId = templateId();
    d.window = trimmed(dialogTemplate().caption);
    for (const auto& [name, id] : choices()) d.inputs.push_back({name, text(id)});
    for (const DesignLine& l : extraInputs()) d.inputs.push_back(l);
    for (const Field& f : fields_) {
        if (!f.input()) continue;
        std::string shown = trimmed(text(f.control));
        double v = 0;
        if (policy_.read == Read::Quiet && !enabled(f.control)) {
            // A quiet form shows a disabled input blank: the value behind it goes.
            shown = std::isfinite(f.value.get()) ? ui::formatNumber(f.value.get(), f.shownDigits()) : std::string();
        } else if (shown.empty() ? !mayBeBlank(f) : !numberFor(f, shown, v)) {
            return "“" + labelOf(f.control) + "”" + (shown.empty() ? "没有数值" : "的“" + shown + "”不是数字") +
                   "，设计没有保存。";
        }
        d.inputs.push_back({nameOf(f), shown});
    }
    for (const Field& f : fields_)
        if (f.role == Role::Result) d.results.push_back({nameOf(f), trimmed(text(f.control))});
    // The buttons whose results are shown, in the order they ran.
    if (!live())
        for (int button : runOrder_) {
            const bool shows = std::any_of(shownBy_.begin(), shownBy_.end(), [&](const auto& s) {
                return s.second == button && !text(s.first).empty();
            });
            if (shows) d.buttons.push_back(std::to_string(button));
        }
    return d;
}

std::optional<std::string> FormWindow::misfit(const Design& d) {
    if (!keepsDesigns()) return std::string("这个窗口不保存设计。");
    if (d.templateId != templateId()) return notThisWindow(d, trimmed(dialogTemplate().caption));
    for (const std::string& b : d.buttons) {
        int button = 0;
        if (!ui::parseInteger(b, button) || button == 0 || !calculation(button)) return notAButton(d, b);
    }
    const std::vector<std::pair<std::string, int>> lists = choices();
    const std::vector<DesignLine> extras = extraInputs();
    for (const DesignLine& l : d.inputs) {
        const auto list = std::find_if(lists.begin(), lists.end(), [&](const auto& c) { return c.first == l.name; });
        const auto extra = std::find_if(extras.begin(), extras.end(), [&](const DesignLine& e) { return e.name == l.name; });
        const auto field = std::find_if(fields_.begin(), fields_.end(), [&](const Field& f) {
            return f.input() && nameOf(f) == l.name;
        });
        if (list != lists.end()) {
            // Empty: the list stays as it is.
            std::vector<std::string> entries;
            for (int row = 0; row < itemCount(list->second); ++row) entries.push_back(trimmed(itemText(list->second, row)));
            if (!l.value.empty() && std::find(entries.begin(), entries.end(), l.value) == entries.end())
                return notAnEntry(l, entries);
        } else if (extra != extras.end()) {
            if (std::optional<std::string> why = extraMisfit(l)) return atLine(l.line) + *why;
        } else if (field != fields_.end()) {
            double v = 0;
            // A quiet form shows a disabled input blank and saves it so.
            const bool blankOk = mayBeBlank(*field) || policy_.read == Read::Quiet;
            if (l.value.empty() && !blankOk) return missingInput(labelOf(field->control), l.name, l.line);
            if (!l.value.empty() && !numberFor(*field, l.value, v)) return notANumber(l);
        } else {
            return unknownInput(l);
        }
    }
    for (const Field& f : fields_)
        if (f.role == Role::Input && !d.input(nameOf(f))) return missingInput(labelOf(f.control), nameOf(f));
    return std::nullopt;
}

void FormWindow::restore(const Design& d) {
    // The lists first, as a user chooses them: a window may switch its inputs.
    for (const auto& [name, id] : choices()) {
        const DesignLine* l = d.input(name);
        if (!l) continue;
        for (int row = 0; row < itemCount(id); ++row)
            if (trimmed(itemText(id, row)) == l->value && row != selected(id)) {
                select(id, row);
                dispatch(id, ui::Notify::SelChange);
                break;
            }
    }
    for (const DesignLine& l : d.inputs)
        for (const DesignLine& e : extraInputs())
            if (e.name == l.name) restoreExtra(l);
    for (Field& f : fields_) {
        if (!f.input()) continue;
        const DesignLine* l = d.input(nameOf(f));
        const std::string value = l ? l->value : std::string();
        double v = 0;
        if (policy_.read == Read::Quiet && !enabled(f.control)) {
            if (ui::parseNumber(value, v)) f.value.set(v);
            setText(f.control, "");
        } else {
            setText(f.control, value);
        }
    }
    // Nothing of the design shown before stays.
    for (Field& f : fields_)
        if (f.role == Role::Result) f.value.set(0);
    blankResults();
    shownBy_.clear();
    runOrder_.clear();
    if (live()) {
        run();
        return;
    }
    for (const std::string& b : d.buttons) {
        int button = 0;
        if (ui::parseInteger(b, button)) run(button);
    }
}

} // namespace kv::form
