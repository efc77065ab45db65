// The isolated LED designer (both families) and the SD670X and SD690X buck LED
// designers: their designs against Faraday's law, the volt-second and energy
// balances of the windings and the critical-conduction buck (the SD690X
// integral taken numerically here), their messages and their core picks.
#include "ic_designers/BuckLedDesigners.h"
#include "ic_designers/IsolatedLedDesigner.h"

#include "tests/ic_designers/IcDesignersSupport.h"

#include <numbers>

using namespace kv;
using namespace kv::test;
using ic::IsolatedLedDesigner;
using ic::Sd670xDesigner;
using ic::Sd690xDesigner;
using I = IsolatedLedDesigner;

namespace {
// Every result blank, nothing non-finite, and the one message given (for a
// field that holds no number, the message then the field named).
void refused(IcDesigners& t, ui::Dialog& d, const std::vector<int>& results, const std::string& message) {
    ASSERT_FALSE(t.hb.messages.empty());
    const std::string& said = t.hb.messages.back().text;
    EXPECT_TRUE(said == message || said.rfind(message + "\n输入有误：“", 0) == 0) << said;
    EXPECT_EQ(t.hb.messages.back().icon, ui::Icon::Warning);
    for (int r : results) EXPECT_EQ(d.text(r), "") << r;
    EXPECT_TRUE(allFinite(d));
}

void set(ui::Dialog& d, const std::vector<std::pair<int, float>>& values) {
    for (auto [id, v] : values) d.setText(id, ui::formatNumber(v));
}

// Line-cycle average power (W) a transition-mode flyback takes with inductance L (H)
// and crest current ipk (A) at mains crest vpk (V): per period ½·L·i² with i = ipk·sinθ,
// on for L·i/(vpk·sinθ), off for L·i/Vor; averaged over the half-cycle numerically.
double lineCyclePower(double L, double vpk, double ipk, double vor) {
    const int n = 20000;
    double sum = 0;
    for (int k = 0; k < n; ++k) {
        const double s = std::sin((k + 0.5) * std::numbers::pi / n), i = ipk * s;
        const double period = L * ipk / vpk + L * i / vor;
        sum += 0.5 * L * i * i / period;
    }
    return sum / n;
}

const std::vector<int> kIsoResults = {I::kL, I::kNp, I::kNs, I::kNfb, I::kN, I::kIpk, I::kIspk, I::kLast};
} // namespace

// ---------------------------------------------------------------- isolated LED

TEST_F(IcDesigners, IsolatedLedOpensOnTheFamilyWithoutPfc) {
    auto& d = open<I>();
    EXPECT_EQ(d.title(), "LED-高P/低P隔离 (INPUT AC 50/60Hz)");
    ASSERT_EQ(d.itemCount(I::kFamily), 2);
    EXPECT_EQ(d.itemText(I::kFamily, 0), "原边恒流不带PFC类");
    EXPECT_EQ(d.itemText(I::kFamily, 1), "原边恒流单级PFC类");
    EXPECT_EQ(d.selected(I::kFamily), 0);
    EXPECT_EQ(d.text(I::kFamilyNote), "适用于原边不带PFC的IC类!");
    EXPECT_EQ(d.control(I::kFamilyLabel)->textColor, (ui::Color{255, 0, 128}));
    EXPECT_EQ(d.text(I::kLastLabel), "反射电压Vor(V)");
    EXPECT_FALSE(d.enabled(I::kVor) || d.enabled(I::kVorLabel));
    EXPECT_EQ(d.text(I::kVor), "");
    EXPECT_EQ(d.text(I::kDmax), "0.42");
    EXPECT_EQ(d.text(I::kDout), "0.5");
    EXPECT_EQ(d.text(I::kVbmin), "80");
    for (int r : kIsoResults) EXPECT_EQ(d.text(r), "");
    // the worked example; "计算(&C)" is command 1 and leaves the window open
    press(d, I::kCalc);
    EXPECT_EQ(count(kv::tpl::kCalculating), 1);
    EXPECT_EQ(hb.modeless().size(), 1u);
    EXPECT_TRUE(hb.messages.empty());
    // 130.8 primary turns at 0.26 T on 50.2 secondary ones (Vor 67.2 V): wound
    // as 51 secondary, 133 primary (2.605 · 51 = 132.8) and 24 feedback turns
    // (12 V at 25.8 V / 51 per turn needs 23.7)
    EXPECT_EQ(d.text(I::kNs), "51");
    EXPECT_EQ(d.text(I::kNp), "133");
    EXPECT_EQ(d.text(I::kNfb), "24");
    // 133/51 reflects 67.28 V: the secondary conducts for 80 · 0.42 / 67.28 =
    // 0.4994 of the period, its peak 2 · 0.33 / 0.4994 = 1.3216 A
    EXPECT_NEAR(number(d, I::kN), 133.0 / 51, 1e-5);
    EXPECT_NEAR(number(d, I::kLast), 67.28, 0.005);
    EXPECT_NEAR(number(d, I::kIspk), 1.3216, 1e-4);
    // the primary's peak and L do not depend on the ratio
    EXPECT_NEAR(number(d, I::kIpk), 0.534, 0.0005);
    EXPECT_NEAR(number(d, I::kL), 1210, 1);
    EXPECT_EQ(d.text(I::kVor), ""); // the unused input stays blank
    d.dispatch(ui::IdOk, ui::Notify::Clicked);
    EXPECT_EQ(count(kv::tpl::kCalculating), 2);
    EXPECT_FALSE(d.ended());
}

TEST_F(IcDesigners, IsolatedLedWithoutPfcBalancesItsWindings) {
    auto& d = open<I>();
    struct Case {
        float vled, io, fmin, vfb, eff, ae, bpk, dmax, dout, vbmin, vf;
    };
    const Case cases[] = {{25, 0.33f, 52, 12, 90, 19, 0.26f, 0.42f, 0.5f, 80, 0.8f},
                          {36, 0.7f, 65, 15, 88, 32, 0.28f, 0.45f, 0.45f, 110, 1},
                          {12, 1.5f, 45, 18, 85, 40, 0.3f, 0.38f, 0.55f, 95, 0.5f}};
    for (const Case& c : cases) {
        set(d, {{I::kVled, c.vled}, {I::kIo, c.io}, {I::kFmin, c.fmin}, {I::kVfb, c.vfb}, {I::kEff, c.eff},
                {I::kAe, c.ae}, {I::kBpk, c.bpk}, {I::kDmax, c.dmax}, {I::kDout, c.dout}, {I::kVbmin, c.vbmin},
                {I::kVf, c.vf}});
        press(d, I::kCalc);
        ASSERT_TRUE(hb.messages.empty()) << c.vled;
        const double L = number(d, I::kL), ipk = number(d, I::kIpk), ispk = number(d, I::kIspk);
        const double n = number(d, I::kN), np = number(d, I::kNp), ns = number(d, I::kNs), vor = number(d, I::kLast);
        const double nfb = number(d, I::kNfb), ton = c.dmax / (c.fmin * 1e3), vout = c.vled + c.vf;
        auto near = [](double a, double b) { return std::fabs(a - b) <= 2e-5 * std::fabs(b); };
        for (double t : {np, ns, nfb}) EXPECT_EQ(t, std::round(t)) << c.vled;
        EXPECT_TRUE(near(n, np / ns)) << c.vled;
        EXPECT_TRUE(near(vor, n * vout)) << c.vled; // what the wound ratio reflects
        // the LED current is the average of the secondary's triangle: its
        // conduction time follows from the shown peak
        const double tdem = 2 * c.io / (ispk * c.fmin * 1e3);
        // volt-second balance of the wound transformer: Vbmin·ton·Ns/Np = (Vled + Vf)·tdem
        EXPECT_TRUE(near(c.vbmin * ton * ns / np, vout * tdem)) << c.vled;
        EXPECT_TRUE(near(L * 1e-6 * ipk, c.vbmin * ton)) << c.vled; // Faraday: current ramp
        // Faraday: the flux of the shown primary at Bpk within half a turn, at
        // most one secondary turn to spare
        const double perTurn = c.ae * 1e-6 * c.bpk;
        EXPECT_GE((np + 0.5) * perTurn, c.vbmin * ton * (1 - 1e-5)) << c.vled;
        EXPECT_LT((np - n - 0.5) * perTurn, c.vbmin * ton) << c.vled;
        // the design ratio (secondary conducting for Dout) within half a primary
        // turn; the reflected voltage and the secondary's conduction move no more
        const double vor0 = c.vbmin * c.dmax / c.dout;
        EXPECT_LE(std::fabs(np - ns * vor0 / vout), 0.5 + 1e-4) << c.vled;
        EXPECT_LE(std::fabs(vor - vor0), 0.5 / ns * vout * (1 + 1e-5)) << c.vled;
        EXPECT_LE(std::fabs(tdem * c.fmin * 1e3 / c.dout - 1), std::fabs(vor0 / vor - 1) + 1e-5) << c.vled;
        // what the secondary delivers is the efficiency times what the primary stored
        EXPECT_TRUE(near(0.5 * L / (n * n) * ispk * ispk, c.eff / 100 * 0.5 * L * ipk * ipk)) << c.vled;
        // the feedback winding gives at least Vfb, one turn fewer would not
        EXPECT_GE(nfb * vout / ns, c.vfb * (1 - 1e-5)) << c.vled;
        EXPECT_LT((nfb - 1) * vout / ns, c.vfb) << c.vled;
    }
}

TEST_F(IcDesigners, IsolatedLedSingleStagePfc) {
    auto& d = open<I>();
    d.setText(I::kVled, "40"); // typed, then discarded by the family change
    choose(d, I::kFamily, 1);
    EXPECT_EQ(d.text(I::kFamilyNote), "适用于SD6800 LZC811等原边单级PFC恒流!");
    EXPECT_EQ(d.text(I::kLastLabel), "最高频率(kHz)");
    EXPECT_TRUE(d.enabled(I::kVor) && d.enabled(I::kVorLabel));
    for (int id : {I::kDmax, I::kDout, I::kVbmin}) {
        EXPECT_FALSE(d.enabled(id)) << id;
        EXPECT_EQ(d.text(id), "") << id;
    }
    const std::pair<int, const char*> defaults[] = {{I::kVacMin, "90"}, {I::kVacMax, "280"}, {I::kVled, "32"},
                                                    {I::kIo, "1.5"},    {I::kFmin, "50"},    {I::kVor, "105"},
                                                    {I::kVfb, "16"},    {I::kEff, "90"},     {I::kAe, "117"},
                                                    {I::kBpk, "0.3"},   {I::kVf, "0.7"}};
    for (auto [id, text] : defaults) EXPECT_EQ(d.text(id), text) << id;
    // the defaults, a 20 W bulb driver and a 48 W panel driver
    const std::vector<std::array<float, 6>> designs = {{90, 32, 1.5f, 50, 105, 90}, {90, 20, 1, 60, 100, 88},
                                                       {90, 48, 1, 55, 130, 90}, {176, 24, 2, 60, 90, 92}};
    for (const auto& x : designs) {
        set(d, {{I::kVacMin, x[0]}, {I::kVled, x[1]}, {I::kIo, x[2]}, {I::kFmin, x[3]}, {I::kVor, x[4]}, {I::kEff, x[5]}});
        press(d, I::kCalc);
        ASSERT_TRUE(hb.messages.empty());
        const double vpk = 1.414 * x[0], vout = x[1] + 0.7, period = 1 / (x[3] * 1e3);
        const double np = number(d, I::kNp), ns = number(d, I::kNs), nfb = number(d, I::kNfb), n = number(d, I::kN);
        for (double t : {np, ns, nfb}) EXPECT_EQ(t, std::round(t)) << x[1];
        EXPECT_NEAR(n, np / ns, 1e-5 * n);
        // the entered Vor's ratio within half a primary turn; the wound one
        // reflects vor, which moves by no more than that
        EXPECT_LE(std::fabs(np - ns * x[4] / vout), 0.5 + 1e-4) << x[1];
        const double vor = n * vout;
        EXPECT_LE(std::fabs(vor - x[4]), 0.5 / ns * vout * (1 + 1e-5)) << x[1];
        // the on-time at the crest balances the reflected volt-seconds of the rest
        // of the period: Vpk·ton·Ns/Np = (Vled + Vf)·(T − ton)
        const double t = vor * period / (vor + vpk);
        EXPECT_NEAR(vpk * t * ns / np, vout * (period - t), 1e-5 * vout * period);
        const double L = number(d, I::kL) * 1e-6, ipk = number(d, I::kIpk);
        EXPECT_NEAR(L * ipk, vpk * t, 2e-5 * vpk * t);
        // Faraday: the primary holds the entered Vor's on-time at 0.3 T within
        // half a turn, at most one secondary turn to spare; the wound Vor moves
        // the on-time, so the shown flux, by less than it moves itself
        const double t0 = x[4] * period / (x[4] + vpk), perTurn = 117e-6 * 0.3;
        EXPECT_GE((np + 0.5) * perTurn, vpk * t0 * (1 - 1e-5)) << x[1];
        EXPECT_LT((np - n - 0.5) * perTurn, vpk * t0) << x[1];
        EXPECT_LE(std::fabs(t / t0 - 1), std::fabs(vor / x[4] - 1)) << x[1];
        EXPECT_NEAR(number(d, I::kIspk), ipk * n, 1e-5 * ipk * n); // ampere-turns at the switch-off
        EXPECT_GE(nfb * vout / ns, 16 * (1 - 1e-5)) << x[1];
        EXPECT_LT((nfb - 1) * vout / ns, 16) << x[1];
        // the energy the primary stores over the mains cycle, times η, is the output
        const double po = vout * x[2], eff = x[5] / 100.0;
        EXPECT_NEAR(eff * lineCyclePower(L, vpk, ipk, vor), po, 1e-4 * po) << x[1];
        // the same L at the crest of the highest mains: its on-time from fmax delivers the output too
        const double vpkMax = 1.414 * 280, fmax = number(d, I::kLast) * 1e3;
        const double tonMax = 1 / (fmax * (1 + vpkMax / vor));
        EXPECT_NEAR(eff * lineCyclePower(L, vpkMax, vpkMax * tonMax / L, vor), po, 1e-4 * po) << x[1];
        EXPECT_GT(number(d, I::kLast), x[3]); // the crest frequency rises with the mains
        EXPECT_TRUE(allFinite(d));
    }
    // the worked example of the defaults (383 μH and 3.00 A had been the energy balance divided
    // by η twice): 32.78 primary turns at 0.3 T on 10.21 secondary ones, wound as 11
    // secondary, 35 primary (3.211 · 11 = 35.3) and 6 feedback turns (16 V needs 5.38);
    // 35/11 reflects 104.1 V instead of 105, so 335.4 μH becomes 332.2 μH, 3.431 A
    // becomes 3.446 A and 110.7 kHz 110.2 kHz; the flux of the 35 turns is 0.280 T
    choose(d, I::kFamily, 1);
    press(d, I::kCalc);
    EXPECT_EQ(d.text(I::kNs), "11");
    EXPECT_EQ(d.text(I::kNp), "35");
    EXPECT_EQ(d.text(I::kNfb), "6");
    EXPECT_NEAR(number(d, I::kL), 332.2, 0.1);
    EXPECT_NEAR(number(d, I::kIpk), 3.446, 0.001);
    EXPECT_NEAR(number(d, I::kL) * number(d, I::kIpk) / (number(d, I::kNp) * 117), 0.2796, 1e-4);
    EXPECT_NEAR(number(d, I::kLast), 110.2, 0.05);
    // switching twice restores the defaults
    d.setText(I::kVor, "90");
    choose(d, I::kFamily, 0);
    choose(d, I::kFamily, 1);
    EXPECT_EQ(d.text(I::kVor), "105");
    for (int r : kIsoResults) EXPECT_EQ(d.text(r), "");
}

TEST_F(IcDesigners, IsolatedLedNamesWhatItCannotTake) {
    auto& d = open<I>();
    struct Case {
        int family, edit;
        const char* text;
        std::string message;
    };
    using services::Range;
    const Case cases[] = {
        {0, I::kDout, "0", services::rangeMessage(Range::Fraction, "输出占空比")},
        {0, I::kEff, "0", services::rangeMessage(Range::Percent, "变压器转换效率(%)")},
        {0, I::kVbmin, "0", services::rangeMessage(Range::Positive, "最低电解电压(V)")},
        {1, I::kVor, "0", services::rangeMessage(Range::Positive, "反射电压Vor(V)")},
        {1, I::kIo, "-1", services::rangeMessage(Range::Positive, "LED电流(A)")},
        {1, I::kAe, "1e", I::kUnreadable},
        {0, I::kVled, "", I::kUnreadable},
    };
    for (const Case& c : cases) {
        choose(d, I::kFamily, c.family);
        press(d, I::kCalc);
        ASSERT_NE(d.text(I::kL), "");
        d.setText(c.edit, c.text);
        clear();
        press(d, I::kCalc);
        refused(*this, d, kIsoResults, c.message);
        EXPECT_EQ(hb.messages.size(), 1u) << c.message;
    }
}

TEST_F(IcDesigners, IsolatedLedCorePick) {
    copyCoreList();
    auto& d = open<I>();
    press(d, I::kCalc);
    d.setText(I::kIo, "0.5"); // typed since the last computation
    hb.queueScript(kv::tpl::kCoreDatabase, [](ui::Dialog& db) {
        db.select(1373, 1);
        db.dispatch(1, ui::Notify::Clicked);
    });
    clear();
    press(d, I::kCore);
    EXPECT_EQ(count(kv::tpl::kCoreDatabase), 1);
    EXPECT_EQ(count(kv::tpl::kCalculating), 2); // the preparation, then the computation
    EXPECT_NE(d.text(I::kAe), "19");
    EXPECT_EQ(d.text(I::kIo), "0.5");
    // 0.5 A over a secondary conduction of 0.5 of the period at the design
    // ratio: the wound ratio moves it by its rounding on the picked core
    const double vor0 = 80 * 0.42 / 0.5;
    EXPECT_NEAR(number(d, I::kIspk), 2 * 0.5 / 0.5 * number(d, I::kLast) / vor0, 1e-4);
    EXPECT_LE(std::fabs(number(d, I::kLast) - vor0), 0.5 / number(d, I::kNs) * 25.8 * (1 + 1e-5));
    EXPECT_TRUE(hb.messages.empty());
    // cancelled: Ae stays; the results were blanked by the preparation
    const std::string ae = d.text(I::kAe);
    press(d, I::kCore);
    EXPECT_EQ(d.text(I::kAe), ae);
    EXPECT_EQ(d.text(I::kL), "");
    // a field that does not read: the message, no picker
    d.setText(I::kFmin, "x");
    clear();
    press(d, I::kCore);
    EXPECT_EQ(count(kv::tpl::kCoreDatabase), 0);
    EXPECT_TRUE(namesTheField(I::kUnreadable, d.labelBefore(I::kFmin)));
}

// ---------------------------------------------------------------- buck LED drivers

TEST_F(IcDesigners, Sd670xCriticalConductionBuck) {
    using S = Sd670xDesigner;
    auto& d = open<S>();
    EXPECT_EQ(d.title(), "士兰 SD670X非隔离降压LED驱动类（无PFC）");
    EXPECT_EQ(d.text(S::kL), "");
    press(d, S::kCalc);
    EXPECT_EQ(count(kv::tpl::kCalculating), 1);
    EXPECT_NEAR(number(d, S::kL), 1636.0, 0.1);
    EXPECT_NEAR(number(d, S::kN), 223, 0.5);
    const std::vector<std::array<float, 7>> designs = {{100, 72, 0.24f, 96, 45, 12, 0.3f},
                                                       {180, 120, 0.35f, 92, 60, 20, 0.28f},
                                                       {90, 36, 0.6f, 90, 40, 30, 0.25f}};
    for (const auto& x : designs) {
        set(d, {{S::kVin, x[0]}, {S::kVo, x[1]}, {S::kIo, x[2]}, {S::kEff, x[3]}, {S::kFmin, x[4]}, {S::kAe, x[5]}, {S::kB, x[6]}});
        press(d, S::kCalc);
        ASSERT_TRUE(hb.messages.empty());
        // at the crest a triangle of twice the LED current: on at Vpk − Vo, off at Vo, one period at fmin
        const double vpk = 1.414 * x[0], L = number(d, S::kL) * 1e-6, i = 2 * x[2];
        const double period = L * i / (vpk - x[1]) + L * i / x[1];
        EXPECT_NEAR(1 / period, x[4] * 1e3, x[4] * 0.02);
        // the turns carry the peak current, the LED current raised by the losses, at B
        const double ipk = 2 * x[2] * std::sqrt(100 / x[3]);
        EXPECT_NEAR(number(d, S::kN) * x[5] * x[6], ipk * number(d, S::kL), 1e-4 * ipk * number(d, S::kL));
    }
    // the highest mains is not used
    const std::string L = d.text(S::kL);
    d.setText(S::kVinMax, "300");
    press(d, S::kCalc);
    EXPECT_EQ(d.text(S::kL), L);
}

TEST_F(IcDesigners, Sd690xIntegratesAboveTheLedVoltage) {
    using S = Sd690xDesigner;
    auto& d = open<S>();
    EXPECT_EQ(d.title(), "士兰 SD690X SD692X类非隔离高P设计");
    press(d, S::kCalc);
    EXPECT_NEAR(number(d, S::kIpk), 1.36, 0.005);
    EXPECT_NEAR(number(d, S::kL), 598, 0.5);
    EXPECT_NEAR(number(d, S::kN), 135, 0.5);
    EXPECT_NEAR(number(d, S::kNa), 28.8, 0.05);
    EXPECT_NEAR(d.out.theta0, 0.630, 0.0005);
    const std::vector<std::array<float, 5>> designs = {{90, 75, 0.24f, 90, 16}, {176, 140, 0.18f, 92, 18},
                                                       {85, 40, 0.5f, 88, 14}};
    for (const auto& x : designs) {
        set(d, {{S::kVin, x[0]}, {S::kVo, x[1]}, {S::kIo, x[2]}, {S::kEff, x[3]}, {S::kVfb, x[4]}});
        press(d, S::kCalc);
        ASSERT_TRUE(hb.messages.empty());
        // Vo · ∫ (√2·Vin·sinθ − Vo) dθ from where the mains reaches Vo to the crest
        const double t0 = std::asin(x[1] / (1.414 * x[0]));
        double s = 0;
        const int n = 100000;
        for (int k = 0; k < n; ++k) {
            const double th = t0 + (k + 0.5) * (std::numbers::pi / 2 - t0) / n;
            s += (std::sqrt(2.0) * x[0] * std::sin(th) - x[1]) * (std::numbers::pi / 2 - t0) / n;
        }
        s *= x[1];
        const double ipk = number(d, S::kIpk);
        EXPECT_NEAR(ipk, (std::sqrt(2.0) * x[0] - x[1]) * x[1] * x[2] * std::numbers::pi / (s * x[3] / 100), 1e-4 * ipk);
        EXPECT_NEAR(number(d, S::kN) * 20 * 0.3, number(d, S::kL) * ipk, 1e-4 * number(d, S::kL) * ipk);
        EXPECT_NEAR(number(d, S::kNa) * x[1], x[4] * number(d, S::kN), 1e-4 * x[4] * number(d, S::kN));
    }
    const std::string L = d.text(S::kL);
    d.setText(S::kVinMax, "90");
    press(d, S::kCalc);
    EXPECT_EQ(d.text(S::kL), L);
}

TEST_F(IcDesigners, BuckLedDesignersRefuseWhatTheyCannotDesign) {
    using services::Range;
    using A = Sd670xDesigner;
    using B = Sd690xDesigner;
    struct Case {
        bool sd690x;
        int edit;
        const char* text;
        std::string message;
    };
    const std::string crest = "输入有误：“输出电压(V)”必须低于“最低交流输入(V)”的峰值（1.414倍），请检查输入！";
    const Case cases[] = {
        {false, A::kVo, "141.4", crest}, // at the crest: no inductance
        {false, A::kVo, "200", crest},
        {true, B::kVo, "127.3", crest},  // over the crest: an arcsine of more than 1
        {true, B::kVin, "50", crest},
        {false, A::kEff, "0", services::rangeMessage(Range::Percent, "变压器转换效率(%)")},
        {true, B::kEff, "0", services::rangeMessage(Range::Percent, "估计效率(%)")},
        {false, A::kIo, "0", services::rangeMessage(Range::Positive, "输出电流(A)")},
        {true, B::kFmin, "-38", services::rangeMessage(Range::Positive, "最低频率(KHz)")},
        {false, A::kIo, "1e-38", services::noResultMessage("输出电压(V)")}, // beyond the number range
        {false, A::kAe, "12a", A::kUnreadable},
        {true, B::kVfb, "", B::kUnreadable},
    };
    for (const Case& c : cases) {
        ui::Dialog& d = c.sd690x ? static_cast<ui::Dialog&>(open<B>()) : open<A>();
        const int calc = c.sd690x ? int(B::kCalc) : int(A::kCalc);
        const std::vector<int> results = c.sd690x ? std::vector<int>{B::kL, B::kN, B::kNa, B::kIpk}
                                                  : std::vector<int>{A::kL, A::kN};
        press(d, calc);
        ASSERT_NE(d.text(results[0]), "");
        d.setText(c.edit, c.text);
        clear();
        press(d, calc);
        refused(*this, d, results, c.message);
        EXPECT_EQ(hb.messages.size(), 1u) << c.message;
    }
}

TEST_F(IcDesigners, BuckLedCorePicks) {
    copyCoreList();
    for (bool sd690x : {false, true}) {
        ui::Dialog& d = sd690x ? static_cast<ui::Dialog&>(open<Sd690xDesigner>()) : open<Sd670xDesigner>();
        const int calc = sd690x ? int(Sd690xDesigner::kCalc) : int(Sd670xDesigner::kCalc);
        const int L = Sd670xDesigner::kL, ae = Sd670xDesigner::kAe, core = Sd670xDesigner::kCore;
        press(d, calc);
        const std::string ae0 = d.text(ae);
        // cancelled: Ae stays and no computation runs; the outputs were blanked first
        clear();
        press(d, core);
        EXPECT_EQ(d.text(ae), ae0);
        EXPECT_EQ(d.text(L), "");
        EXPECT_EQ(count(kv::tpl::kCalculating), 0);
        // a core: its Ae, then the computation with its box
        hb.queueScript(kv::tpl::kCoreDatabase, [](ui::Dialog& db) {
            db.select(1373, 2);
            db.dispatch(1, ui::Notify::Clicked);
        });
        press(d, core);
        EXPECT_NE(d.text(ae), ae0);
        EXPECT_NE(d.text(L), "");
        EXPECT_EQ(count(kv::tpl::kCalculating), 1);
        EXPECT_TRUE(hb.messages.empty());
        // fields that do not read: the designer's message and no picker
        d.setText(Sd670xDesigner::kVo, "?");
        clear();
        press(d, core);
        EXPECT_EQ(count(kv::tpl::kCoreDatabase), 0);
        EXPECT_TRUE(namesTheField(sd690x ? Sd690xDesigner::kUnreadable : Sd670xDesigner::kUnreadable,
                                  d.labelBefore(Sd670xDesigner::kVo)));
    }
}
