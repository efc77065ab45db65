// The form's protocol on a resistive divider: Vout = Vin·Rb/(Rt+Rb), the
// current through both resistors and the power they take, checked by the
// divider's own laws (Kirchhoff and the power balance), never by the formula.
// Each policy of a window family is driven through its own differences.
#include "form/Form.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "services/Templates.h"
#include "services/CorePick.h"
#include "services/Settings.h"
#include "services/Windows.h"
#include "tests/common/HeadlessPages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kv::test {
namespace {

using form::Role;
using form::Range;

enum : int {
    kCalc = 1, kLoad = 2, kPick = 3,
    kVinLabel = 1101, kVin = 1001, kRt = 1002, kRbLabel = 1103, kRb = 1003,
    kVout = 1004, kI = 1005, kP = 1006, kRload = 1007, kVload = 1008, kStatus = 1200,
};

ui::DialogTemplate dividerTemplate() {
    using ui::Kind;
    ui::DialogTemplate t;
    t.id = 9001;
    t.caption = "分压器";
    t.controls = {
        {kVinLabel, Kind::Static, "输入电压(V)"}, {kVin, Kind::Edit, ""},
        {-1, Kind::Static, "上电阻(kΩ)"},        {kRt, Kind::Edit, ""},
        {kRbLabel, Kind::Static, "下电阻(kΩ)"},  {kRb, Kind::Edit, ""},
        {-1, Kind::Static, "输出电压(V)"},       {kVout, Kind::Edit, ""},
        {-1, Kind::Static, "电流(mA)"},          {kI, Kind::Edit, ""},
        {-1, Kind::Static, "功率(mW)"},          {kP, Kind::Edit, ""},
        {-1, Kind::Static, "负载电阻(kΩ)"},      {kRload, Kind::Edit, ""},
        {-1, Kind::Static, "负载电压(V)"},       {kVload, Kind::Edit, ""},
        {kStatus, Kind::Static, ""},
        {kCalc, Kind::Button, "计算"},           {kLoad, Kind::Button, "负载"},
        {kPick, Kind::Button, "选择磁芯"},
    };
    return t;
}

struct Record {
    float vin = 12, rt = 10, rb = 2, vout = 0, i = 0, p = 0, rload = 2, vload = 0;
};

constexpr int kTooLow = 1, kHeavyLoad = 2;
const form::Message kMessages[] = {
    {kTooLow, "输入有误：“{Vin}”太低了！"},
    {kHeavyLoad, "提示：负载比下电阻还重。"},
};

form::Outcome divide(Record& r) {
    if (r.vin < 1) return form::Outcome::stopped(kTooLow);
    r.i = r.vin / (r.rt + r.rb);  // mA for kΩ
    r.vout = r.i * r.rb;
    r.p = r.vin * r.i;            // mW
    return {};
}

form::Outcome load(Record& r) {
    const float rp = r.rb * r.rload / (r.rb + r.rload);
    r.vload = r.vin * rp / (r.rt + rp);
    form::Outcome o;
    if (r.rload < r.rb) o.notice(kHeavyLoad);
    return o;
}

// The divider as a window of any family.
class Divider : public form::FormWindow {
public:
    Record design;
    int finishedRuns = 0;
    form::Run last{0, form::Shown::None, {}};
    bool check_ = true;

    Divider(form::Policy p, std::vector<form::Calculation> calcs = {}, ui::DialogTemplate t = dividerTemplate())
        : FormWindow(std::move(t), nullptr, p) {
        Record& d = design;
        setFields({
            {"Vin", kVin, kVinLabel, d.vin, Role::Input, Range::Positive},
            {"Rt", kRt, 0, d.rt, Role::Input, Range::Positive},
            {"Rb", kRb, kRbLabel, d.rb, Role::Input, Range::Positive},
            {"Vout", kVout, 0, d.vout, Role::Result},
            {"I", kI, 0, d.i, Role::Result},
            {"P", kP, 0, d.p, Role::Result},
        });
        if (calcs.empty())
            calcs = {{.button = kCalc, .run = [this] { return form::onTrial(design, divide); }, .incomplete = "请输入完整的条件！"}};
        setCalculations(std::move(calcs));
        setMessages(kMessages);
    }
    using FormWindow::setCalculations;
    using FormWindow::setCorePick;
    using FormWindow::setFields;
    using FormWindow::setFormulaHook;
    using FormWindow::setLive;
    using FormWindow::setOrders;
    using FormWindow::setResultDigits;

protected:
    bool check() override { return check_ || refuse("检查未通过！"); }
    void finished(const form::Run& r) override {
        ++finishedRuns;
        last = r;
    }
};

double shown(const ui::Dialog& w, int id) {
    double v = NAN;
    return ui::parseNumber(w.text(id), v) ? v : NAN;
}

struct Form : HeadlessPages {
    Divider& open(form::Policy p, std::vector<form::Calculation> calcs = {}) {
        return static_cast<Divider&>(hb.openModeless(std::make_unique<Divider>(p, std::move(calcs)), nullptr));
    }
    // A divider whose calculations are made over the window itself.
    template <class Make>
    Divider& openWith(form::Policy p, Make make) {
        auto w = std::make_unique<Divider>(p);
        w->setCalculations(make(*w));
        return static_cast<Divider&>(hb.openModeless(std::move(w), nullptr));
    }
    // Kirchhoff: the two drops make the input; the power is what the input delivers.
    static void expectDividerLaws(const Divider& w) {
        const double vin = shown(w, kVin), rt = shown(w, kRt), i = shown(w, kI), vout = shown(w, kVout);
        EXPECT_NEAR(i * rt + vout, vin, 1e-4 * vin);
        EXPECT_NEAR(shown(w, kP), vin * i, 1e-4 * vin * i);
        EXPECT_NEAR(shown(w, kP), i * i * (rt + shown(w, kRb)), 1e-4 * shown(w, kP));
    }
};

// ---------------------------------------------------------------- every family

TEST_F(Form, OpensWithTheRecordsInputsAndBlankResults) {
    for (form::Policy p : {form::kClassic, form::kPage, form::kRecord, form::kQuiet}) {
        Divider& w = open(p);
        EXPECT_EQ(w.text(kVin), "12");
        EXPECT_EQ(w.text(kRt), "10");
        for (int id : {kVout, kI, kP}) EXPECT_EQ(w.text(id), "") << id;
        w.close();
    }
}

TEST_F(Form, ButtonWritesResultsThatObeyTheDividerLaws) {
    for (form::Policy p : {form::kClassic, form::kPage, form::kRecord, form::kQuiet}) {
        Divider& w = open(p);
        w.setText(kVin, "15");
        w.setText(kRb, "5");
        clear();
        press(w, kCalc);
        EXPECT_TRUE(hb.messages.empty());
        EXPECT_EQ(openedCount(217), 1); // the calculating box
        expectDividerLaws(w);
        EXPECT_EQ(w.text(kVout), "5"); // 15 V over 10 k and 5 k
        EXPECT_EQ(w.lastShown(), form::Shown::All);
        EXPECT_EQ(w.last.button, kCalc);
        w.close();
    }
}

TEST_F(Form, ProgressPauseAndDigitsFollowTheRows) {
    Divider& w = openWith(form::kPage, [](Divider& d) {
        return std::vector<form::Calculation>{{.button = kCalc,
                                               .run = [&d] {
                                                   d.design.p = 1.0f / 3.0f;
                                                   return form::Outcome{};
                                               },
                                               .pause = form::Pause::ProgressPause}};
    });
    press(w, kCalc);
    EXPECT_EQ(openedCount(236), 1);
    EXPECT_EQ(openedCount(217), 0);
    EXPECT_EQ(w.text(kP), "0.333333"); // the exchange's six digits
    w.setResultDigits(7);
    press(w, kCalc);
    EXPECT_EQ(w.text(kP), "0.3333333");
    EXPECT_EQ(w.text(kVin), "12");
}

// ---------------------------------------------------------------- reading

TEST_F(Form, ANonNumberStopsWithOneMessageNamingTheField) {
    Divider& w = open(form::kPage);
    press(w, kCalc);
    const std::string vout = w.text(kVout);
    w.setText(kRt, "1O"); // a letter O
    clear();
    press(w, kCalc);
    EXPECT_EQ(texts(), (std::vector<std::string>{"请输入完整的条件！\n输入有误：“上电阻(kΩ)”中的“1O”不是一个数字，请检查输入！"}));
    // A blank field is named as blank; a long text is cut at a whole character.
    w.setText(kRt, "  ");
    clear();
    press(w, kCalc);
    EXPECT_EQ(texts(), (std::vector<std::string>{"请输入完整的条件！\n输入有误：“上电阻(kΩ)”还没有填写数值，请检查输入！"}));
    w.setText(kRb, "十二点五千欧姆");
    w.setText(kRt, "10");
    clear();
    press(w, kCalc);
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_NE(texts()[0].find("“下电阻(kΩ)”中的“十二点五…”"), std::string::npos) << texts()[0];
    EXPECT_EQ(w.text(kVout), ""); // a page blanks its results
    EXPECT_EQ(w.lastShown(), form::Shown::None);
    EXPECT_NE(vout, "");
}

TEST_F(Form, AClassicDesignerKeepsItsEarlierResultsAndBlanks) {
    Divider& w = open(form::kClassic);
    press(w, kCalc);
    const std::string vout = w.text(kVout);
    w.setText(kP, ""); // a blank result reads "0" and is blank again after a failure
    w.setText(kRt, "x");
    clear();
    press(w, kCalc);
    EXPECT_EQ(hb.messages.size(), 1u);
    EXPECT_EQ(w.text(kVout), vout);
    EXPECT_EQ(w.text(kP), "");
}

TEST_F(Form, AQuietFormReadsWithoutTheExchangesMessageAndSkipsDisabledInputs) {
    Divider& w = open(form::kQuiet);
    w.enable(kRt, false);
    w.design.rt = 4;
    w.setText(kRt, "garbage");
    press(w, kCalc);
    EXPECT_TRUE(hb.messages.empty());
    EXPECT_EQ(w.text(kRt), "garbage"); // never rewritten
    EXPECT_NEAR(shown(w, kI), 12.0 / 6.0, 1e-6); // the disabled input kept its value
    w.setText(kVin, "1e40"); // beyond single precision
    clear();
    press(w, kCalc);
    EXPECT_EQ(texts(), (std::vector<std::string>{"请输入完整的条件！\n输入有误：“输入电压(V)”的数值太大，请检查输入！"}));
}

// ---------------------------------------------------------------- checks

TEST_F(Form, RangeMessagesNameTheLabelAsItReadsNow) {
    Divider& w = open(form::kRecord);
    w.setText(kRb, "0");
    press(w, kCalc);
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_EQ(hb.messages[0].text, "输入有误：“下电阻(kΩ)”必须大于0，请检查输入！");
    EXPECT_EQ(hb.messages[0].icon, ui::Icon::Warning); // a range message warns in every family
    w.setText(kRbLabel, "R2(kΩ)");
    w.setText(kRt, "-1"); // the static before it names the field without a label of its own
    clear();
    press(w, kCalc);
    EXPECT_EQ(hb.messages[0].text, "输入有误：“上电阻(kΩ)”必须大于0，请检查输入！");
    w.setText(kRt, "1");
    clear();
    press(w, kCalc);
    EXPECT_EQ(hb.messages[0].text, "输入有误：“R2(kΩ)”必须大于0，请检查输入！");
    w.enable(kRb, false); // a disabled input is not checked
    clear();
    press(w, kCalc);
    EXPECT_TRUE(hb.messages.empty());
}

TEST_F(Form, AStopLeavesTheDesignAsItWasAndSaysItsCodeWithTheLabel) {
    Divider& w = open(form::kRecord);
    press(w, kCalc);
    const Record before = w.design;
    w.setText(kVin, "0.5");
    clear();
    press(w, kCalc);
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_EQ(hb.messages[0].text, "输入有误：“输入电压(V)”太低了！");
    EXPECT_EQ(hb.messages[0].icon, ui::Icon::None); // the record designers' own messages
    EXPECT_EQ(w.design.i, before.i);
    EXPECT_EQ(w.text(kVout), "");
    EXPECT_EQ(w.last.shown, form::Shown::None);
}

TEST_F(Form, AWindowsCheckMayRefuse) {
    Divider& w = open(form::kPage);
    w.check_ = false;
    press(w, kCalc);
    EXPECT_EQ(texts(), (std::vector<std::string>{"检查未通过！"}));
    EXPECT_EQ(w.text(kI), "");
}

TEST_F(Form, ResultsThatAreNotFiniteStopOrShowBlankByPolicy) {
    const auto infinite = [](int culprit) {
        return [culprit](Divider& w) {
            return std::vector<form::Calculation>{{.button = kCalc,
                                                   .run = [&w] {
                                                       w.design.i = std::numeric_limits<float>::infinity();
                                                       w.design.vout = 1;
                                                       return form::Outcome{};
                                                   },
                                                   .culprit = culprit}};
        };
    };
    Divider& classic = openWith(form::kClassic, infinite(0));
    press(classic, kCalc);
    EXPECT_EQ(texts(), (std::vector<std::string>{form::kNotFinite}));
    EXPECT_EQ(classic.design.vout, 0); // a stop leaves the fields as they were
    EXPECT_EQ(classic.text(kVout), "");

    Divider& page = openWith(form::kPage, infinite(kRt));
    clear();
    press(page, kCalc);
    EXPECT_EQ(texts(), (std::vector<std::string>{"输入有误：“上电阻(kΩ)”超出了公式的适用范围，得不到有效的结果！"}));

    Divider& record = openWith(form::kRecord, infinite(0));
    clear();
    press(record, kCalc);
    EXPECT_TRUE(hb.messages.empty());
    EXPECT_EQ(record.text(kI), ""); // blank, never "inf"
    EXPECT_EQ(record.text(kVout), "1");
    EXPECT_EQ(record.lastShown(), form::Shown::Partly);
}

// ---------------------------------------------------------------- the rows

TEST_F(Form, BlankAsZeroInputsReadZeroAndComeBackBlankUnlessProduced) {
    Divider& w = openWith(form::kClassic, [](Divider& d) {
        return std::vector<form::Calculation>{
            {.button = kCalc,
             .run = [&d] {
                 // a blank Rt reads 0: the divider passes everything
                 if (d.design.rt == 0) d.design.rt = 8;
                 return form::onTrial(d.design, divide);
             },
             .blankAsZero = {kRt, kRb},
             .produced = {kRt},
             .blankAfter = {kP},
             .first = {form::Precondition::Kind::Filled, {kVin}, "请先输入电压！"}},
        };
    });
    w.setText(kRt, "");
    w.setText(kRb, "");
    press(w, kCalc);
    EXPECT_TRUE(hb.messages.empty()) << hb.messages[0].text; // a blank input is not range-checked
    EXPECT_EQ(w.text(kRt), "8");  // produced: shown
    EXPECT_EQ(w.text(kRb), "");   // blank again
    EXPECT_EQ(w.text(kP), "");    // blanked once shown
    EXPECT_EQ(w.text(kVout), "0"); // Rb read as 0: nothing across it
    EXPECT_EQ(w.text(kI), "1.5");  // 12 V over 8 k
    w.setText(kVin, "");
    clear();
    press(w, kCalc);
    EXPECT_EQ(texts(), (std::vector<std::string>{"请先输入电压！"}));
    EXPECT_EQ(openedCount(217), 0);
}

TEST_F(Form, ANonZeroPreconditionReadsTheFieldsValue) {
    Divider& w = openWith(form::kClassic, [](Divider& d) {
        return std::vector<form::Calculation>{
            {.button = kCalc,
             .run = [&d] { return form::onTrial(d.design, divide); },
             .first = {form::Precondition::Kind::NonZero, {kI}, "请先计算电流！"}},
            {.button = kLoad, .run = [&d] { return form::onTrial(d.design, divide); }},
        };
    });
    press(w, kCalc);
    EXPECT_EQ(texts(), (std::vector<std::string>{"请先计算电流！"}));
    press(w, kLoad);
    clear();
    press(w, kCalc);
    EXPECT_TRUE(hb.messages.empty());
}

TEST_F(Form, AGroupsCalculationReadsAndWritesOnlyItsGroup) {
    Divider& w = openWith(form::kRecord, [](Divider& d) {
        return std::vector<form::Calculation>{
            {.button = kCalc, .run = [&d] { return form::onTrial(d.design, divide); }, .group = 0},
            {.button = kLoad, .run = [&d] { return form::onTrial(d.design, load); }, .group = 1},
        };
    });
    std::vector<form::Field> fields = w.fields();
    fields.push_back({kRload, w.design.rload, Role::Input, Range::Positive, 1});
    fields.push_back({kVload, w.design.vload, Role::Result, Range::Any, 1});
    w.setFields(fields);
    press(w, kCalc);
    const std::string vout = w.text(kVout);
    w.setText(kVin, "not read by the load"); // group 0
    w.setText(kRload, "2");
    press(w, kLoad);
    EXPECT_TRUE(hb.messages.empty());
    EXPECT_EQ(w.text(kVout), vout);
    // Rb ∥ Rload = 1 k under 10 k from 12 V
    EXPECT_NEAR(shown(w, kVload), 12.0 / 11.0, 1e-5);
    EXPECT_EQ(w.text(kVin), "not read by the load"); // neither read nor written by another group
}

// ---------------------------------------------------------------- notices

TEST_F(Form, NoticesComeBeforeThePauseOfAClassicDesignerAndAfterTheResultsOfARecordOne) {
    for (form::Policy p : {form::kClassic, form::kRecord}) {
        Divider& w = openWith(p, [](Divider& d) {
            return std::vector<form::Calculation>{
                {.button = kCalc, .run = [&d] { return form::onTrial(d.design, load); }}};
        });
        w.setText(kRb, "20"); // heavier than the 2 k load
        std::size_t atPause = 99;
        hb.queueScript(217, [&](ui::Dialog&) { atPause = hb.messages.size(); });
        clear();
        press(w, kCalc);
        ASSERT_EQ(texts(), (std::vector<std::string>{"提示：负载比下电阻还重。"}));
        EXPECT_EQ(atPause, p.notices == form::Policy::Notices::First ? 1u : 0u);
        EXPECT_EQ(w.last.outcome.notices, (std::vector<int>{kHeavyLoad}));
        w.close();
    }
}

// ---------------------------------------------------------------- live

TEST_F(Form, ALiveFormRecomputesOnEveryEditAndSpeaksInItsStatusLine) {
    Divider& w = open(form::kQuiet);
    w.setLive(kStatus);
    w.setCalculations({{.run = [&w] { return form::onTrial(w.design, divide); }, .incomplete = "错误:请输入正确的参数!!"}});
    auto type = [&](int id, const char* text) {
        w.setText(id, text);
        w.dispatch(id, ui::Notify::Changed);
    };
    type(kVin, "24");
    EXPECT_EQ(w.text(kVout), "4");
    EXPECT_EQ(w.status(), "");
    type(kRt, "-");
    // One line: the window's words and the field.
    EXPECT_EQ(w.status(), "错误:请输入正确的参数!! 输入有误：“上电阻(kΩ)”中的“-”不是一个数字，请检查输入！");
    EXPECT_EQ(w.text(kStatus), w.status());
    EXPECT_EQ(w.text(kVout), "");
    type(kRt, "0");
    EXPECT_EQ(w.status(), "输入有误：“上电阻(kΩ)”必须大于0，请检查输入！");
    type(kRt, "");
    EXPECT_EQ(w.status(), "输入有误：“上电阻(kΩ)”必须大于0，请检查输入！"); // emptying computes nothing
    type(kRt, "10");
    EXPECT_EQ(w.status(), "");
    EXPECT_EQ(shown(w, kVout), 4.0);
    EXPECT_FALSE(w.greyed(kVout));
    type(kRb, ""); // half typed: the results stay, greyed, until the next computation
    EXPECT_EQ(shown(w, kVout), 4.0);
    EXPECT_TRUE(w.greyed(kVout));
    type(kRb, "2");
    EXPECT_FALSE(w.greyed(kVout));
    EXPECT_TRUE(hb.messages.empty()); // never a box while typing
    EXPECT_EQ(openedCount(217), 0);   // nor a pause
}

// ---------------------------------------------------------------- core pick

// A core database that hands back `ae` through temp.txt, or is cancelled.
struct FakePicker : ui::Dialog {
    static inline double ae = 0;
    static inline bool cancel = false;
    explicit FakePicker(ui::Dialog* parent) : Dialog(tpl::kCoreDatabase, parent) {}
    void onInitDialog() override {
        services::writeTempNumber(ae);
        services::writeSlot(services::kHandshakeSlot, cancel ? '#' : '*');
        endDialog(ui::IdOk);
    }
};

TEST_F(Form, ACorePickTakesAnAeAboveZeroAndRecomputes) {
    services::registerWindow<FakePicker>(tpl::kCoreDatabase);
    Divider& w = open(form::kRecord);
    w.setCorePick({.button = kPick, .ae = kRt, .rerun = kCalc, .blankFirst = true});
    press(w, kCalc);
    w.setText(kVin, "24"); // typed since: stays as typed, and the rerun reads it
    FakePicker::ae = 22;
    press(w, kPick);
    EXPECT_EQ(w.text(kRt), "22");
    EXPECT_EQ(w.text(kVout), "2"); // 24 V over 22 k and 2 k
    for (double bad : {0.0, -3.0}) {
        FakePicker::ae = bad;
        press(w, kPick);
        EXPECT_EQ(w.text(kRt), "22") << bad;
        EXPECT_EQ(w.text(kVout), "") << bad; // blanked first, not recomputed
    }
    FakePicker::ae = 5;
    FakePicker::cancel = true;
    press(w, kPick);
    EXPECT_EQ(w.text(kRt), "22");
    FakePicker::cancel = false;
    EXPECT_TRUE(hb.messages.empty());
    services::registerWindow(tpl::kCoreDatabase, nullptr);
}

// ---------------------------------------------------------------- formula files

struct FakeFormulas : form::FormulaHook {
    bool use = true, succeed = true;
    Divider* w = nullptr;
    bool formulaInUse() override { return use; }
    bool runFormula(const form::Calculation&) override {
        w->design.vout = -7; // a formula file may write any field, in range or not
        w->design.p = std::nanf("");
        return succeed;
    }
};

TEST_F(Form, AFormulaFileRunsInsteadOfTheChecksAndItsOddValuesShowBlank) {
    Divider& w = open(form::kClassic);
    FakeFormulas formulas;
    formulas.w = &w;
    w.setFormulaHook(&formulas);
    w.setText(kRb, "-1"); // no range check for a formula file
    press(w, kCalc);
    EXPECT_EQ(w.text(kVout), "-7");
    EXPECT_EQ(w.text(kP), "");
    EXPECT_EQ(texts(), (std::vector<std::string>{form::kFormulaNotFinite}));
    EXPECT_EQ(w.lastShown(), form::Shown::Partly);
    formulas.succeed = false;
    w.setText(kVout, "");
    clear();
    press(w, kCalc);
    EXPECT_TRUE(hb.messages.empty()); // the runner said what went wrong
    EXPECT_EQ(w.text(kVout), "");
    formulas.use = false;
    press(w, kCalc);
    EXPECT_EQ(texts(), (std::vector<std::string>{"输入有误：“下电阻(kΩ)”必须大于0，请检查输入！"}));
}

} // namespace
} // namespace kv::test

namespace kv::test {
namespace {

// ---------------------------------------------------------------- stale results

// Typing into an input its calculation reads greys that calculation's results
// until it goes through again; a calculation that does not go through leaves
// what it still shows greyed (a classic designer keeps its earlier results), or
// blank.
TEST_F(Form, ResultsNoLongerBelongingToTheInputsAreGreyedUntilTheNextComputation) {
    for (form::Policy p : {form::kClassic, form::kPage, form::kRecord}) {
        Divider& w = open(p);
        press(w, kCalc);
        EXPECT_FALSE(w.stale(kCalc));
        for (int id : {kVout, kI, kP}) EXPECT_FALSE(w.greyed(id)) << id;
        w.setText(kRt, "11");
        w.dispatch(kRt, ui::Notify::Changed);
        EXPECT_TRUE(w.stale(kCalc));
        for (int id : {kVout, kI, kP}) EXPECT_TRUE(w.greyed(id)) << id;
        EXPECT_FALSE(w.greyed(kRt)); // what the user typed is current
        press(w, kCalc);
        EXPECT_FALSE(w.stale(kCalc));
        for (int id : {kVout, kI, kP}) EXPECT_FALSE(w.greyed(id)) << id;
        expectDividerLaws(w);

        w.setText(kRt, "x");
        clear();
        press(w, kCalc);
        EXPECT_TRUE(w.stale(kCalc));
        if (p.failure == form::Policy::Failure::Restore) EXPECT_NE(w.text(kVout), "");
        // What still shows is greyed; a blank has nothing to grey.
        EXPECT_EQ(w.greyed(kVout), w.text(kVout) != "");
        w.setText(kRt, "10");
        press(w, kCalc);
        EXPECT_FALSE(w.greyed(kVout));
        w.close();
    }
}

// ---------------------------------------------------------------- ranges

// A lowest above its highest is refused naming both; equal ends pass unless
// the span must not be empty. A disabled end is not checked.
TEST_F(Form, ARangeUpsideDownIsRefusedNamingBoth) {
    Divider& w = open(form::kRecord);
    w.setOrders({{kRt, kRb}});
    press(w, kCalc); // Rt 10 above Rb 2
    EXPECT_EQ(texts(), (std::vector<std::string>{"输入有误：“下电阻(kΩ)”低于“上电阻(kΩ)”，请检查输入！"}));
    EXPECT_EQ(w.text(kVout), "");
    w.setText(kRb, "10");
    clear();
    press(w, kCalc);
    EXPECT_TRUE(hb.messages.empty());
    expectDividerLaws(w);
    w.setOrders({{kRt, kRb, true}});
    clear();
    press(w, kCalc);
    EXPECT_EQ(texts(), (std::vector<std::string>{"输入有误：“下电阻(kΩ)”必须大于“上电阻(kΩ)”，请检查输入！"}));
    w.enable(kRb, false);
    clear();
    press(w, kCalc);
    EXPECT_TRUE(hb.messages.empty());
}

// ---------------------------------------------------------------- fitting

// A result fits its edit: as many significant digits as its width holds, the
// leading ones always (a 33-unit edit holds seven characters).
TEST_F(Form, AResultFitsItsEditWithItsLeadingDigits) {
    ui::DialogTemplate t = dividerTemplate();
    for (ui::ControlTemplate& c : t.controls)
        if (c.id == kP) c.w = 33;
    float value = 0;
    auto w = std::make_unique<Divider>(form::kPage, std::vector<form::Calculation>{}, t);
    Divider* d = w.get();
    d->setCalculations({{.button = kCalc, .run = [d, &value] {
                             d->design.p = value;
                             return form::Outcome{};
                         }}});
    Divider& win = static_cast<Divider&>(hb.openModeless(std::move(w), nullptr));
    const struct {
        float value;
        const char* shown;
    } cases[] = {{0.455618f, "0.45562"},  {8.374155f, "8.37416"},   {463944031.0f, "4.6e+08"}, {1.71231e-05f, "1.7e-05"},
                 {-12345.678f, "-12346"}, {1.0f / 3.0f, "0.33333"}, {400.0f, "400"},           {124.518f, "124.518"}};
    for (const auto& c : cases) {
        value = c.value;
        press(win, kCalc);
        const std::string shownText = win.text(kP);
        EXPECT_EQ(shownText, c.shown);
        EXPECT_LE(shownText.size(), 7u) << shownText;
        double back = 0;
        ASSERT_TRUE(ui::parseNumber(shownText, back)) << shownText;
        // The leading digits: within a tenth of the value's own size.
        EXPECT_NEAR(back, c.value, std::fabs(c.value) * 0.1) << shownText;
    }
}

} // namespace
} // namespace kv::test
