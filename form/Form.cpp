#include "form/Form.h"

#include "services/CorePick.h"
#include "services/Progress.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kv::form {

namespace {
using Read = Policy::Read;
bool contains(std::span<const int> ids, int id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); }
constexpr double kFloatMax = std::numeric_limits<float>::max();

// The characters a result edit has room for: its width less the frame and
// margins, at the width of a digit of the dialog font. 0: not an edit, no limit.
constexpr int kEditFramePx = 6, kDigitPx = 6, kLeastRoom = 4;
int roomOf(const ui::ControlState* c) {
    if (!c || c->tpl.kind != ui::Kind::Edit || c->tpl.w <= 0) return 0;
    return std::max(kLeastRoom, (ui::dluToPxX(c->tpl.w) - kEditFramePx) / kDigitPx);
}

// `v` with `digits` significant digits, or fewer where the text would not fit
// `room` characters: the leading digits always show.
std::string fitted(double v, int digits, int room) {
    std::string s = ui::formatNumber(v, digits);
    while (room > 0 && int(s.size()) > room && digits > 1) s = ui::formatNumber(v, --digits);
    return s;
}
} // namespace

FormWindow::FormWindow(int templateId, ui::Dialog* parent, Policy policy) : Dialog(templateId, parent), policy_(policy) {}
FormWindow::FormWindow(ui::DialogTemplate tpl, ui::Dialog* parent, Policy policy)
    : Dialog(std::move(tpl), parent), policy_(policy) {}

void FormWindow::setResultDigits(int digits) {
    for (Field& f : fields_)
        if (f.role == Role::Result) f.digits = digits;
}

Field* FormWindow::fieldOf(int control) {
    for (Field& f : fields_)
        if (f.control == control) return &f;
    return nullptr;
}

const Field* FormWindow::fieldOf(int control) const { return const_cast<FormWindow*>(this)->fieldOf(control); }

int FormWindow::controlOf(std::string_view name) const {
    for (const Field& f : fields_)
        if (f.name && name == f.name) return f.control;
    return 0;
}

int FormWindow::controlOf(const float& v) const {
    for (const Field& f : fields_)
        if (f.value.single() == &v) return f.control;
    return 0;
}

std::string FormWindow::labelOf(int control) const {
    const Field* f = fieldOf(control);
    return f && f->label ? text(f->label) : labelBefore(control);
}

std::string FormWindow::messageOf(int code) const {
    std::string t;
    for (const Message& m : messages_)
        if (m.code == code) t = m.text;
    for (std::size_t open = t.find('{'); open != std::string::npos; open = t.find('{', open)) {
        const std::size_t close = t.find('}', open);
        if (close == std::string::npos) break;
        const std::string name = t.substr(open + 1, close - open - 1);
        const int control = controlOf(name);
        const std::string label = control ? labelOf(control) : name;
        t.replace(open, close - open + 1, label);
        open += label.size();
    }
    return t;
}

// ---------------------------------------------------------------- showing

void FormWindow::writeField(const Field& f) {
    const double v = f.value.get();
    // A value that is not a number is never shown as one; a result fits its edit.
    const int room = f.role == Role::Result ? roomOf(control(f.control)) : 0;
    setText(f.control, std::isfinite(v) ? fitted(v, f.shownDigits(), room) : std::string());
}

void FormWindow::writeFields(int group) {
    for (const Field& f : fields_)
        if (f.in(group) && (f.role == Role::Result || policy_.read != Read::Quiet)) writeField(f);
}

void FormWindow::writeInputs() {
    for (const Field& f : fields_) {
        if (f.role != Role::Input) continue;
        if (policy_.read == Read::Quiet && !enabled(f.control)) setText(f.control, "");
        else writeField(f);
    }
}

void FormWindow::blank(std::span<const int> controls) {
    if (controls.empty()) return;
    for (int c : controls) {
        setText(c, "");
        setGreyed(c, false);
    }
    forgetShown(controls);
    resultsBlanked();
}

void FormWindow::blankResults(int group) {
    std::vector<int> ids;
    for (const Field& f : fields_)
        if (f.role == Role::Result && f.in(group)) ids.push_back(f.control);
    blank(ids);
}

std::vector<double> FormWindow::values() const {
    std::vector<double> v;
    for (const Field& f : fields_) v.push_back(f.value.get());
    return v;
}

void FormWindow::setValues(const std::vector<double>& v) {
    for (std::size_t k = 0; k < fields_.size() && k < v.size(); ++k) fields_[k].value.set(v[k]);
}

void FormWindow::setStatus(std::string text) {
    status_ = std::move(text);
    if (live_) setText(live_, status_);
}

void FormWindow::say(std::string_view text, std::optional<ui::Icon> icon) {
    if (text.empty()) return;
    if (live_ && running_ && !running_->button) {
        // The status is one line.
        std::string line(text);
        std::replace(line.begin(), line.end(), '\n', ' ');
        setStatus(std::move(line));
    }
    else messageBox(text, ui::kAppName, icon.value_or(policy_.icon));
}

void FormWindow::onInitDialog() {
    writeInputs();
    std::vector<int> blanks;
    for (const Field& f : fields_)
        if (f.role != Role::Input) blanks.push_back(f.control);
    blank(blanks);
    opened();
}

// ---------------------------------------------------------------- commands

const Calculation* FormWindow::calculation(int button) const {
    for (const Calculation& c : calcs_)
        if (c.button == button) return &c;
    return button == 0 && !calcs_.empty() ? &calcs_.front() : nullptr;
}

bool FormWindow::stale(int button) const {
    const Calculation* c = calculation(button);
    const std::size_t k = c ? std::size_t(c - calcs_.data()) : stale_.size();
    return k < stale_.size() && stale_[k];
}

void FormWindow::setStale(const Calculation& c, bool on) {
    stale_.resize(calcs_.size());
    stale_[std::size_t(&c - calcs_.data())] = on;
    std::vector<int> shown = resultsOf(c);
    shown.insert(shown.end(), c.produced.begin(), c.produced.end());
    for (int id : shown) setGreyed(id, on && !text(id).empty());
}

void FormWindow::typedInto(const Field& input) {
    bool any = false;
    for (const Calculation& c : calcs_)
        if (input.in(c.group) && !stale(c.button)) {
            setStale(c, true);
            any = true;
        }
    if (any) resultsStale();
}

bool FormWindow::onCommand(int id, ui::Notify code) {
    if (code == ui::Notify::Clicked && id != 0) {
        if (id == pick_.button) {
            pickCore();
            return true;
        }
        if (const Calculation* c = calculation(id)) {
            run(*c);
            return true;
        }
    }
    if (code == ui::Notify::Changed) {
        const Field* f = fieldOf(id);
        // Emptying a field of a live form computes nothing: what it shows goes stale.
        if (f && f->input() && live_) {
            if (!text(id).empty()) edited(id);
            else typedInto(*f);
            return true;
        }
        if (f && f->input()) typedInto(*f);
    }
    return onOtherCommand(id, code);
}

bool FormWindow::run(int button, bool pause) {
    const Calculation* c = calculation(button);
    return c && run(*c, pause);
}

bool FormWindow::refuse(std::string_view message) {
    if (running_) {
        stop_ = std::string(message);
        return false;
    }
    blankResults();
    say(message);
    return false;
}

// ---------------------------------------------------------------- the protocol

bool FormWindow::holds(const Precondition& p) {
    for (int c : p.controls) {
        const bool holds = p.kind == Precondition::Kind::Filled ? !text(c).empty()
                           : p.kind == Precondition::Kind::NonZero ? fieldOf(c)->value.get() != 0
                                                                   : true;
        if (!holds) {
            say(p.message, ui::Icon::Warning);
            return false;
        }
    }
    return true;
}

std::vector<int> FormWindow::resultsOf(const Calculation& c) const {
    if (!c.results.empty()) return c.results;
    std::vector<int> ids;
    for (const Field& f : fields_)
        if (f.role == Role::Result && f.in(c.group)) ids.push_back(f.control);
    return ids;
}

FormWindow::Fill FormWindow::fillForRead(const Calculation& c) {
    Fill fill;
    if (policy_.read != Read::Every) return fill;
    if (c.results.empty() && policy_.fill == Policy::Fill::BlankResults) {
        for (const Field& f : fields_)
            if (f.role == Role::Result && f.in(c.group) && text(f.control).empty()) fill.controls.push_back(f.control);
    } else {
        fill.controls = resultsOf(c);
    }
    for (int id : c.blankAsZero)
        if (text(id).empty()) fill.blankAsZero.push_back(id);
    fill.controls.insert(fill.controls.end(), fill.blankAsZero.begin(), fill.blankAsZero.end());
    for (int id : fill.controls) {
        fill.before.push_back(text(id));
        setText(id, "0");
    }
    return fill;
}

bool FormWindow::readField(Field& f) {
    double v = 0;
    if (!ui::parseNumber(text(f.control), v) || (f.value.single() && std::fabs(v) > kFloatMax)) {
        unreadable_ = f.control;
        return false;
    }
    f.value.set(v);
    return true;
}

bool FormWindow::readQuietly(int group) {
    for (Field& f : fields_)
        if (f.input() && f.in(group) && enabled(f.control) && !readField(f)) return false;
    return true;
}

bool FormWindow::read(const Calculation& c) {
    if (policy_.read == Read::Quiet) return readQuietly(c.group);
    return readFields(c.group, policy_.read == Read::Inputs);
}

bool FormWindow::readFields(int group, bool inputsOnly) {
    for (Field& f : fields_)
        if (f.in(group) && (!inputsOnly || f.input()) && !readField(f)) return false;
    return true;
}

std::string FormWindow::unreadableMessage(std::string_view lead) const {
    double v = 0;
    const std::string named = ui::parseNumber(text(unreadable_), v)
                                  ? services::tooLargeMessage(labelOf(unreadable_))
                                  : services::notANumberMessage(labelOf(unreadable_), text(unreadable_));
    return lead.empty() ? named : std::string(lead) + "\n" + named;
}

std::optional<std::string> FormWindow::rangeProblem(const Calculation& c, const Fill& fill) {
    for (const Field& f : fields_) {
        if (!f.input() || !f.in(c.group) || f.range == Range::Any || !enabled(f.control) || !uses(f.control) ||
            contains(fill.blankAsZero, f.control))
            continue;
        if (!services::inRange(f.range, f.value.get())) return services::rangeMessage(f.range, labelOf(f.control));
    }
    return std::nullopt;
}

std::optional<std::string> FormWindow::orderProblem(const Calculation& c, const Fill& fill) {
    const auto checked = [&](int id) {
        const Field* f = fieldOf(id);
        return f && f->input() && f->in(c.group) && enabled(id) && uses(id) && !contains(fill.blankAsZero, id);
    };
    for (const Order& o : orders_) {
        if (!checked(o.lower) || !checked(o.upper)) continue;
        const double lo = fieldOf(o.lower)->value.get(), hi = fieldOf(o.upper)->value.get();
        if (o.strict ? !(lo < hi) : lo > hi)
            return o.strict ? services::orderMessage(labelOf(o.upper), labelOf(o.lower))
                            : services::belowMessage(labelOf(o.upper), labelOf(o.lower));
    }
    return std::nullopt;
}

bool FormWindow::finite(const Calculation& c) const {
    for (const Field& f : fields_)
        if (f.in(c.group) && !std::isfinite(f.value.get())) return false;
    return true;
}

bool FormWindow::fail(const Calculation& c, const Fill& fill, std::string_view message, std::optional<ui::Icon> icon,
                      Outcome o) {
    if (policy_.failure == Policy::Failure::Restore) {
        // A calculation that does not go through leaves every control as it was.
        for (std::size_t k = 0; k < fill.controls.size(); ++k) setText(fill.controls[k], fill.before[k]);
    } else {
        blank(resultsOf(c));
        blank(fill.blankAsZero);
    }
    // What stays on show of its results no longer belongs to the inputs.
    setStale(c, true);
    resultsStale();
    say(message, icon);
    lastShown_ = Shown::None;
    finished({c.button, Shown::None, std::move(o)});
    return false;
}

void FormWindow::pause(Pause p) {
    if (p == Pause::CalculatingBox || p == Pause::CalculatingBoxFirst) services::showCalculating(*this);
    else if (p == Pause::ProgressPause) services::showProgressPause(*this);
}

bool FormWindow::run(const Calculation& c, bool withPause) {
    struct Running {
        FormWindow& w;
        const Calculation* outer;
        ~Running() { w.running_ = outer; }
    } running{*this, running_};
    running_ = &c;
    stop_.reset();
    const bool live = live_ && !c.button;

    // Precondition; results blank (or "0" in them) for the read; read.
    if (!holds(c.first)) return false;
    if (policy_.read != Read::Every) blankResults(c.group);
    if (!live && withPause && c.pause == Pause::CalculatingBoxFirst) pause(c.pause);
    const Fill fill = fillForRead(c);
    if (!read(c)) return fail(c, fill, unreadableMessage(c.incomplete), ui::Icon::Warning);

    // The user's formula file, or range checks, the window's check and the calculation.
    Outcome o;
    bool formulaOdd = false;
    const bool byFormula = hook_ && hook_->formulaInUse();
    if (byFormula) {
        if (!hook_->runFormula(c)) return fail(c, fill, {});
        formulaOdd = !finite(c);
    } else {
        if (const auto problem = rangeProblem(c, fill)) return fail(c, fill, *problem, ui::Icon::Warning);
        if (const auto problem = orderProblem(c, fill)) return fail(c, fill, *problem, ui::Icon::Warning);
        const std::vector<double> before = values();
        if (check() && !stop_) {
            if (c.run) o = c.run();
            else compute();
        } else if (!stop_) {
            stop_ = std::string();
        }
        if (!stop_ && o.stop) stop_ = messageOf(o.stop);
        if (!stop_ && !live && policy_.finite == Policy::Finite::Whole && !finite(c))
            stop_ = c.culprit ? services::noResultMessage(labelOf(c.culprit)) : std::string(kNotFinite);
        if (stop_) {
            // A calculation that stops leaves the fields as it found them.
            setValues(before);
            return fail(c, fill, *stop_, {}, o.stop ? o : Outcome{});
        }
    }

    // Pause, write, blanks back, notices.
    if (policy_.notices == Policy::Notices::First)
        for (int n : o.notices) say(messageOf(n));
    blank(fill.controls);
    if (!live && withPause && c.pause != Pause::CalculatingBoxFirst) pause(c.pause);
    if (live) setStatus("");
    lastShown_ = finite(c) ? Shown::All : Shown::Partly;
    writeFields(c.group);
    setStale(c, false);
    std::vector<int> blanks;
    for (int id : fill.blankAsZero)
        if (!contains(c.produced, id)) blanks.push_back(id);
    blank(blanks);
    blank(c.blankAfter);
    if (formulaOdd) say(kFormulaNotFinite);
    noteShown(c);
    finished({c.button, lastShown_, o, byFormula});
    if (policy_.notices == Policy::Notices::Last)
        for (int n : o.notices) say(messageOf(n));
    return true;
}

// ---------------------------------------------------------------- core pick

void FormWindow::pickCore() {
    if (pick_.blankFirst) blankResults();
    beforePick();
    if (policy_.read == Read::Quiet && !readQuietly()) {
        messageBox(unreadableMessage(pick_.unreadable), ui::kAppName, ui::Icon::Warning);
        return;
    }
    const std::optional<double> ae = services::pickCoreAe(*this, pick_.mode);
    const bool taken = ae && std::isfinite(*ae) && *ae > 0 && *ae <= kFloatMax;
    if (taken) {
        // Only Ae is written: inputs typed since the last calculation stay as typed.
        Field* f = fieldOf(pick_.ae);
        f->value.set(*ae);
        writeField(*f);
        run(pick_.rerun);
    }
    corePicked(taken);
}

} // namespace kv::form
