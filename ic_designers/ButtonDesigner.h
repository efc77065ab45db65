// The frame of the controller designers that compute on a button press:
// number fields bound to edit controls, the protocol of each computation
// button (read its inputs, range checks naming the input by its label, the
// pure calculation on a trial copy, calculating box, write back, notices),
// and the core pick that hands back Ae through the handshake in mode '*'.
// A designer is its tables, its pure calculations and its particulars.
#pragma once

#include "ic_designers/ButtonOutcome.h"
#include "platform/ui/Dialog.h"
#include "services/InputRange.h"

#include <functional>
#include <span>
#include <vector>

namespace kv::ic {

using services::Range;

enum class Role { Input, Result };

// One row of a designer's field table. The start value is the design
// record's own; `group` says which computation reads or writes the field.
template <class D>
struct Field {
    int edit;
    float D::*value;
    Role role;
    Range range = Range::Any;
    int group = 0;
};

// One computation button: its pure calculation over the design record, the
// message when one of its inputs is not a number, and its group of fields.
template <class D>
struct Button {
    int id;
    ButtonOutcome (*calc)(D& design);
    const char* unreadable;
    int group = 0;
};

struct Message {
    int code;
    const char* text;
};

// The core-selection button, the Ae field it fills, the computation that
// runs after a pick, and whether the results are blanked before the pick.
struct CorePick {
    int button = 0;
    int aeEdit = 0;
    int rerun = 0;
    bool blankFirst = false;
};

class ButtonDesigner : public ui::Dialog {
public:
    void onInitDialog() override;
    bool onCommand(int id, ui::Notify code) override;
    // Modeless: Cancel, Esc and the close box destroy the window.
    void onCancel() override { close(); }

protected:
    struct Bound {
        int edit;
        float* value;
        Role role;
        Range range;
        int group;
    };
    struct Action {
        int id;
        std::function<ButtonOutcome()> calc; // on a trial copy; the design changes only without a stop
        const char* unreadable;
        int group;
    };

    ButtonDesigner(int templateId, ui::Dialog* parent) : Dialog(templateId, parent) {}
    void setTables(std::vector<Bound> fields, std::vector<Action> actions, std::span<const Message> messages,
                   CorePick pick);

    // Runs computation `id`; true when its results are shown.
    bool compute(int id, bool pause = true);
    // The results of `group` blanked.
    void blankResults(int group);
    void writeFields(int group);

    // ---- particulars ---------------------------------------------------------
    // After the results of `action` are written (before its notices).
    virtual void shown(int /*action*/, const ButtonOutcome& /*o*/) {}
    // The results of `action` are blank: an input was not a number or out of
    // range, or the calculation stopped.
    virtual void failed(int /*action*/) {}
    // After a core pick, whether or not a core was taken.
    virtual void corePicked(bool /*taken*/) {}
    virtual bool onOtherCommand(int /*id*/, ui::Notify /*code*/) { return false; }
    // Text colours that follow the results.
    virtual void refreshColours() {}

private:
    bool readInputs(const Action& a);
    bool inputsInRange(const Action& a);
    const char* messageOf(int code) const;
    void pickCore();

    std::vector<Bound> fields_;
    std::vector<Action> actions_;
    std::span<const Message> messages_;
    CorePick pick_;
    bool firstExchangeDone_ = false;
};

// A designer over a design record D: the fields are D's members.
template <class D>
class RecordDesigner : public ButtonDesigner {
public:
    D design;

protected:
    RecordDesigner(int templateId, ui::Dialog* parent, std::span<const Field<D>> fields,
                  std::span<const Button<D>> buttons, std::span<const Message> messages, CorePick pick = {})
        : ButtonDesigner(templateId, parent) {
        std::vector<Bound> bound;
        for (const Field<D>& f : fields) bound.push_back({f.edit, &(design.*f.value), f.role, f.range, f.group});
        std::vector<Action> actions;
        for (const Button<D>& b : buttons) {
            auto calc = b.calc;
            actions.push_back({b.id,
                               [this, calc] {
                                   D trial = design;
                                   const ButtonOutcome o = calc(trial);
                                   if (!o.stop) design = trial;
                                   return o;
                               },
                               b.unreadable, b.group});
        }
        setTables(std::move(bound), std::move(actions), messages, pick);
    }
};

} // namespace kv::ic
