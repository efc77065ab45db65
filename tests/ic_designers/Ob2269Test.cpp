#include "ic_designers/Ob2269Calc.h"
#include "ic_designers/Ob2269Designer.h"

#include "tests/ic_designers/IcDesignersSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using kv::ic::Ob2269Design;
using kv::ic::Ob2269Designer;

namespace {

void expectRel(double actual, double expected, double rel, const char* what) {
    EXPECT_NEAR(actual, expected, std::fabs(expected) * rel) << what;
}

Ob2269Design design(float vmin, float vo, float io, float f, float eff, float vor, float k, float ae, float b,
                    float vfb) {
    return Ob2269Design{vmin, vo, io, f, eff, vor, k, ae, b, vfb};
}

TEST(Ob2269Calc, DefaultsGiveTheWorkedExample) {
    Ob2269Design d;
    const auto o = kv::ic::ob2269Calc(d);
    ASSERT_EQ(o.stop, 0);
    EXPECT_TRUE(o.notices.empty());
    EXPECT_FLOAT_EQ(d.n, 6);
    EXPECT_NEAR(d.dmax, 0.493, 5e-4);
    EXPECT_NEAR(d.lp, 2.7093, 5e-4);
    EXPECT_NEAR(d.ipk, 0.561, 5e-4);
    // 151.3 primary turns at Bmax, 25.2 secondary ones at n = 6: wound as 26
    // secondary, 156 primary and 35 auxiliary turns (33.3 · 26 / 25.2 = 34.3)
    EXPECT_EQ(d.ns, 26);
    EXPECT_EQ(d.np, 156);
    EXPECT_EQ(d.na, 35);
    EXPECT_NEAR(d.r, 0.666, 5e-4);
    EXPECT_NEAR(d.cin, 21.8, 0.05);
}

TEST(Ob2269Calc, DefaultsAndTwoDesignsKeepTheBalances) {
    const Ob2269Design designs[] = {
        Ob2269Design{},
        design(100, 5, 2, 65, 80, 90, 0.5f, 25, 0.28f, 18),
        design(60, 24, 2.5f, 100, 85, 110, 0.25f, 60, 0.32f, 14),
    };
    for (Ob2269Design d : designs) {
        ASSERT_EQ(kv::ic::ob2269Calc(d).stop, 0);
        const double pin = double(d.vo) * d.io / (d.eff / 100.0);
        const double vout = d.vo + 0.5;
        // volt-second balance of the primary at the lowest bulk voltage
        expectRel(d.vmin * d.dmax, d.vor * (1 - d.dmax), 1e-5, "Dmax");
        expectRel(d.n, d.vor / vout, 1e-6, "n");
        // the ramp over the on-time, and the input power it carries
        const double ramp = d.vmin * (d.dmax / (d.f * 1e3)) / (d.lp * 1e-3);
        expectRel(d.vmin * d.dmax * (d.ipk - ramp / 2), pin, 1e-4, "power balance");
        // at K·Pin the valley of the ramp touches zero
        expectRel(d.vmin * d.dmax * ramp / 2, d.k * pin, 1e-4, "conduction boundary");
        // whole turns: flux N·B·Ae at least Lp·Ipk (within half a turn), at most
        // one secondary turn to spare; the ratio n within half a primary turn;
        // the auxiliary gives at least Vfb at the secondary's volts per turn
        for (const float t : {d.np, d.ns, d.na}) EXPECT_EQ(t, std::round(t));
        const double perTurn = d.b * d.ae * 1e-6, li = d.lp * 1e-3 * d.ipk;
        EXPECT_GE((d.np + 0.5) * perTurn, li * (1 - 1e-5));
        EXPECT_LT((d.np - d.n - 0.5) * perTurn, li);
        EXPECT_LE(std::fabs(d.np - d.n * d.ns), 0.5 + 1e-4);
        EXPECT_GE(d.na * vout / d.ns, d.vfb * (1 - 1e-5));
        EXPECT_LT((d.na - 1) * vout / d.ns, d.vfb);
        // the ripple ratio is set by K alone (the algorithm's r = 2K)
        expectRel(d.r, 2 * d.k, 1e-4, "r");
        // 7 ms of hold-up from the crest of 90 Vac down to Vmin
        expectRel(0.5 * d.cin * 1e-6 * (std::pow(90 * 1.414, 2) - double(d.vmin) * d.vmin), pin * 7e-3, 1e-4, "Cin");
    }
}

TEST(Ob2269Calc, NoHoldUpAtOrAboveTheCrestLeavesOnlyCinWithoutValue) {
    for (float vmin : {127.26f, 130.0f, 300.0f}) {
        Ob2269Design d;
        d.vmin = vmin;
        const auto o = kv::ic::ob2269Calc(d);
        ASSERT_EQ(o.stop, 0) << vmin;
        EXPECT_EQ(o.notices, std::vector<int>{kv::ic::kObNoHoldUp}) << vmin;
        EXPECT_TRUE(std::isnan(d.cin));
        EXPECT_TRUE(std::isfinite(d.lp) && std::isfinite(d.np) && std::isfinite(d.r));
    }
    Ob2269Design d;
    d.vmin = 127;
    EXPECT_TRUE(kv::ic::ob2269Calc(d).notices.empty());
    EXPECT_GT(d.cin, 3000); // little headroom, a large capacitor
}

using Ob2269Window = kv::test::IcDesigners;

TEST_F(Ob2269Window, NewWindowThenTheDefaultsComputed) {
    auto& w = open<Ob2269Designer>();
    EXPECT_EQ(w.title(), "OB2269类计算(PWM模式 )");
    for (int id : {1088, 1044, 1045, 1046, 1047, 1048, 1049, 1050, 1371}) EXPECT_EQ(w.text(id), "") << id;
    press(w, Ob2269Designer::kCalculate);
    EXPECT_TRUE(hb.messages.empty());
    EXPECT_EQ(w.text(1088), "2.70927");
    EXPECT_EQ(w.text(1047), "6");
    EXPECT_EQ(w.text(1049), "0.666");
    EXPECT_EQ(w.text(Ob2269Designer::kCin), "21.8194");
}

TEST_F(Ob2269Window, BulkVoltageAboveTheCrestBlanksCinOnly) {
    auto& w = open<Ob2269Designer>();
    type(w, 1440, "127.26");
    press(w, Ob2269Designer::kCalculate);
    EXPECT_EQ(texts(), std::vector<std::string>{Ob2269Designer::kNoHoldUp});
    EXPECT_EQ(w.text(Ob2269Designer::kCin), "");
    for (int id : {1088, 1044, 1045, 1046, 1047, 1048, 1049, 1050}) EXPECT_NE(w.text(id), "") << id;
}

TEST_F(Ob2269Window, ZeroEntriesAreNamed) {
    for (int id : {1440, 1441, 1033, 1421, 1019, 1036, 1037, 1038, 1039}) {
        auto& w = open<Ob2269Designer>();
        hb.messages.clear();
        type(w, id, "0");
        press(w, Ob2269Designer::kCalculate);
        ASSERT_EQ(hb.messages.size(), 1u) << id;
        EXPECT_EQ(hb.messages[0].text.rfind("输入有误：“" + w.labelBefore(id) + "”", 0), 0u) << hb.messages[0].text;
        for (int r : {1088, 1044, 1045, 1046, 1047, 1048, 1049, 1050, 1371}) EXPECT_EQ(w.text(r), "") << id;
    }
    auto& w = open<Ob2269Designer>();
    hb.messages.clear();
    type(w, 1037, "0");
    press(w, Ob2269Designer::kCalculate);
    EXPECT_EQ(texts(), std::vector<std::string>{"输入有误：“连/断转折点功率占比”必须大于0，请检查输入！"});
    type(w, 1440, "--");
    hb.messages.clear();
    press(w, Ob2269Designer::kCalculate);
    EXPECT_TRUE(namesTheField(Ob2269Designer::kBadInput, w.labelBefore(1440)));
}

} // namespace
