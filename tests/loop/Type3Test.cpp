// The voltage-mode type III page: the network's zeros and poles worked out
// here from its parts, the plotted loop against the loop written out here
// from the parts and the LC plant the placement describes, and the refusals.
#include "loop/CType3.h"

#include "tests/loop/LoopTestSupport.h"

#include <cmath>

using namespace kv;
using namespace kv::loop;
using namespace kv::test;
using P = CType3;

namespace {

const std::vector<int> kResults = {P::kC1, P::kC2, P::kC3, P::kR2, P::kR3, P::kFop};

struct Design {
    const char *fp1, *fp2, *fz1, *fz2, *fc, *g, *r1;
};

void type(ui::Dialog& p, const Design& d) {
    const std::pair<int, const char*> in[] = {{P::kFp1, d.fp1}, {P::kFp2, d.fp2}, {P::kFz1, d.fz1},
                                              {P::kFz2, d.fz2}, {P::kFc, d.fc},   {P::kG, d.g},
                                              {P::kR1, d.r1}};
    for (auto [id, t] : in) p.setText(id, t);
}

double num(const char* s) { return std::atof(s); }

// The network as built: feedback R2 + C1 across C3, input R1 beside R3 + C2.
// Its zeros and poles in kHz, and the integrator's crossover.
void expectPlacement(ui::Dialog& p, const Design& d) {
    const double R1 = num(d.r1) * 1e3, R2 = shown(p, P::kR2) * 1e3, R3 = shown(p, P::kR3) * 1e3;
    const double C1 = shown(p, P::kC1) * 1e-9, C2 = shown(p, P::kC2) * 1e-9, C3 = shown(p, P::kC3) * 1e-12;
    const double k = 2 * kPi * 1000;
    const double rel = 2e-5;
    EXPECT_NEAR(1 / (k * R2 * C1), num(d.fz1), num(d.fz1) * rel);
    EXPECT_NEAR(1 / (k * (R1 + R3) * C2), num(d.fz2), num(d.fz2) * rel);
    EXPECT_NEAR(1 / (k * R3 * C2), num(d.fp1), num(d.fp1) * rel);
    EXPECT_NEAR((C1 + C3) / (k * R2 * C1 * C3), num(d.fp2), num(d.fp2) * 1e-4);
    // R1 with C1 crosses 0 dB at fop, and the regulator's gain takes it to fc
    EXPECT_NEAR(1 / (k * R1 * C1), shown(p, P::kFop), shown(p, P::kFop) * rel);
    EXPECT_NEAR(shown(p, P::kFop) * std::pow(10, num(d.g) / 20), num(d.fc), num(d.fc) * rel);
}

// The loop from the printed parts and the plant the placement describes:
// the gain G, the output filter's LC resonance where the two zeros sit
// (their geometric mean) damped by the ESR alone, whose zero is at fp1.
LoopFn loopOf(ui::Dialog& p, const Design& d, bool resonance = true) {
    const double R1 = num(d.r1) * 1e3, R2 = shown(p, P::kR2) * 1e3, R3 = shown(p, P::kR3) * 1e3;
    const double C1 = shown(p, P::kC1) * 1e-9, C2 = shown(p, P::kC2) * 1e-9, C3 = shown(p, P::kC3) * 1e-12;
    const double A = std::pow(10, num(d.g) / 20), fesr = num(d.fp1) * 1e3;
    const double fz1 = num(d.fz1) * 1e3, fz2 = num(d.fz2) * 1e3, f0 = std::sqrt(fz1 * fz2);
    const Cx j(0, 1);
    return [=](double f) {
        const Cx s = j * (2 * kPi * f);
        // two real poles on the zeros: what the page plotted before
        const Cx filter = resonance ? 1.0 / (1.0 - (f / f0) * (f / f0) + j * f / fesr)
                                    : 1.0 / ((1.0 + j * f / fz1) * (1.0 + j * f / fz2));
        const Cx plant = A * (1.0 + j * f / fesr) * filter;
        const Cx zf = 1.0 / (1.0 / (R2 + 1.0 / (s * C1)) + s * C3);
        const Cx zi = 1.0 / (1.0 / R1 + 1.0 / (R3 + 1.0 / (s * C2)));
        return plant * zf / zi;
    };
}
Reading readOf(ui::Dialog& p, const Design& d) { return readLoop(loopOf(p, d), 1, 1e8); }

// A page with design d typed in and computed: its parts place what was asked,
// and its plot shows the loop read here.
struct TypeThreePage : LoopPages {
    P& computed(const Design& d, Reading& r) {
        P& p = open<P>();
        type(p, d);
        clear();
        press(p, P::kCalc);
        expectPlacement(p, d);
        r = readOf(p, d);
        expectPlotReads(p, r);
        return p;
    }
};

} // namespace

TEST_F(LoopPages, TypeThreeDefaultsAndWorkedExample) {
    P& p = open<P>();
    EXPECT_EQ(p.title(), "电压模式Ⅲ型补偿网络 ");
    const std::pair<int, const char*> defaults[] = {{P::kFp1, "10.5"}, {P::kFp2, "500"}, {P::kFz1, "3.918"},
                                                    {P::kFz2, "3.918"}, {P::kFc, "50"},  {P::kG, "16.9"},
                                                    {P::kR1, "2"}};
    for (auto [id, t] : defaults) EXPECT_EQ(p.text(id), t) << id;
    for (int r : kResults) EXPECT_EQ(p.text(r), "");
    EXPECT_EQ(p.control(P::kNetworkGroup)->textColor, (ui::Color{200, 0, 128}));
    EXPECT_EQ(p.control(P::kPlacementGroup)->textColor, (ui::Color{64, 0, 128}));
    press(p, P::kCalc);
    EXPECT_TRUE(hb.messages.empty());
    EXPECT_EQ(boxes(), 1);
    // R3 = 2 · 3.918 / (10.5 − 3.918) kΩ
    EXPECT_TRUE(shows(p, P::kR3, 2 * 3.918 / (10.5 - 3.918)));
    const Design d = {"10.5", "500", "3.918", "3.918", "50", "16.9", "2"};
    expectPlacement(p, d);
    expectPlotReads(p, readOf(p, d));
    EXPECT_TRUE(hb.messages.empty()) << texts().front();
}

TEST_F(TypeThreePage, DesignsPlaceTheirZerosAndPoles) {
    // The plot's plant is the LC resonance the placement assumes (the zeros on
    // it, fp1 on its ESR zero): the loop falls at −20 dB/decade through fc,
    // where the page asked, and the resonance, sharper than two real poles,
    // takes phase that the zeros do not give back.
    const Design designs[] = {
        {"10.5", "500", "3.918", "3.918", "50", "16.9", "2"},
        {"30", "200", "2", "2.5", "20", "20", "10"},
        {"100", "300", "5", "6", "60", "14", "4.7"},
        {"8", "150", "1.2", "1", "25", "9.5", "1"},
    };
    for (const Design& d : designs) {
        Reading r;
        P& p = computed(d, r);
        EXPECT_TRUE(hb.messages.empty()) << texts().front();
        const double fc = num(d.fc) * 1000;
        EXPECT_NEAR(r.crossover, fc, fc * 0.05);
        const Reading poles = readLoop(loopOf(p, d, false), 1, 1e8);
        EXPECT_LT(r.margin, poles.margin - 1);
        EXPECT_LT(r.margin, 90 - std::atan(num(d.fc) / num(d.fp2)) * 180 / kPi);
    }
}

TEST_F(TypeThreePage, PolymerBuck) {
    // 12 → 3.3 V at 500 kHz: 1.5 μH, 3 × 220 μF polymer with 15 mΩ each
    // (660 μF, 5 mΩ): fLC = 5.06 kHz, fesr = 48.2 kHz, Q = 9.5 with no load.
    // Vramp 1.5 V: G = 20·lg(12/1.5) = 18.06 dB. Zeros on fLC, fp1 on fesr,
    // fp2 at fs/2, crossover 50 kHz.
    const Design d = {"48.2", "250", "5.06", "5.06", "50", "18.06", "10"};
    Reading r;
    P& p = computed(d, r);
    EXPECT_TRUE(hb.messages.empty()) << texts().front();
    EXPECT_NEAR(r.crossover, 50e3, 50e3 * 0.05);
    // two real poles would leave 79°; the resonance with Q 9.5 leaves about 68°
    EXPECT_NEAR(readLoop(loopOf(p, d, false), 1, 1e8).margin, 79.1, 0.3);
    EXPECT_NEAR(r.margin, 67.7, 0.5);
}

TEST_F(TypeThreePage, CrossingBelowTheResonance) {
    // Crossing at 5 kHz below an LC at 20 kHz with Q 10: the resonance lifts
    // the loop back above 0 dB, and the page says so.
    const Design d = {"200", "500", "20", "20", "5", "20", "10"};
    Reading r;
    P& p = computed(d, r);
    ASSERT_GT(r.regain, 10e3);
    EXPECT_LT(r.regain, 20e3);
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_EQ(hb.messages[0].icon, ui::Icon::Warning);
    EXPECT_NE(hb.messages[0].text.find("再次升到0dB以上"), std::string::npos) << hb.messages[0].text;
    EXPECT_EQ(plotted(p).points, 401u);
}

TEST_F(LoopPages, TypeThreeRefusals) {
    P& p = open<P>();
    press(p, P::kCalc);
    incompleteInput(p, P::kCalc, {P::kFp1, P::kG, P::kR1}, P::kIncomplete, kResults);
    EXPECT_EQ(std::string(P::kIncomplete), "  请输入完整的条件!  ");
    // each pole above the zero it pairs with
    refuses(p, P::kCalc, {{P::kFp1, "3.918"}}, "输入有误：“极点fp1(KHz)”必须大于“零点fz2(KHz)”，请检查输入！", kResults);
    p.setText(P::kFp1, "10.5");
    refuses(p, P::kCalc, {{P::kFp2, "3"}}, "输入有误：“极点fp2(KHz)”必须大于“零点fz1(KHz)”，请检查输入！", kResults);
    p.setText(P::kFp2, "500");
    // every input above 0
    const std::pair<int, const char*> labels[] = {{P::kFp1, "极点fp1(KHz)"}, {P::kFp2, "极点fp2(KHz)"},
                                                  {P::kFz1, "零点fz1(KHz)"}, {P::kFz2, "零点fz2(KHz)"},
                                                  {P::kFc, "开环穿越频率(KHz)"}, {P::kG, "调节器直流增益(dB)"},
                                                  {P::kR1, "R1（KΩ）"}};
    for (auto [id, label] : labels) {
        const std::string keep = p.text(id);
        press(p, P::kCalc);
        refuses(p, P::kCalc, {{id, "0"}}, std::string("输入有误：“") + label + "”必须大于0，请检查输入！", kResults);
        p.setText(id, keep);
    }
    // a gain beyond what the numbers hold names the gain
    refuses(p, P::kCalc, {{P::kG, "1000"}}, "输入有误：“调节器直流增益(dB)”超出了公式的适用范围，得不到有效的结果！",
            kResults);
}

TEST_F(LoopPages, TypeThreeLinkOpensItsTips) {
    P& p = open<P>();
    p.onLButtonUp(100, 496);
    EXPECT_EQ(hb.opened, (std::vector<int>{205, 208}));
}
