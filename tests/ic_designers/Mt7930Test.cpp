// The MT7930 LED driver designer: its transformer and timing against
// Faraday's law and the volt-second balance of the windings, the verdicts at
// the controller's limits, the tips panel, and live recomputation with
// half-typed inputs.
#include "ic_designers/Mt7930Designer.h"

#include "tests/ic_designers/IcDesignersSupport.h"

using namespace kv;
using namespace kv::test;
using ic::Mt7930Designer;
using M = Mt7930Designer;

namespace {
const ui::Color kRed{255, 0, 0};

struct Design {
    float vacMin, vo, io, vdd, d, vor, vmos, vf, vov, eff, ae, bpk;
};
const Design kDesigns[] = {
    {85, 42, 0.6f, 15, 0.38f, 100, 5, 1, 50, 90, 105, 0.25f}, // the defaults
    {90, 24, 1.2f, 12, 0.3f, 80, 3, 0.7f, 30, 85, 52, 0.28f},
    {176, 72, 0.35f, 16, 0.4f, 110, 6, 1.2f, 85, 88, 84, 0.3f},
};

void enter(ui::Dialog& d, const Design& x) {
    const std::pair<int, float> set[] = {{M::kVacMin, x.vacMin}, {M::kVo, x.vo},   {M::kIo, x.io},   {M::kVdd, x.vdd},
                                         {M::kD, x.d},           {M::kVor, x.vor}, {M::kVmos, x.vmos}, {M::kVf, x.vf},
                                         {M::kVov, x.vov},       {M::kEff, x.eff}, {M::kAe, x.ae},   {M::kBpk, x.bpk}};
    for (auto [id, v] : set) IcDesigners::type(d, id, ui::formatNumber(v));
}
} // namespace

TEST_F(IcDesigners, Mt7930FreshWindowThenTheVerdictOfTheDefaults) {
    auto& d = open<M>();
    EXPECT_EQ(d.title(), "Korvane For 美芯晟MT7930 / 自动计算......");
    // computed at set-up, then the panel names the controller (until the next computation)
    EXPECT_EQ(d.text(M::kTips), M::kFresh);
    EXPECT_EQ(d.control(M::kTips)->textColor, kRed);
    EXPECT_NEAR(number(d, M::kL), 296, 0.6);
    // 29.59 primary turns at 0.25 T on 12.72 secondary ones (Vor 100 V): wound as
    // 13 secondary, 30 primary (the nearest to 2.326 · 13 = 30.2) and 5
    // auxiliary turns (15.7 V at 43 V / 13 per turn needs 4.75)
    EXPECT_EQ(d.text(M::kNp), "30");
    EXPECT_EQ(d.text(M::kNs), "13");
    EXPECT_EQ(d.text(M::kNaux), "5");
    // the wound ratio 30/13 reflects 99.2 V: the secondary demagnetises in
    // 115.21 · 6.742 / 99.23 = 7.83 μs, leaving 3.17 μs idle of the 11 μs off
    EXPECT_NEAR(number(d, M::kTdem), 7.827, 0.002);
    EXPECT_NEAR(number(d, M::kTidle), 3.173, 0.002);
    EXPECT_NEAR(number(d, M::kIspk), 2.619 * 30 / 13, 0.002);
    // the sense resistor follows the wound ratio: 0.7287 Ω at 100/43 = 2.326
    // becomes 0.7287 · 2.3077 / 2.3256 = 0.7231 Ω at 30/13
    EXPECT_NEAR(number(d, M::kRcs), 0.7231, 0.0002);
    // the DSEN divider from the wound auxiliary: 51 V · 5/13 on 3.2 V
    EXPECT_NEAR(number(d, M::kKdsen), 51.0 * 5 / 13 / 3.2 - 1, 1e-4);
    EXPECT_NEAR(number(d, M::kFmin), 56.4, 0.05);
    // Vmin ≈ 115.21 V with k ≈ 6.74 μs: the primary's volt-seconds at the largest duty
    EXPECT_NEAR(number(d, M::kL) * number(d, M::kIpk), 115.21 * 6.742, 0.5);
    EXPECT_EQ(d.text(M::kL), "296.5496"); // 7 significant digits
    EXPECT_TRUE(hb.messages.empty());
    d.dispatch(M::kVacMin, ui::Notify::SetFocus); // the focus a window gives its first field
    EXPECT_EQ(d.text(M::kTips), M::kFresh);
    type(d, M::kVacMin, "85");
    EXPECT_EQ(d.text(M::kTips), M::kOk);
    for (int id : {M::kD, M::kEff, M::kBpk, M::kTidle, M::kVdd}) EXPECT_FALSE(d.flagged(id)) << id;
    // the picture fills its frame from (532, 30)
    bool picture = false;
    for (const auto& op : ui::HeadlessBackend::paint(d).ops)
        if (op.kind == ui::DrawOp::Bitmap && op.text == "279" && op.a == 532 && op.b == 30 && op.c > 700) picture = true;
    EXPECT_TRUE(picture);
}

TEST_F(IcDesigners, Mt7930WindingsBalanceTheirVoltSeconds) {
    auto& d = open<M>();
    double firstConstant = 0;
    for (const Design& x : kDesigns) {
        enter(d, x);
        ASSERT_EQ(d.lastShown(), form::Shown::All) << x.vo;
        const double vmin = std::sqrt(2.0) * x.vacMin - x.vmos, vout = x.vo + x.vf;
        const double ton = x.d * 11 / (1 - x.d); // μs, the off period is 11 μs
        const double L = number(d, M::kL), ipk = number(d, M::kIpk), np = number(d, M::kNp), ns = number(d, M::kNs);
        // Faraday: the primary's volt-seconds at the largest duty reach Ipk, and
        // Bpk with whole turns: within half a turn, at most one secondary turn to spare
        for (int id : {M::kNp, M::kNs, M::kNaux}) EXPECT_EQ(number(d, id), std::round(number(d, id))) << x.vo;
        EXPECT_GE((np + 0.5) * x.ae * x.bpk, vmin * ton * (1 - 1e-5)) << x.vo;
        EXPECT_LT((np - np / ns - 0.5) * x.ae * x.bpk, vmin * ton) << x.vo;
        EXPECT_NEAR(L * ipk, vmin * ton, 1e-4 * vmin * ton) << x.vo;
        EXPECT_NEAR(1000 / number(d, M::kFmin), ton + 11, 1e-4 * (ton + 11)) << x.vo;
        // the wound ratio is the one of Vor to within half a primary turn
        const double n = number(d, M::kN), vor = n * vout;
        EXPECT_NEAR(n, np / ns, 1e-6 * n) << x.vo;
        EXPECT_LE(std::fabs(np - ns * x.vor / vout), 0.5 + 1e-4) << x.vo;
        // volt-second balance of the wound transformer: Vmin·ton·Ns/Np = (Vo + Vf)·tdem
        const double tdem = number(d, M::kTdem);
        EXPECT_NEAR(vmin * ton * ns / np, vout * tdem, 1e-4 * vmin * ton / n) << x.vo;
        EXPECT_NEAR(number(d, M::kTidle) + tdem, 11, 1e-4) << x.vo;
        // ampere-turns at the switch-off: the secondary's peak is Ipk·Np/Ns
        const double ispk = number(d, M::kIspk);
        EXPECT_NEAR(ispk * ns, ipk * np, 1e-5 * ipk * np) << x.vo;
        // the wound ratio moves tdem and Ispk by no more than its own rounding
        const double moved = std::fabs(vor / x.vor - 1);
        EXPECT_LE(moved, 0.5 / ns / (x.vor / vout) + 1e-6) << x.vo;
        EXPECT_NEAR(tdem * vor, vmin * ton, 1e-4 * vmin * ton) << x.vo;
        EXPECT_LE(std::fabs(tdem * x.vor / (vmin * ton) - 1), moved * 1.01 + 1e-5) << x.vo;
        // the sense resistor sets the current the controller regulates: it holds
        // Vcs·tdem/T, and Io = ½·Ispk·tdem/T = ½·(Np/Ns)·(Vcs/Rcs)·tdem/T, so
        // Rcs·Io/(Np/Ns) is the controller's own constant, the same in every design
        const double csConstant = number(d, M::kRcs) * x.io / n;
        if (firstConstant == 0) firstConstant = csConstant;
        EXPECT_NEAR(csConstant, firstConstant, 2e-5) << x.vo;
        // the energy stored per cycle carries twice the output power at the lowest mains (the margin)
        const double fmin = number(d, M::kFmin) * 1000;
        EXPECT_NEAR(0.5 * L * 1e-6 * ipk * ipk * fmin * x.eff / 100, 2 * vout * x.io, 1e-3 * vout * x.io) << x.vo;
        // the auxiliary winding gives at least Vdd + 0.7 at the secondary's
        // volts per turn, and one turn fewer would not
        const double naux = number(d, M::kNaux);
        EXPECT_GE(naux * vout / ns, (x.vdd + 0.7) * (1 - 1e-5)) << x.vo;
        EXPECT_LT((naux - 1) * vout / ns, x.vdd + 0.7) << x.vo;
        // the sense divider puts 3.2 V on DSEN at the no-load limit
        const double vaux = (x.vov + x.vf) * naux / ns;
        EXPECT_NEAR(vaux / (1 + number(d, M::kKdsen)), 3.2, 1e-4) << x.vo;
        // at the highest mains the shortest on-time still gives a frequency above the lowest
        EXPECT_GT(number(d, M::kFmax), number(d, M::kFmin)) << x.vo;
        EXPECT_LT(number(d, M::kTonMin), ton) << x.vo;
        EXPECT_TRUE(allFinite(d));
    }
    EXPECT_TRUE(hb.messages.empty());
}

TEST_F(IcDesigners, Mt7930VerdictsAtTheirLimits) {
    auto& d = open<M>();
    struct Case {
        int edit;
        const char* value;
        std::string verdict; // after the start text; empty: the OK text
    };
    const Case cases[] = {
        // D = 0.45 is at its bound only in single precision; the idle time is short there too
        {M::kD, "0.45", "Dmax太大!   空闲时间太小! "},
        {M::kD, "0.25", ""},
        {M::kD, "0.2499", "Dmax太小!   "},
        {M::kEff, "95", "效率太高!   "},
        {M::kEff, "75", ""},
        {M::kEff, "74.9", "效率太低!   "},
        {M::kBpk, "0.33", ""},
        {M::kBpk, "0.3301", "峰值磁密太高! "},
        {M::kBpk, "0.15", ""},
        {M::kBpk, "0.1499", "峰值磁密太低! "},
        {M::kVdd, "9.2", ""},
        {M::kVdd, "9.19", "欠压保护!  "},
        {M::kVdd, "16.5", ""},
        {M::kVdd, "16.51", "过压保护!  "},
    };
    const char* defaults[] = {"0.38", "90", "0.25", "15"};
    for (const Case& c : cases) {
        type(d, c.edit, c.value);
        EXPECT_EQ(d.text(M::kTips), c.verdict.empty() ? std::string(M::kOk) : M::kVerdictStart + c.verdict)
            << c.edit << " " << c.value;
        EXPECT_EQ(d.flagged(c.edit), !c.verdict.empty()) << c.edit << " " << c.value;
        EXPECT_EQ(d.control(c.edit)->textColor, c.verdict.empty() ? ui::Color{} : kRed) << c.value;
        EXPECT_NE(d.text(M::kL), ""); // warnings only: the results stand
        const int k = c.edit == M::kD ? 0 : c.edit == M::kEff ? 1 : c.edit == M::kBpk ? 2 : 3;
        type(d, c.edit, defaults[k]);
    }
    // two broken limits in check order, the idle time between them
    type(d, M::kD, "0.45");
    type(d, M::kEff, "95");
    EXPECT_EQ(d.text(M::kTips), std::string(M::kVerdictStart) + "Dmax太大!   " + "空闲时间太小! " + "效率太高!   ");
    EXPECT_TRUE(d.flagged(M::kTidle));
    // while a limit is broken no focus tip replaces the verdict
    const std::string verdict = d.text(M::kTips);
    d.dispatch(M::kVor, ui::Notify::SetFocus);
    EXPECT_EQ(d.text(M::kTips), verdict);
    type(d, M::kD, "0.38");
    type(d, M::kEff, "90");
    EXPECT_EQ(d.control(M::kD)->textColor, ui::Color{});
    d.dispatch(M::kVor, ui::Notify::SetFocus);
    EXPECT_EQ(d.text(M::kTips), "次级折射到初级的电压，单端反激Vor一般75-100V，除小功率PSR电源需要设置较低外!!");
    d.dispatch(M::kVo, ui::Notify::SetFocus); // no tip of its own
    EXPECT_EQ(d.text(M::kTips), "次级折射到初级的电压，单端反激Vor一般75-100V，除小功率PSR电源需要设置较低外!!");
    d.dispatch(M::kBpk, ui::Notify::SetFocus);
    EXPECT_EQ(d.text(M::kTips), "峰值磁通密度最好设置在3000GS也就是0.3T内!");
    EXPECT_TRUE(hb.messages.empty());
}

TEST_F(IcDesigners, Mt7930NeverShowsANonFiniteNumber) {
    auto& d = open<M>();
    // Vor 300: the secondary's conduction share under the root turns negative
    type(d, M::kVor, "300");
    EXPECT_EQ(d.text(M::kDs), "");
    EXPECT_NE(d.text(M::kDp), "");
    EXPECT_EQ(d.text(M::kTips), M::kError);
    EXPECT_TRUE(allFinite(d));
    type(d, M::kVor, "100");
    EXPECT_EQ(d.text(M::kTips), M::kOk);
    for (auto [id, value] : {std::pair{M::kD, "1"}, {M::kIo, "0"}}) {
        type(d, id, value);
        EXPECT_EQ(d.lastShown(), form::Shown::Partly) << value;
        EXPECT_EQ(d.text(M::kL), "") << value;
        EXPECT_EQ(d.text(M::kTips), M::kError) << value;
        EXPECT_TRUE(allFinite(d)) << value;
    }
    type(d, M::kD, "0.38");
    type(d, M::kIo, "0.6");
    // keystroke by keystroke through values that divide by zero on the way
    const std::pair<int, std::string> typing[] = {{M::kD, "0.41"}, {M::kIo, "0.05"}, {M::kAe, "1e2"}, {M::kVacMin, "-90"},
                                                  {M::kVo, "36"},  {M::kBpk, ".3"},   {M::kEff, "88"}};
    for (const auto& [id, text] : typing) {
        typeKeys(d, id, text);
        ASSERT_TRUE(allFinite(d)) << id;
        EXPECT_EQ(d.text(id), text);
    }
    // not a number yet: the error text and blank results, no message box
    type(d, M::kVo, "3x");
    EXPECT_EQ(d.text(M::kTips), std::string(M::kError) + " 输入有误：“" + d.labelBefore(M::kVo) + "”中的“3x”不是一个数字，请检查输入！");
    EXPECT_EQ(d.text(M::kNp), "");
    EXPECT_TRUE(hb.messages.empty());
}

TEST_F(IcDesigners, Mt7930CorePick) {
    copyCoreList();
    auto& d = open<M>();
    hb.queueScript(kv::tpl::kCoreDatabase, [](ui::Dialog& db) {
        db.select(1373, 0);
        db.dispatch(1, ui::Notify::Clicked);
    });
    press(d, M::kCore);
    EXPECT_NE(d.text(M::kAe), "105");
    const double ae = number(d, M::kAe);
    // the same volt-seconds on the new core: 29.59 turns on 105 mm² before rounding
    EXPECT_LE(std::fabs(number(d, M::kNp) * ae - 29.58956 * 105), (0.5 + number(d, M::kN)) * ae);
    EXPECT_NE(d.text(M::kTips), M::kFresh);                    // recomputed
    EXPECT_TRUE(hb.messages.empty());
    // a field that does not read: the message box, no picker
    type(d, M::kIo, "-");
    clear();
    press(d, M::kCore);
    EXPECT_EQ(count(kv::tpl::kCoreDatabase), 0);
    EXPECT_TRUE(namesTheField(M::kUnreadable, d.labelBefore(M::kIo)));
}
