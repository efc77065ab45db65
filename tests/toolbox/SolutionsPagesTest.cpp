// The common-solutions list, the PFC page and the first-order circuit page:
// the list's rows and what a click on each does, the PFC stage against the
// physics of a transition-mode boost converter, the step response against
// its defining properties, messages, and korvane-cli.
#include "app/App.h"
#include "platform/io/Files.h"
#include "services/Settings.h"
#include "services/Windows.h"
#include "toolbox/CICMODE.h"
#include "toolbox/CPFC.h"
#include "toolbox/CYIJIE.h"

#include "tests/toolbox/PagesTestSupport.h"

#include <algorithm>
#include <filesystem>
#include <numbers>

using namespace kv;
using namespace kv::toolbox;
using namespace kv::test;
namespace fs = std::filesystem;

namespace {
constexpr int kCalculating = 217;
constexpr int kCoreDatabase = 262;

struct Solutions : Pages {
    TempDir dir;
    Solutions() { app::registerAll(); }
    int count(int templateId) const { return int(std::count(hb.opened.begin(), hb.opened.end(), templateId)); }
    static void clickRow(ui::Dialog& p, int row) {
        p.select(CICMODE::kList, row);
        p.dispatch(CICMODE::kList, ui::Notify::SelChange);
        p.dispatch(CICMODE::kList, ui::Notify::Clicked);
    }
};

double number(const ui::Dialog& p, int id) {
    double v = 0;
    EXPECT_TRUE(ui::parseNumber(p.text(id), v)) << id << " shows \"" << p.text(id) << "\"";
    return v;
}
} // namespace

TEST_F(Solutions, ListShowsTheSolutionsInTableOrder) {
    auto& p = open<CICMODE>();
    EXPECT_EQ(p.title(), "常用方案");
    const std::vector<std::string> rows = {"SD670x降压低PF", "LED隔离低P/高P", "K7350单级PFC",
                                           "K7350升压PFC",   "美芯晟MT7930",   "SD690x降压高PF"};
    ASSERT_EQ(p.itemCount(CICMODE::kList), int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r) EXPECT_EQ(p.itemText(CICMODE::kList, r), rows[size_t(r)]);
    EXPECT_EQ(p.control(CICMODE::kList)->columns, (std::vector<std::string>{"类型"}));
    EXPECT_EQ(p.control(CICMODE::kList)->columnWidths, (std::vector<int>{90}));
    EXPECT_EQ(p.control(CICMODE::kHint)->textColor, (ui::Color{0, 180, 0}));
    EXPECT_EQ(p.text(CICMODE::kHint), "点击选择进入设计");
    EXPECT_EQ(p.selected(CICMODE::kList), -1);
}

TEST_F(Solutions, ARowOpensItsDesignerOverThePage) {
    auto& p = open<CICMODE>();
    clear();
    const std::pair<int, int> designers[] = {{0, 280}, {2, 271}, {4, 276}, {5, 295}, {1, 294}};
    for (auto [row, tpl] : designers) {
        clickRow(p, row);
        EXPECT_EQ(p.selected(CICMODE::kList), -1) << row; // the selection mark is reset
        if (services::hasWindow(tpl)) {
            ASSERT_FALSE(hb.opened.empty()) << row;
            EXPECT_EQ(hb.opened.back(), tpl) << row;
            EXPECT_EQ(hb.modeless().back()->parent(), &p) << row;
        } else {
            ASSERT_FALSE(hb.messages.empty()) << row;
            EXPECT_EQ(hb.messages.back().text, services::kNotInBuild);
            EXPECT_EQ(hb.messages.back().icon, ui::Icon::Information);
        }
    }
    // each use makes a new window
    clickRow(p, 2);
    clickRow(p, 2);
    EXPECT_EQ(count(271), 3);
    // a click beside the rows does nothing
    clear();
    p.dispatch(CICMODE::kList, ui::Notify::Clicked);
    EXPECT_TRUE(hb.opened.empty());
    EXPECT_TRUE(hb.messages.empty());
}

TEST_F(Solutions, RowsLeaveTheSettingsAlone) {
    // The graphical flyback's picture slot (5) and the core handshake (6)
    // belong to their own windows: opening a designer writes neither.
    writeFile("System.cfg", "0&&&&#*");
    auto& p = open<CICMODE>();
    for (int row : {0, 1, 2, 4, 5}) clickRow(p, row);
    EXPECT_EQ(count(294), 1); // the isolated LED designer did open
    EXPECT_EQ(readFile("System.cfg"), "0&&&&#*");
}

TEST_F(Solutions, K7350RowStartsTheProgramBesideKorvaneOrSaysWhy) {
    auto& p = open<CICMODE>();
    const fs::path program = fs::path(io::programDir()) / "K7350" / "K7350";
    EXPECT_EQ(CICMODE::programPath(), program.string());
    const bool existed = fs::exists(program);
    if (!existed) {
        // without the program: a message naming the path, nothing started
        clear();
        clickRow(p, 3);
        ASSERT_EQ(hb.messages.size(), 1u);
        EXPECT_NE(hb.messages[0].text.find(program.string()), std::string::npos) << hb.messages[0].text;
        EXPECT_EQ(hb.messages[0].icon, ui::Icon::Warning);
        EXPECT_TRUE(hb.started.empty());
        EXPECT_TRUE(hb.opened.empty());
        EXPECT_EQ(p.selected(CICMODE::kList), -1);
        // a file that is not a program is not started either
        fs::create_directories(program.parent_path());
        writeFile(program, "not a program");
        fs::permissions(program, fs::perms::owner_read | fs::perms::owner_write);
        clear();
        clickRow(p, 3);
        EXPECT_EQ(hb.messages.size(), 1u);
        EXPECT_TRUE(hb.started.empty());
        fs::permissions(program, fs::perms::owner_all);
    }
    struct Cleanup {
        fs::path p;
        bool keep;
        ~Cleanup() {
            std::error_code ec;
            if (!keep) fs::remove_all(p.parent_path(), ec);
        }
    } cleanup{program, existed};
    clear();
    clickRow(p, 3);
    EXPECT_TRUE(hb.messages.empty());
    EXPECT_EQ(hb.started, (std::vector<std::string>{program.string()}));
    EXPECT_TRUE(hb.opened.empty()); // a program of its own, not a window
}

// ---------------------------------------------------------------- PFC page

TEST_F(Solutions, PfcPageComputesWhenFirstShownWithTheCalculatingBox) {
    auto& p = open<CPFC>();
    EXPECT_EQ(p.title(), "PFC设计(7350/7351)");
    const std::pair<int, const char*> defaults[] = {
        {CPFC::kVacMin, "90"}, {CPFC::kVacMax, "265"}, {CPFC::kLine, "50"}, {CPFC::kVoMin, "260"},
        {CPFC::kVo, "400"},   {CPFC::kPo, "60"},      {CPFC::kEff, "96"},  {CPFC::kFMin, "45"},
        {CPFC::kAe, "58"},    {CPFC::kB, "0.28"},     {CPFC::kHold, "20"}};
    for (auto [id, text] : defaults) EXPECT_EQ(p.text(id), text) << id;
    EXPECT_EQ(count(kCalculating), 1);
    EXPECT_TRUE(hb.messages.empty());
    // the worked example: Lb ≈ 12500 μH before the boost factor (400 − √2·265)/400 ≈ 0.0631
    EXPECT_NEAR(number(p, CPFC::kL), 788, 1);
    EXPECT_NEAR(number(p, CPFC::kL) / 0.0631, 12500, 50);
    clear();
    press(p, CPFC::kCalc);
    EXPECT_EQ(count(kCalculating), 1);
    EXPECT_EQ(pauses(), 0);
}

TEST_F(Solutions, PfcStageMeetsTheBoostConverterPhysics) {
    auto& p = open<CPFC>();
    struct Case {
        double vacMin, vacMax, vomin, vo, po, eff, fmin, ae, b, hold;
        double L = 0; // μH, the worked figure where there is one
    };
    const Case cases[] = {
        {90, 265, 260, 400, 60, 96, 45, 58, 0.28, 20},    // high line sets L
        {85, 264, 300, 410, 150, 93, 40, 120, 0.3, 10},   // low line sets L
        {180, 264, 330, 390, 300, 95, 60, 200, 0.25, 16}, // high line
        {90, 250, 300, 400, 150, 96, 45, 90, 0.3, 16, 393}, // low line: not 516 μH (34 kHz at 90 V)
        {85, 230, 300, 390, 100, 96, 45, 60, 0.3, 16, 533}, // low line: not 937 μH (26 kHz at 85 V)
    };
    const double r2 = std::sqrt(2.0);
    for (const Case& c : cases) {
        const std::pair<int, double> set[] = {{CPFC::kVacMin, c.vacMin}, {CPFC::kVacMax, c.vacMax}, {CPFC::kVoMin, c.vomin},
                                              {CPFC::kVo, c.vo},         {CPFC::kPo, c.po},         {CPFC::kEff, c.eff},
                                              {CPFC::kFMin, c.fmin},     {CPFC::kAe, c.ae},         {CPFC::kB, c.b},
                                              {CPFC::kHold, c.hold}};
        for (auto [id, v] : set) p.setText(id, ui::formatNumber(v));
        clear();
        press(p, CPFC::kCalc);
        ASSERT_TRUE(hb.messages.empty()) << c.vo;
        const double L = number(p, CPFC::kL) * 1e-6, np = number(p, CPFC::kNp), naux = number(p, CPFC::kNaux);
        const double cmin = number(p, CPFC::kCMin) * 1e-6;
        if (c.L > 0) {
            EXPECT_NEAR(L * 1e6, c.L, 1) << c.vo;
        }
        // Transition mode over the mains half-cycle at either extreme: the peak current is
        // twice the line current, the on-time and the demagnetising time add up to the
        // switching period. Its frequency never falls below fmin and touches it at one crest.
        const double pin = c.po / (c.eff / 100);
        double lowest[2] = {1e300, 1e300};
        for (int e = 0; e < 2; ++e) {
            const double vac = e == 0 ? c.vacMin : c.vacMax;
            for (int k = 1; k < 1000; ++k) {
                const double v = r2 * vac * std::sin(k * std::numbers::pi / 1000);
                const double ipk = 2 * r2 * pin / vac * (v / (r2 * vac));
                const double period = L * ipk / v + L * ipk / (c.vo - v);
                lowest[e] = std::min(lowest[e], 1 / period);
            }
        }
        const double fmin = c.fmin * 1000;
        EXPECT_GE(lowest[0], fmin * (1 - 1e-4)) << c.vo;
        EXPECT_GE(lowest[1], fmin * (1 - 1e-4)) << c.vo;
        EXPECT_NEAR(std::min(lowest[0], lowest[1]), fmin, fmin * 2e-4) << c.vo;
        const double vpk = r2 * c.vacMax;
        // The main winding carries the crest current of the lowest mains at the
        // flux density B at most, in whole turns: one turn fewer would pass B.
        const double ipkLow = 2 * r2 * pin / c.vacMin;
        EXPECT_EQ(np, std::round(np)) << c.vo;
        EXPECT_GE(np * c.ae * 1e-6 * c.b, L * ipkLow * (1 - 1e-4)) << c.vo;
        EXPECT_LT((np - 1) * c.ae * 1e-6 * c.b, L * ipkLow) << c.vo;
        // The auxiliary winding gives at least 2.5 V while the inductor demagnetises at the crest.
        EXPECT_EQ(naux, std::round(naux)) << c.vo;
        EXPECT_GE(naux / np * (c.vo - vpk), 2.5 * (1 - 1e-4)) << c.vo;
        EXPECT_LT((naux - 1) / np * (c.vo - vpk), 2.5) << c.vo;
        // The bulk capacitor carries the input energy through the hold-up time.
        EXPECT_NEAR(0.5 * cmin * (c.vo * c.vo - c.vomin * c.vomin), pin * c.hold * 1e-3, pin * c.hold * 1e-7) << c.vo;
    }
}

TEST_F(Solutions, PfcPageRefusesWhatItCannotDesign) {
    auto& p = open<CPFC>();
    // Each mistake in one message naming the fields by their labels.
    const std::string crest = "输入有误：“PFC最高电压(V)”必须高于“最高交流输入(V)”的峰值（1.414倍），请检查输入！",
                      order = "输入有误：“PFC最高电压(V)”必须大于“PFC最低电压(V)”，请检查输入！";
    const struct {
        std::vector<std::pair<int, const char*>> change;
        std::string said;
    } bad[] = {
        {{{CPFC::kVo, "374.7"}}, crest},  // at the crest of the highest mains: no headroom
        {{{CPFC::kVo, "300"}}, crest},    // below it: a negative inductance
        {{{CPFC::kVoMin, "400"}}, order}, // the lowest PFC voltage at the highest
        {{{CPFC::kVoMin, "420"}}, order}, // above it: a negative capacitor
        {{{CPFC::kVo, "abc"}}, std::string(CPFC::kBadInput) + "\n输入有误：“PFC最高电压(V)”中的“abc”不是一个数字，请检查输入！"},
        {{{CPFC::kHold, ""}}, std::string(CPFC::kBadInput) + "\n输入有误：“保持时间(mS)”还没有填写数值，请检查输入！"},
    };
    for (const auto& [change, said] : bad) {
        press(p, CPFC::kCalc);
        ASSERT_NE(p.text(CPFC::kL), "");
        for (auto [id, text] : change) p.setText(id, text);
        clear();
        press(p, CPFC::kCalc);
        ASSERT_FALSE(hb.messages.empty());
        EXPECT_EQ(texts(), std::vector<std::string>{said}) << change[0].second;
        for (int r : {CPFC::kL, CPFC::kNp, CPFC::kNaux, CPFC::kCMin}) EXPECT_EQ(p.text(r), "") << change[0].second;
        EXPECT_EQ(count(kCalculating), 0);
        for (const ui::ControlState& c : p.controls()) {
            EXPECT_EQ(c.text.find("inf"), std::string::npos);
            EXPECT_FALSE(isNan(c.text));
        }
        p.setText(CPFC::kVo, "400");
        p.setText(CPFC::kVoMin, "260");
        p.setText(CPFC::kHold, "20");
    }
    // inputs the formulas divide by name their label
    const GuardedCase guarded[] = {
        {maker<CPFC>(), CPFC::kCalc, {{CPFC::kFMin, "0"}}, "最低开关频率(kHz)"},
        {maker<CPFC>(), CPFC::kCalc, {{CPFC::kEff, "0"}}, "转换效率(%)"},
        {maker<CPFC>(), CPFC::kCalc, {{CPFC::kAe, "-58"}}, "Ae(mm2)"},
    };
    for (const GuardedCase& c : guarded) checkGuarded(c);
}

TEST_F(Solutions, PfcCorePickTakesAeAndKeepsWhatWasTyped) {
    fs::copy_file(fs::path(KV_SOURCE_DIR) / "data" / "CoreList.xls", "CoreList.xls");
    auto& p = open<CPFC>();
    p.setText(CPFC::kPo, "100"); // typed, not yet computed
    const std::string before = p.text(CPFC::kL);
    hb.queueScript(kCoreDatabase, [](ui::Dialog& d) {
        d.select(1329, 1); // EC
        d.dispatch(1329, ui::Notify::SelChange);
        d.select(1373, 2); // EC52, Ae 180
        d.dispatch(1, ui::Notify::Clicked);
    });
    clear();
    press(p, CPFC::kCore);
    EXPECT_EQ(readFile("System.cfg")[6], '*');
    EXPECT_EQ(p.text(CPFC::kAe), "180");
    EXPECT_EQ(p.text(CPFC::kPo), "100");
    EXPECT_EQ(count(kCalculating), 1);
    EXPECT_NE(p.text(CPFC::kL), before); // computed with 100 W
    EXPECT_TRUE(hb.messages.empty());

    // cancelled: nothing changes and nothing is computed
    const std::string np = p.text(CPFC::kNp);
    clear();
    press(p, CPFC::kCore);
    EXPECT_EQ(readFile("System.cfg")[6], '#');
    EXPECT_EQ(p.text(CPFC::kAe), "180");
    EXPECT_EQ(p.text(CPFC::kNp), np);
    EXPECT_EQ(count(kCalculating), 0);

    // a hand-back that is no area is not taken
    hb.queueScript(kCoreDatabase, [](ui::Dialog& d) { d.endDialog(ui::IdOk); });
    writeFile("temp.txt", std::string("\0" "-5\0   ", 7));
    clear();
    press(p, CPFC::kCore);
    EXPECT_EQ(p.text(CPFC::kAe), "180");
    EXPECT_EQ(count(kCalculating), 0);
}

// ---------------------------------------------------------------- first-order circuits

TEST_F(Solutions, FirstOrderDefaultsAndIncompleteInput) {
    const PageCase c{maker<CYIJIE>(), "一阶电路", CYIJIE::kCalc,
                     {{1330, "10"}, {1331, "2"}, {1332, "100"}, {1032, "0.01"}, {1031, "100"}, {1038, "5"}},
                     {1036, 1037}, "请输入完整的条件！"};
    checkDefaultsAndIncompleteInput(c);
}

TEST_F(Solutions, FirstOrderDefaultsGiveTheWorkedExample) {
    auto& p = open<CYIJIE>();
    ASSERT_EQ(p.itemCount(CYIJIE::kType), 2);
    EXPECT_EQ(p.itemText(CYIJIE::kType, 0), "RC电路");
    EXPECT_EQ(p.itemText(CYIJIE::kType, 1), "RL电路");
    EXPECT_EQ(p.text(CYIJIE::kType), "RC电路");
    EXPECT_TRUE(p.enabled(CYIJIE::kC) && p.enabled(CYIJIE::kCLabel));
    EXPECT_FALSE(p.enabled(CYIJIE::kL) || p.enabled(CYIJIE::kLLabel));
    press(p, CYIJIE::kCalc);
    EXPECT_TRUE(shows(p, CYIJIE::kTau, 1e-6));
    EXPECT_NEAR(number(p, CYIJIE::kFt), 8 * std::exp(-5.0) + 2, 1e-6); // 2.0539
    EXPECT_EQ(p.text(CYIJIE::kFt).substr(0, 6), "2.0539");
    // double precision: more than the six digits of the single-precision pages
    EXPECT_GT(p.text(CYIJIE::kFt).size(), 8u);
    EXPECT_EQ(pauses(), 1);

    choose(p, CYIJIE::kType, 1); // RL: 100 μH / 100 Ω
    EXPECT_FALSE(p.enabled(CYIJIE::kC) || p.enabled(CYIJIE::kCLabel));
    EXPECT_TRUE(p.enabled(CYIJIE::kL) && p.enabled(CYIJIE::kLLabel));
    press(p, CYIJIE::kCalc);
    EXPECT_TRUE(shows(p, CYIJIE::kTau, 1e-6));
    choose(p, CYIJIE::kType, 0);
    EXPECT_TRUE(p.enabled(CYIJIE::kC));
}

TEST_F(Solutions, FirstOrderResponseHasItsDefiningProperties) {
    auto& p = open<CYIJIE>();
    auto respond = [&](int type, double f0, double finf, double r, double cl, double t) {
        choose(p, CYIJIE::kType, type);
        p.setText(CYIJIE::kF0, ui::formatNumber(f0, ui::kDoubleDigits));
        p.setText(CYIJIE::kFInf, ui::formatNumber(finf, ui::kDoubleDigits));
        p.setText(CYIJIE::kR, ui::formatNumber(r, ui::kDoubleDigits));
        p.setText(type == 0 ? CYIJIE::kC : CYIJIE::kL, ui::formatNumber(cl, ui::kDoubleDigits));
        p.setText(CYIJIE::kT, ui::formatNumber(t, ui::kDoubleDigits));
        press(p, CYIJIE::kCalc);
        return std::pair{number(p, CYIJIE::kFt), number(p, CYIJIE::kTau)};
    };
    // 1 kΩ and 10 μF: 10 ms; after one time constant 1/e of the step is left
    auto [ft, tau] = respond(0, 12, 0, 1000, 10, 10000);
    EXPECT_NEAR(tau, 0.01, 1e-12);
    EXPECT_NEAR(ft, 12 / std::exp(1.0), 1e-5);
    // halfway after τ·ln 2, charging upwards; at t = 0 the initial value
    std::tie(ft, tau) = respond(0, 0, 5, 2200, 4.7, 2200 * 4.7 * std::log(2.0));
    EXPECT_NEAR(ft, 2.5, 1e-5);
    std::tie(ft, tau) = respond(0, 3, 9, 50, 2, 0);
    EXPECT_EQ(ft, 3);
    // RL: 10 mH over 20 Ω is 0.5 ms; long after the step only the final value is left
    std::tie(ft, tau) = respond(1, 1.5, 0.25, 20, 10000, 50000);
    EXPECT_NEAR(tau, 5e-4, 1e-15);
    EXPECT_NEAR(ft, 0.25, 1e-12);
    // the element of the chosen circuit must be there
    for (auto [type, id, text, label] : {std::tuple{0, CYIJIE::kC, "0", "电容(μF)"}, {1, CYIJIE::kL, "-2", "电感(μH)"}}) {
        choose(p, CYIJIE::kType, type);
        p.setText(id, text);
        clear();
        press(p, CYIJIE::kCalc);
        ASSERT_EQ(hb.messages.size(), 1u) << label;
        EXPECT_EQ(hb.messages[0].text, services::rangeMessage(services::Range::Positive, label));
        EXPECT_EQ(p.text(CYIJIE::kFt), "");
        EXPECT_EQ(pauses(), 0);
        p.setText(id, "1");
    }
    const GuardedCase r0{maker<CYIJIE>(), CYIJIE::kCalc, {{CYIJIE::kR, "0"}}, "电阻(Ω)"};
    checkGuarded(r0);
}

// ---------------------------------------------------------------- korvane-cli

TEST_F(PagesCli, SolutionsPages) {
    ASSERT_EQ(run({"257", "--row", "1436=2"}), 0) << err;
    EXPECT_TRUE(has("\"opened\": [257, 271]")) << out;
    EXPECT_TRUE(has("\"selected\": -1"));
    EXPECT_TRUE(has("[\"SD670x降压低PF\"], [\"LED隔离低P/高P\"]"));
    ASSERT_EQ(run({"229", "--set", "1053=120", "--press", "1000"}), 0) << err;
    EXPECT_TRUE(has("\"opened\": [229, 217, 217]")) << out;
    EXPECT_TRUE(has("\"messages\": []"));
    EXPECT_TRUE(has(edit(1022, "393.781")));
    computes({"235", "--select", "1329=1", "--set", "1031=47", "--press", "1328"},
             {edit(1037, "4.7e-07"), edit(1031, "47")});
    ASSERT_EQ(run({"257", "--row", "1436=6"}), 2);
    EXPECT_NE(err.find("1436 has no entry 6"), std::string::npos) << err;
    ASSERT_EQ(run({"276", "--focus", "9999"}), 2);
    EXPECT_NE(err.find("no control 9999"), std::string::npos) << err;
}
