#include "ic_designers/QrCalc.h"
#include "ic_designers/QrDesigner.h"

#include "tests/ic_designers/IcDesignersSupport.h"
#include "tools/Cli.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace ui = kv::ui;
using kv::ic::Band;
using kv::ic::QrDesign;
using kv::ic::QrDesigner;

namespace {

// Valley switching worked out from the physics: the switch is on for ton,
// the secondary conducts for ton·V/Vor', the drain rings half a resonance
// period of Lp with Coss down to the valley; the energy ½·Lp·Ipk² per period
// is the input power. ton is found by bisection.
struct Valley {
    double duty, fKHz, ipk;
};
Valley solve(const QrDesign& d, double v) {
    const double lp = d.lp * 1e-6, tr = 2 * std::numbers::pi * std::sqrt(lp * d.coss * 1e-12);
    const double vor = d.n * (double(d.vo) + d.vd), pin = double(d.vo) * d.io / (d.eff / 100.0);
    const auto period = [&](double ton) { return ton * (1 + v / vor) + tr / 2; };
    double lo = 0, hi = 10;
    for (int i = 0; i < 200; ++i) {
        const double ton = (lo + hi) / 2;
        const double ipk = v * ton / lp;
        (0.5 * lp * ipk * ipk / period(ton) < pin ? lo : hi) = ton;
    }
    const double t = period(lo);
    return {lo / t, 1e-3 / t, v * lo / lp};
}

void expectRel(double actual, double expected, double rel, const char* what) {
    EXPECT_NEAR(actual, expected, std::fabs(expected) * rel) << what;
}

QrDesign design(float vl, float vh, float vo, float io, float eff, float n, float lp, float ae, float b, float vfb,
                float coss, float vd) {
    return QrDesign{vl, vh, vo, io, eff, n, lp, ae, b, vfb, coss, vd};
}

TEST(QrCalc, DefaultsGiveTheWorkedExample) {
    QrDesign d;
    ASSERT_EQ(kv::ic::qrCalc(d).stop, 0);
    EXPECT_NEAR(d.dl, 0.266, 5e-4);
    EXPECT_NEAR(d.fl, 43.6, 0.05);
    EXPECT_NEAR(d.dh, 0.177, 5e-4);
    EXPECT_NEAR(d.fh, 53.9, 0.05);
    EXPECT_NEAR(d.ipk, 2.09, 0.005);
    // 43.9 primary turns at Bmax on 6.01 secondary ones: 7 secondary turns,
    // 51 primary ones (7.3 each), 9 auxiliary ones (7.52 · 7 / 6.01 = 8.75)
    EXPECT_EQ(d.np, 51);
    EXPECT_EQ(d.ns, 7);
    EXPECT_EQ(d.na, 9);
    EXPECT_NEAR(d.vor, 93.4, 0.05);
    EXPECT_EQ(kv::ic::lowLineBand(d.fl, d.fh), Band::Green);
    EXPECT_EQ(kv::ic::highLineBand(d.fh), Band::Green);
}

TEST(QrCalc, DefaultsAndTwoDesignsAgreeWithTheValleyPhysics) {
    const QrDesign designs[] = {
        QrDesign{},
        design(100, 370, 5, 2, 80, 14, 1200, 40, 0.3f, 18, 100, 0.5f),
        design(300, 420, 24, 3, 92, 5, 400, 80, 0.25f, 15, 150, 1),
    };
    for (QrDesign d : designs) {
        ASSERT_EQ(kv::ic::qrCalc(d).stop, 0);
        const Valley low = solve(d, d.vl), high = solve(d, d.vh);
        // 6.28 stands for 2π in the resonance period: a few parts in ten thousand.
        const double rel = 1e-3;
        expectRel(d.dl, low.duty, rel, "D_L");
        expectRel(d.fl, low.fKHz, rel, "F_L");
        expectRel(d.dh, high.duty, rel, "D_H");
        expectRel(d.fh, high.fKHz, rel, "F_H");
        expectRel(d.ipk, low.ipk, rel, "Ipk");
        // whole turns: flux N·B·Ae at least Lp·Ipk (within half a turn), at most
        // one secondary turn to spare; the ratio n within half a primary turn;
        // the auxiliary gives at least Vfb at the secondary's volts per turn
        for (const float t : {d.np, d.ns, d.na}) EXPECT_EQ(t, std::round(t));
        const double perTurn = d.b * d.ae * 1e-6, li = d.lp * 1e-6 * d.ipk;
        EXPECT_GE((d.np + 0.5) * perTurn, li * (1 - 1e-5));
        EXPECT_LT((d.np - d.n - 0.5) * perTurn, li);
        EXPECT_LE(std::fabs(d.np - d.n * d.ns), 0.5 + 1e-4);
        const double perSecondaryTurn = (d.vo + d.vd) / d.ns;
        EXPECT_GE(d.na * perSecondaryTurn, d.vfb * (1 - 1e-5));
        EXPECT_LT((d.na - 1) * perSecondaryTurn, d.vfb);
        expectRel(d.vor, d.n * (d.vo + d.vd), 1e-6, "Vor");
    }
}

TEST(QrCalc, DutyStaysAccurateWhereTheTextbookRootCancels) {
    // X near 1e-4: in (√(k² + 2X) − k)/X the subtraction loses most digits of single precision.
    QrDesign d;
    d.io = 7.25e4f;
    ASSERT_EQ(kv::ic::qrCalc(d).stop, 0);
    expectRel(d.dl, solve(d, d.vl).duty, 2e-5, "D_L");
    expectRel(d.dh, solve(d, d.vh).duty, 2e-5, "D_H");
    EXPECT_GT(d.fl, 0);
    EXPECT_GT(d.fh, 0);
}

TEST(QrBands, EdgesOfTheFrequencyBands) {
    using kv::ic::highLineBand;
    using kv::ic::lowLineBand;
    EXPECT_EQ(lowLineBand(130, 100), Band::Green);
    EXPECT_EQ(lowLineBand(40.001f, 100), Band::Green);
    EXPECT_EQ(lowLineBand(40, 100), Band::Orange);  // exactly 40 is orange while F_H <= 130
    EXPECT_EQ(lowLineBand(40, 130), Band::Orange);
    EXPECT_EQ(lowLineBand(40, 130.01f), Band::Red); // and red once F_H is above 130
    EXPECT_EQ(lowLineBand(20.001f, 100), Band::Orange);
    EXPECT_EQ(lowLineBand(20, 100), Band::Red);
    EXPECT_EQ(lowLineBand(130.01f, 100), Band::Red);
    EXPECT_EQ(lowLineBand(100, 200), Band::Green); // in its band F_L is green whatever F_H
    EXPECT_EQ(highLineBand(130), Band::Green);
    EXPECT_EQ(highLineBand(130.01f), Band::Red);
    EXPECT_EQ(QrDesigner::colorOf(Band::Green), (ui::Color{0, 150, 0}));
    EXPECT_EQ(QrDesigner::colorOf(Band::Orange), (ui::Color{255, 128, 0}));
    EXPECT_EQ(QrDesigner::colorOf(Band::Red), (ui::Color{255, 0, 0}));
}

using QrWindow = kv::test::IcDesigners;

TEST_F(QrWindow, NewWindowShowsInputsAndNoResults) {
    auto& w = open<QrDesigner>();
    EXPECT_EQ(w.title(), "准谐振（FAN6921，OB2203类反激部分）");
    EXPECT_EQ(w.text(1469), "240");
    EXPECT_EQ(w.text(1038), "0.28");
    for (int id : {1041, 1042, 1043, 1044, 1045, 1046, 1047, 1049, 1050}) EXPECT_EQ(w.text(id), "") << id;
}

TEST_F(QrWindow, ColoursFollowTheComputedFrequencies) {
    auto& w = open<QrDesigner>();
    const auto colour = [&](int id) { return *w.control(id)->textColor; };
    press(w, QrDesigner::kCalculate);
    EXPECT_EQ(w.text(QrDesigner::kLowLine), "43.6232");
    EXPECT_EQ(colour(QrDesigner::kLowLine), (ui::Color{0, 150, 0}));
    EXPECT_EQ(colour(QrDesigner::kHighLine), (ui::Color{0, 150, 0}));
    type(w, 1036, "1500"); // F_L ≈ 21 kHz
    press(w, QrDesigner::kCalculate);
    EXPECT_EQ(colour(QrDesigner::kLowLine), (ui::Color{255, 128, 0}));
    type(w, 1036, "250"); // F_H ≈ 140 kHz
    press(w, QrDesigner::kCalculate);
    EXPECT_EQ(colour(QrDesigner::kLowLine), (ui::Color{0, 150, 0}));
    EXPECT_EQ(colour(QrDesigner::kHighLine), (ui::Color{255, 0, 0}));
    type(w, 1469, "60"); // F_L above 130 as well
    press(w, QrDesigner::kCalculate);
    EXPECT_EQ(colour(QrDesigner::kLowLine), (ui::Color{255, 0, 0}));
    std::string out, err;
    ASSERT_EQ(kv::tools::runCli({"297", "--set", "1036=1500", "--press", "1466"}, out, err), 0) << err;
    EXPECT_NE(out.find("\"1044\": {\"text\": \"21.0114\", \"enabled\": true, \"visible\": true, \"color\": \"#ff8000\"}"),
              std::string::npos)
        << out;
}

TEST_F(QrWindow, ZeroOrNegativeEntriesAreNamedAndNothingIsShown) {
    for (int id : {1469, 1470, 1468, 1033, 1034, 1035, 1036, 1037, 1038, 1040}) {
        auto& w = open<QrDesigner>();
        press(w, QrDesigner::kCalculate);
        hb.messages.clear();
        type(w, id, "0");
        press(w, QrDesigner::kCalculate);
        ASSERT_EQ(hb.messages.size(), 1u) << id;
        EXPECT_EQ(hb.messages[0].text.rfind("输入有误：“" + w.labelBefore(id) + "”", 0), 0u) << hb.messages[0].text;
        for (int r : {1041, 1042, 1043, 1044, 1045, 1046, 1047, 1049, 1050}) EXPECT_EQ(w.text(r), "") << id;
    }
    // The feedback winding and the diode drop may be zero.
    auto& w = open<QrDesigner>();
    type(w, 1039, "0");
    type(w, 1048, "0");
    hb.messages.clear();
    press(w, QrDesigner::kCalculate);
    EXPECT_TRUE(hb.messages.empty());
    EXPECT_EQ(w.text(1043), "0");
    // Not a number: one message, the designer's words naming the field.
    type(w, 1035, "7.3:1");
    press(w, QrDesigner::kCalculate);
    EXPECT_TRUE(namesTheField(QrDesigner::kBadInput, w.labelBefore(1035)));
    EXPECT_EQ(w.text(1041), "");
}

TEST_F(QrWindow, ResultsAppearAfterTheCalculatingBox) {
    auto& w = open<QrDesigner>();
    bool blankWhilePausing = false;
    hb.queueScript(217, [&](ui::Dialog&) { blankWhilePausing = w.text(1041).empty(); });
    press(w, QrDesigner::kCalculate);
    EXPECT_TRUE(blankWhilePausing);
    EXPECT_EQ(w.text(1041), "51");
}

} // namespace
