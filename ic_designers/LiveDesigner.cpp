#include "ic_designers/LiveDesigner.h"

#include "services/Progress.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace kv::ic {

std::string sevenDigits(double v) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 7);
    std::string s(buf, r.ptr);
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

LiveDesigner::LiveDesigner(int templateId, ui::Dialog* parent, Protocol p) : Dialog(templateId, parent), p_(p) {
    if (!p_.unreadableStatus) p_.unreadableStatus = p_.unreadable;
}

void LiveDesigner::bindInput(int edit, float& v, services::Range r) { fields_.push_back({edit, &v, false, r}); }
void LiveDesigner::bindResult(int edit, float& v) { fields_.push_back({edit, &v, true, services::Range::Any}); }

void LiveDesigner::setCorePick(int button, int aeEdit, float& ae, char mode) {
    coreButton_ = button;
    coreEdit_ = aeEdit;
    coreAe_ = &ae;
    coreMode_ = mode;
}

void LiveDesigner::onInitDialog() {
    writeInputs();
    blankResults();
    setUp();
}

void LiveDesigner::setUp() {
    if (p_.live) recompute();
}

bool LiveDesigner::isInput(int id) const {
    for (const Field& f : fields_)
        if (f.edit == id) return !f.result;
    return false;
}

bool LiveDesigner::onCommand(int id, ui::Notify code) {
    if (onDesignerCommand(id, code)) return true;
    if (code == ui::Notify::Clicked && p_.button != 0 && id == p_.button) {
        recompute();
        return true;
    }
    if (code == ui::Notify::Clicked && coreButton_ != 0 && id == coreButton_) {
        pickCore();
        return true;
    }
    // Emptying a field computes nothing.
    if (code == ui::Notify::Changed && p_.live && isInput(id)) {
        if (!text(id).empty()) edited(id);
        return true;
    }
    return false;
}

void LiveDesigner::onOk() {
    if (p_.button == ui::IdOk) recompute();
}

std::string LiveDesigner::labelOf(int id) const {
    std::string label;
    for (const ui::ControlState& c : controls()) {
        if (c.tpl.id == id) return label;
        if (c.tpl.kind == ui::Kind::Static) label = c.text;
    }
    return label;
}

bool LiveDesigner::readInputs() {
    for (const Field& f : fields_) {
        if (f.result || !enabled(f.edit)) continue;
        double v = 0;
        if (!ui::parseNumber(text(f.edit), v) || std::fabs(v) > std::numeric_limits<float>::max()) return false;
        *f.value = float(v);
    }
    return true;
}

std::string LiveDesigner::rangeProblem() const {
    for (const Field& f : fields_)
        if (!f.result && enabled(f.edit) && !services::inRange(f.range, *f.value))
            return services::rangeMessage(f.range, labelOf(f.edit));
    return {};
}

void LiveDesigner::writeInputs() {
    for (const Field& f : fields_) {
        if (f.result) continue;
        if (enabled(f.edit)) writeFloat(f.edit, *f.value);
        else setText(f.edit, "");
    }
}

void LiveDesigner::blankResults() {
    for (const Field& f : fields_)
        if (f.result) setText(f.edit, "");
}

bool LiveDesigner::writeResults() {
    bool finite = true;
    for (const Field& f : fields_) {
        if (!f.result) continue;
        if (!std::isfinite(*f.value)) {
            setText(f.edit, "");
            finite = false;
        } else {
            setText(f.edit, p_.sevenDigits ? sevenDigits(*f.value) : ui::formatFloat(*f.value));
        }
    }
    return finite;
}

void LiveDesigner::setStatus(std::string text) {
    status_ = std::move(text);
    if (p_.status) setText(p_.status, status_);
}

void LiveDesigner::report(const std::string& text) {
    if (p_.live) setStatus(text);
    else messageBox(text, ui::kAppName, ui::Icon::Warning);
}

void LiveDesigner::recompute() {
    if (!p_.live) {
        blankResults();
        if (p_.calculatingBox) services::showCalculating(*this);
    }
    shown_ = Shown::None;
    std::string stop;
    if (!readInputs()) stop = p_.live ? p_.unreadableStatus : p_.unreadable;
    else if (stop = rangeProblem(); stop.empty()) stop = compute();
    if (!stop.empty()) {
        blankResults();
        report(stop);
        shown(shown_);
        return;
    }
    if (p_.live) setStatus("");
    const bool finite = writeResults();
    if (!finite && !p_.live) {
        // A button's results stand whole or not at all.
        blankResults();
        report(services::noResultMessage(labelOf(p_.culprit)));
    } else {
        shown_ = finite ? Shown::All : Shown::Partly;
    }
    shown(shown_);
}

void LiveDesigner::beforePick() {
    if (!p_.live) blankResults();
}

void LiveDesigner::pickCore() {
    beforePick();
    if (!readInputs()) {
        messageBox(p_.unreadable, ui::kAppName, ui::Icon::Warning);
        return;
    }
    const std::optional<double> ae = services::pickCoreAe(*this, coreMode_);
    if (!ae || !std::isfinite(*ae) || *ae <= 0 || *ae > std::numeric_limits<float>::max()) return;
    *coreAe_ = float(*ae);
    writeFloat(coreEdit_, *coreAe_);
    recompute();
}

} // namespace kv::ic
