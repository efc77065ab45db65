#include "ic_designers/ButtonDesigner.h"

#include "services/CorePick.h"
#include "services/Progress.h"

#include <cmath>

namespace kv::ic {

void ButtonDesigner::setTables(std::vector<Bound> fields, std::vector<Action> actions,
                               std::span<const Message> messages, CorePick pick) {
    fields_ = std::move(fields);
    actions_ = std::move(actions);
    messages_ = messages;
    pick_ = pick;
}

void ButtonDesigner::onInitDialog() {
    if (firstExchangeDone_) return;
    firstExchangeDone_ = true;
    for (const Bound& f : fields_) {
        if (f.role == Role::Input) writeFloat(f.edit, *f.value);
        else setText(f.edit, "");
    }
    refreshColours();
}

bool ButtonDesigner::onCommand(int id, ui::Notify code) {
    if (code == ui::Notify::Clicked) {
        if (id == pick_.button && pick_.button) {
            pickCore();
            return true;
        }
        for (const Action& a : actions_)
            if (a.id == id) {
                compute(id);
                return true;
            }
    }
    return onOtherCommand(id, code);
}

const char* ButtonDesigner::messageOf(int code) const {
    for (const Message& m : messages_)
        if (m.code == code) return m.text;
    return "";
}

void ButtonDesigner::blankResults(int group) {
    for (const Bound& f : fields_)
        if (f.role == Role::Result && f.group == group) setText(f.edit, "");
}

void ButtonDesigner::writeFields(int group) {
    for (const Bound& f : fields_) {
        if (f.group != group) continue;
        // A value that is not a number is never shown as one.
        if (std::isfinite(*f.value)) writeFloat(f.edit, *f.value);
        else setText(f.edit, "");
    }
}

bool ButtonDesigner::readInputs(const Action& a) {
    for (const Bound& f : fields_)
        if (f.role == Role::Input && f.group == a.group && !readFloat(f.edit, *f.value)) return false;
    return true;
}

bool ButtonDesigner::inputsInRange(const Action& a) {
    for (const Bound& f : fields_) {
        if (f.role != Role::Input || f.group != a.group || services::inRange(f.range, *f.value)) continue;
        messageBox(services::rangeMessage(f.range, labelBefore(f.edit)), ui::kAppName, ui::Icon::Warning);
        return false;
    }
    return true;
}

bool ButtonDesigner::compute(int id, bool pause) {
    const Action* a = nullptr;
    for (const Action& x : actions_)
        if (x.id == id) a = &x;
    if (!a) return false;
    const auto fail = [&](const char* message, ui::Icon icon) {
        blankResults(a->group);
        if (message) messageBox(message, ui::kAppName, icon);
        failed(a->id);
        refreshColours();
        return false;
    };
    if (!readInputs(*a)) return fail(a->unreadable, ui::Icon::None);
    if (!inputsInRange(*a)) return fail(nullptr, ui::Icon::None);
    blankResults(a->group);
    const ButtonOutcome o = a->calc();
    if (o.stop) return fail(messageOf(o.stop), ui::Icon::None);
    if (pause) services::showCalculating(*this);
    writeFields(a->group);
    refreshColours();
    shown(a->id, o);
    for (int n : o.notices) messageBox(messageOf(n), ui::kAppName, ui::Icon::None);
    return true;
}

void ButtonDesigner::pickCore() {
    if (pick_.blankFirst)
        for (const Action& a : actions_) blankResults(a.group);
    const std::optional<double> ae = services::pickCoreAe(*this, '*');
    if (ae) {
        // Only Ae is written: inputs typed since the last computation stay as typed.
        for (const Bound& f : fields_)
            if (f.edit == pick_.aeEdit) {
                *f.value = float(*ae);
                writeFloat(f.edit, *f.value);
            }
        compute(pick_.rerun);
    }
    corePicked(ae.has_value());
}

} // namespace kv::ic
