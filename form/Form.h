// The form every calculating window of Korvane is: number fields bound to
// edit controls, and the protocol of a calculation written once. A
// calculation runs on a button or live, on every edit of an input:
//
//   precondition, results blanked (or "0" put into them so that they read),
//   read, range checks naming the input by its label, the window's check,
//   the calculation (on a trial: a stop leaves every field as it was), finite
//   check, pause box, write, blanks back, notices.
//
// Results that no longer belong to the inputs are stale until their
// calculation goes through again: the user typed into an input it reads, or
// it did not go through. Stale results that stay on show are greyed.
//
// What tells the families of windows apart is their Policy (below) and the
// rows of their calculations; a classic designer adds its formula files
// through a FormulaHook. A button form speaks in message boxes, a live one in
// its status line.
#pragma once

#include "form/DesignKeeper.h"
#include "form/Field.h"
#include "form/Outcome.h"
#include "platform/ui/Dialog.h"

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kv::form {

// How a family of windows runs the protocol.
struct Policy {
    // A field that holds no number stops the read: one message, the
    // calculation's own text with the field named by its label.
    enum class Read {
        Every,  // every field of the calculation, results "0" first
        Inputs, // the inputs of the calculation's group; the results blank meanwhile
        Quiet,  // the enabled inputs; the results blank meanwhile.
                // A quiet form shows disabled inputs blank and never rewrites an input.
    };
    // With Read::Every: the results that read "0", the blank ones or all of the calculation's.
    enum class Fill { BlankResults, Results };
    // A calculation that does not go through: the controls filled for the read show
    // what they showed (earlier results stay), or the calculation's results blank.
    enum class Failure { Restore, Blank };
    // Results that are not finite stop the calculation, or show blank (a live form always).
    enum class Finite { Whole, Partly };
    // The calculation's notices before its pause box, or after its results.
    enum class Notices { First, Last };

    Read read;
    Fill fill;
    Failure failure;
    Finite finite;
    Notices notices;
    ui::Icon icon; // of the form's messages; those of a range check always warn
};

// The classic topology designers: earlier results stay when a calculation stops.
inline constexpr Policy kClassic{Policy::Read::Every, Policy::Fill::BlankResults, Policy::Failure::Restore,
                                 Policy::Finite::Whole, Policy::Notices::First, ui::Icon::Warning};
// The calculator pages of the toolbox and the loop sheet.
inline constexpr Policy kPage{Policy::Read::Every, Policy::Fill::Results, Policy::Failure::Blank,
                              Policy::Finite::Whole, Policy::Notices::First, ui::Icon::Warning};
// The controller designers over a design record (LLC, QR, OB2269): a result
// that is not finite shows blank, the others stand.
inline constexpr Policy kRecord{Policy::Read::Inputs, Policy::Fill::Results, Policy::Failure::Blank,
                                Policy::Finite::Partly, Policy::Notices::Last, ui::Icon::None};
// The controller designers of the solutions list (single-stage PFC, LED drivers).
inline constexpr Policy kQuiet{Policy::Read::Quiet, Policy::Fill::Results, Policy::Failure::Blank,
                               Policy::Finite::Whole, Policy::Notices::Last, ui::Icon::Warning};

enum class Pause {
    None,
    CalculatingBox,      // before the results are written
    ProgressPause,       // before the results are written
    CalculatingBoxFirst, // as the calculation starts
};

// A condition checked before anything else, with its message: every control
// holds text, or every field's value is not 0.
struct Precondition {
    enum class Kind { None, Filled, NonZero } kind = Kind::None;
    std::vector<int> controls = {};
    const char* message = nullptr;
};

// Two inputs of a range: `lower` above `upper` is refused naming both (with
// `strict`, `lower` must stay below `upper`: the formulas divide by the span).
struct Order {
    int lower = 0;
    int upper = 0;
    bool strict = false;
};

struct Calculation {
    int button = 0;                    // the button that runs it; 0: the window does (live, at start)
    std::function<Outcome()> run = {}; // the pure calculation; empty: the window's compute()
    const char* incomplete = "";       // said when a field it reads holds no number
    int group = kEveryGroup;           // the fields it reads and writes
    std::vector<int> results = {};     // the results it computes; empty: every result of its group
    std::vector<int> blankAsZero = {}; // inputs (or results) that may be blank: "0" for the read, blank after
    std::vector<int> produced = {};    // blank-as-zero fields it computes: shown after
    std::vector<int> blankAfter = {};  // results blanked once shown
    Pause pause = Pause::CalculatingBox;
    int culprit = 0;                   // the input named when results are not finite; 0: the conditions
    Precondition first = {};
    std::vector<int> standIns = {};    // a formula file sees these as 1
    bool formulaMustSucceed = true;    // a formula run that returned false shows nothing
};

enum class Shown { None, Partly, All };

// What a calculation showed, for the window's particulars.
struct Run {
    int button;
    Shown shown;
    Outcome outcome;
    bool byFormula = false; // the user's formula file computed them, not the built-in calculation
};

// The core database opened by a button: the chosen core's Ae (a number above
// 0) goes into its field and a calculation runs.
struct CorePick {
    int button = 0;
    int ae = 0;                    // the Ae field's control
    char mode = '*';               // of the handshake slot
    int rerun = 0;                 // the button of the calculation run after; 0: the form's first
    bool blankFirst = false;       // the results blank before the pick
    const char* unreadable = "";   // a quiet form reads its inputs first: said when one holds no number
};

// A classic designer's formula files: when the user's file computes, it runs
// instead of the range checks and the built-in calculation.
class FormulaHook {
public:
    virtual ~FormulaHook() = default;
    virtual bool formulaInUse() = 0;
    // Runs the file over the fields; false when nothing is to be shown (the
    // fields are as they were).
    virtual bool runFormula(const Calculation& c) = 0;
};

// Said when the design conditions give no finite results.
inline constexpr const char* kNotFinite = "输入有误：这组设计条件得不到有效的计算结果，请检查输入！";
// Said after a formula file left values that are not finite (shown blank).
inline constexpr const char* kFormulaNotFinite = "注意：公式计算结果中有无效数值（无穷大或非数），这些结果已留空！";

class FormWindow : public ui::Dialog, public DesignKeeper {
public:
    const std::vector<Field>& fields() const { return fields_; }
    Field* fieldOf(int control);
    const Field* fieldOf(int control) const;
    // The control of formula name `name`, or 0.
    int controlOf(std::string_view name) const;
    // The control showing value `v` (a member of the design record), or 0.
    int controlOf(const float& v) const;
    // The label naming field `control` as it reads now.
    std::string labelOf(int control) const;

    // The first exchange: inputs shown (a quiet form's disabled ones blank), the rest blank.
    void onInitDialog() override;
    bool onCommand(int id, ui::Notify code) override;

    // Runs calculation `c` (without its pause box when `pause` is false);
    // true when its results are shown.
    bool run(const Calculation& c, bool pause = true);
    // The calculation of `button` (0: the form's first).
    bool run(int button = 0, bool pause = true);
    // What the last calculation showed, and the status line of a live form.
    Shown lastShown() const { return lastShown_; }
    // Whether the results of the calculation of `button` (0: the form's
    // first) no longer belong to the inputs.
    bool stale(int button = 0) const;
    const std::string& status() const { return status_; }

    // ---- the design kept as a file (form/FormDesign.cpp) ---------------------------
    // A form that calculates keeps its design: its lists by the label before
    // each, its inputs by formula name, its results for reading, and the
    // buttons whose results it shows, in the order they ran.
    bool keepsDesigns() const override { return !calcs_.empty(); }
    ui::Dialog& designWindow() override { return *this; }
    std::variant<Design, std::string> currentDesign() override;
    std::optional<std::string> misfit(const Design& d) override;
    void restore(const Design& d) override;
    std::vector<ui::SysMenuItem> windowMenu() const override;
    void onSysCommand(int id) override;

protected:
    FormWindow(int templateId, ui::Dialog* parent, Policy policy);
    FormWindow(ui::DialogTemplate tpl, ui::Dialog* parent, Policy policy);

    // ---- set-up ----------------------------------------------------------------
    void setFields(std::vector<Field> fields) { fields_ = std::move(fields); }
    void setCalculations(std::vector<Calculation> calcs) { calcs_ = std::move(calcs); }
    void setMessages(std::span<const Message> messages) { messages_ = messages; }
    // The ranges the inputs make, checked after the range checks.
    void setOrders(std::vector<Order> orders) { orders_ = std::move(orders); }
    // Every edit of an input to a non-empty text runs the first calculation;
    // its messages go to static `status`.
    void setLive(int status) { live_ = status; }
    bool live() const { return live_ != 0; }
    void setCorePick(CorePick pick) { pick_ = pick; }
    void setFormulaHook(FormulaHook* hook) { hook_ = hook; }
    // Results shown with `digits` significant digits.
    void setResultDigits(int digits);

    // ---- the window's particulars -----------------------------------------------
    // After the first exchange.
    virtual void opened() {}
    // Before the calculation, after the range checks: false (or a refuse()) stops.
    virtual bool check() { return true; }
    // The calculation of a row without one of its own; it may refuse().
    virtual void compute() {}
    // Whether the running calculation takes input `control`: only those are range-checked.
    virtual bool uses(int /*control*/) const { return true; }
    // After a calculation, shown or not.
    virtual void finished(const Run& /*r*/) {}
    // After controls of the form were blanked.
    virtual void resultsBlanked() {}
    // After results went stale: what the window draws from them follows.
    virtual void resultsStale() {}
    // An input of a live form was edited to a non-empty text: by default it recomputes.
    virtual void edited(int /*control*/) { run(); }
    // Before the core pick.
    virtual void beforePick() {}
    // After the core pick, whether or not a core was taken.
    virtual void corePicked(bool /*taken*/) {}
    virtual bool onOtherCommand(int /*id*/, ui::Notify /*code*/) { return false; }
    // A design's inputs beyond the fields and lists (a chosen core by name):
    // written after the lists; on opening each is checked (a message when it
    // does not fit) and handed back before the fields.
    virtual std::vector<DesignLine> extraInputs() const { return {}; }
    virtual std::optional<std::string> extraMisfit(const DesignLine& /*line*/) const { return std::nullopt; }
    virtual void restoreExtra(const DesignLine& /*line*/) {}

    // ---- steps --------------------------------------------------------------------
    // The running calculation stops with `message`; outside one the results
    // blank and the message is said. False.
    bool refuse(std::string_view message);
    // The button of the running calculation, 0 outside one.
    int running() const { return running_ ? running_->button : 0; }
    // Reads the fields of `group` (only its inputs with `inputsOnly`); false at
    // the first control that holds no number (`unreadableMessage` names it),
    // the fields read before it keeping their new values. Says nothing.
    bool readFields(int group = kEveryGroup, bool inputsOnly = false);
    // Reads the enabled inputs of `group` the same way.
    bool readQuietly(int group = kEveryGroup);
    // `lead` (a window's own words, may be empty) and the field the last read
    // stopped at, named by its label with what it holds: one message.
    std::string unreadableMessage(std::string_view lead) const;
    void writeField(const Field& f);
    void writeFields(int group = kEveryGroup);
    // The inputs (a quiet form's disabled ones blank).
    void writeInputs();
    void blankResults(int group = kEveryGroup);
    void blank(std::span<const int> controls);
    void setStatus(std::string text);
    // Every field's value, in the order of the fields, and back.
    std::vector<double> values() const;
    void setValues(const std::vector<double>& v);
    // The message of a code, "{Name}" replaced by the label of formula name Name.
    std::string messageOf(int code) const;
    // A message box of the form, or its status line when live.
    void say(std::string_view text, std::optional<ui::Icon> icon = {});

private:
    struct Fill {
        std::vector<int> controls;        // put to "0" for the read
        std::vector<std::string> before;  // what they showed
        std::vector<int> blankAsZero;     // the blank-as-zero fields that were blank
    };
    const Calculation* calculation(int button) const;
    bool holds(const Precondition& p);
    std::vector<int> resultsOf(const Calculation& c) const;
    Fill fillForRead(const Calculation& c);
    bool read(const Calculation& c);
    bool readField(Field& f);
    std::optional<std::string> rangeProblem(const Calculation& c, const Fill& fill);
    std::optional<std::string> orderProblem(const Calculation& c, const Fill& fill);
    bool finite(const Calculation& c) const;
    bool fail(const Calculation& c, const Fill& fill, std::string_view message, std::optional<ui::Icon> icon = {},
              Outcome o = {});
    // Calculation `c`'s results stale (those shown greyed), or fresh.
    void setStale(const Calculation& c, bool on);
    // An input typed into: the results of every calculation that reads it go stale.
    void typedInto(const Field& input);
    void pause(Pause p);
    void pickCore();
    // The design file's view (form/FormDesign.cpp): calculation `c` shows its results.
    void noteShown(const Calculation& c);
    // Controls blanked: no calculation shows them any more.
    void forgetShown(std::span<const int> controls);
    std::vector<std::pair<std::string, int>> choices() const;
    std::string nameOf(const Field& f) const;
    bool mayBeBlank(const Field& f) const;

    Policy policy_;
    std::vector<Field> fields_;
    std::vector<Calculation> calcs_;
    std::span<const Message> messages_;
    std::vector<Order> orders_;
    int unreadable_ = 0; // the control the last read stopped at
    CorePick pick_;
    FormulaHook* hook_ = nullptr;
    int live_ = 0;
    const Calculation* running_ = nullptr;
    std::vector<bool> stale_; // per calculation
    std::optional<std::string> stop_;
    Shown lastShown_ = Shown::None;
    std::string status_;
    std::vector<std::pair<int, int>> shownBy_; // result control, button of the calculation it shows
    std::vector<int> runOrder_;                // buttons, in the order they last showed results
};

// `calc` on a trial copy of `record`: the record takes the results only when
// the calculation does not stop.
template <class D, class F>
Outcome onTrial(D& record, F&& calc) {
    D trial = record;
    Outcome o = calc(trial);
    if (!o.stop) record = trial;
    return o;
}

} // namespace kv::form
