// The voltage-mode type II page: set-up and form switch, the plant of each
// form worked out here, the K-factor and user placements checked against
// the network's own zero and pole and its phase at the crossover, the
// plotted loop against the page's figures, and every refusal.
#include "loop/CVCtrl.h"

#include "tests/loop/LoopTestSupport.h"

#include <cmath>
#include <complex>

using namespace kv;
using namespace kv::loop;
using namespace kv::test;
using P = CVCtrl;

namespace {

const std::vector<int> kPlant = {P::kPole, P::kFesr, P::kG};
const std::vector<int> kParts = {P::kC1, P::kC2, P::kR2, P::kPm};
constexpr double kDeg = 180 / kPi;

void type(ui::Dialog& p, const std::vector<std::pair<int, const char*>>& in) {
    for (auto [id, t] : in) p.setText(id, t);
}

double v(ui::Dialog& p, int id) { return shown(p, id); }

// The plant from the circuit: the output filter's corner, the ESR zero and
// the plant's asymptote evaluated at the ESR zero.
struct Plant {
    double pole, fesr, G; // kHz, kHz, dB
};
Plant forwardPlant(double Vo, double Co, double Resr, double Vramp, double Vref, double L) {
    const double C = Co * 1e-6, H = L * 1e-6;
    Plant p{};
    p.pole = 1 / (2 * kPi * std::sqrt(H * C)) / 1000;
    p.fesr = 1 / (2 * kPi * Resr * C) / 1000;
    // modulator Vo/Vramp and divider Vref/Vo, falling as (fLC/f)² up to the ESR zero
    p.G = 20 * std::log10(Vo / Vramp * Vref / Vo * std::pow(p.pole / p.fesr, 2));
    return p;
}
Plant dcmPlant(double Vo, double Irated, double Imin, double Vinmax, double fs, double Co, double Resr,
               double Vramp, double L) {
    const double C = Co * 1e-6, R = Vo / Imin;
    const double P = Vo * Irated, k = P < 10 ? 0.75 : P > 30 ? 0.85 : 0.8;
    Plant p{};
    p.pole = 1 / (2 * kPi * R * C) / 1000;
    p.fesr = 1 / (2 * kPi * Resr * C) / 1000;
    const double dc = Vinmax / Vramp * std::sqrt(k * R / (2 * L * 1e-6 * fs * 1e3));
    p.G = 20 * std::log10(dc * p.pole / p.fesr); // -20 dB/decade from the pole to the ESR zero
    return p;
}

void expectPlant(ui::Dialog& p, const Plant& e) {
    EXPECT_TRUE(shows(p, P::kPole, e.pole));
    EXPECT_TRUE(shows(p, P::kFesr, e.fesr));
    EXPECT_NEAR(v(p, P::kG), e.G, 1e-4);
}

// The network's zero and pole, from its parts: R2 with C1, and R2 with C2.
double zeroOf(ui::Dialog& p) { return 1 / (2 * kPi * v(p, P::kR2) * v(p, P::kC1) * 1e-12) / 1000; }
double poleOf(ui::Dialog& p) { return 1 / (2 * kPi * v(p, P::kR2) * v(p, P::kC2) * 1e-12) / 1000; }

// Phase margin at fc with the plant of the page's model and an ideal
// integrator with zero fz and pole fp, from complex numbers.
double ideal(std::complex<double> plant, double fc, double fz, double fp) {
    const std::complex<double> j(0, 1);
    const std::complex<double> amp = (1.0 + j * fc / fz) / (j * fc * (1.0 + j * fc / fp));
    return 180 + (std::arg(plant) + std::arg(amp)) * kDeg;
}

} // namespace

TEST_F(LoopPages, TypeTwoSetUpAndFormSwitch) {
    P& p = open<P>();
    EXPECT_EQ(p.title(), "电压模式Ⅱ型补偿网络");
    ASSERT_EQ(p.itemCount(P::kForm), 2);
    EXPECT_EQ(p.itemText(P::kForm, 0), "DCM反激");
    EXPECT_EQ(p.itemText(P::kForm, 1), "正激类");
    EXPECT_EQ(p.text(P::kForm), "正激类");
    const std::pair<int, const char*> defaults[] = {
        {P::kVo, "5"},     {P::kIrated, "10"}, {P::kImin, "1"},   {P::kVinmax, "10"}, {P::kVinmin, "15"},
        {P::kFs, "100"},   {P::kCo, "470"},    {P::kResr, "0.13"}, {P::kVramp, "3"},  {P::kVref, "2.5"},
        {P::kL, "50"},     {P::kDmax, "0.5"},  {P::kFp1, "80"},   {P::kFz1, "5"},     {P::kFc, "20"},
        {P::kPmWant, "45"}, {P::kR1, "1000"},
    };
    for (auto [id, t] : defaults) EXPECT_EQ(p.text(id), t) << id;
    for (int r : kPlant) EXPECT_EQ(p.text(r), "");
    for (int r : kParts) EXPECT_EQ(p.text(r), "");
    for (int id : {P::kFp1, P::kFp1Label, P::kFz1, P::kFz1Label}) EXPECT_FALSE(p.enabled(id)) << id;
    EXPECT_TRUE(p.enabled(P::kL));
    EXPECT_TRUE(p.enabled(P::kPmWant));
    EXPECT_EQ(p.text(P::kLLabel), "输出电感(μH)");
    EXPECT_EQ(p.text(P::kPoleLabel), "LC双重极点(KHz)");
    EXPECT_EQ(p.control(P::kStep1Group)->textColor, (ui::Color{255, 0, 0}));
    EXPECT_EQ(p.control(P::kStep2Group)->textColor, (ui::Color{200, 0, 128}));
    EXPECT_EQ(p.control(P::kStep4Group)->textColor, (ui::Color{100, 0, 170}));

    press(p, P::kStep2);
    press(p, P::kStep4);
    ASSERT_FALSE(p.text(P::kPm).empty());
    choose(p, P::kForm, 0);
    for (int id : {P::kFp1, P::kFp1Label, P::kFz1, P::kFz1Label}) EXPECT_TRUE(p.enabled(id)) << id;
    EXPECT_FALSE(p.enabled(P::kPmWant));
    EXPECT_FALSE(p.enabled(P::kPmLabel));
    EXPECT_EQ(p.text(P::kLLabel), "一次电感(μH)");
    EXPECT_EQ(p.text(P::kPoleLabel), "极点频率(KHz)");
    for (int r : kPlant) EXPECT_EQ(p.text(r), "");
    for (int r : kParts) EXPECT_EQ(p.text(r), "");
    EXPECT_FALSE(plotted(p).crossed);
    choose(p, P::kForm, 1);
    EXPECT_FALSE(p.enabled(P::kFp1));
    EXPECT_TRUE(p.enabled(P::kPmWant));
    EXPECT_EQ(p.text(P::kLLabel), "输出电感(μH)");
}

TEST_F(LoopPages, TypeTwoStepTwoShowsOnlyThePlant) {
    P& p = open<P>();
    press(p, P::kStep2);
    EXPECT_TRUE(hb.messages.empty());
    EXPECT_EQ(boxes(), 1);
    expectPlant(p, forwardPlant(5, 470, 0.13, 3, 2.5, 50));
    for (int r : kParts) EXPECT_EQ(p.text(r), "");
    // after step 4, step 2 again takes the parts and the plot away
    press(p, P::kStep4);
    ASSERT_TRUE(plotted(p).crossed);
    press(p, P::kStep2);
    for (int r : kParts) EXPECT_EQ(p.text(r), "");
    EXPECT_FALSE(plotted(p).crossed);
    EXPECT_TRUE(p.plot(P::kGainPlot)->series().empty());
}

TEST_F(LoopPages, TypeTwoForwardKFactor) {
    struct Design {
        std::vector<std::pair<int, const char*>> in;
        double Vo, Co, Resr, Vramp, Vref, L, fc, pm, R1;
    };
    const Design designs[] = {
        {{}, 5, 470, 0.13, 3, 2.5, 50, 20, 45, 1000},
        {{{P::kVo, "12"}, {P::kCo, "1000"}, {P::kResr, "0.05"}, {P::kL, "20"}, {P::kVramp, "2"}, {P::kDmax, "0.45"},
          {P::kFc, "15"}, {P::kPmWant, "50"}, {P::kR1, "10000"}},
         12, 1000, 0.05, 2, 2.5, 20, 15, 50, 10000},
        {{{P::kVo, "3.3"}, {P::kCo, "1500"}, {P::kResr, "0.01"}, {P::kL, "2.2"}, {P::kVramp, "1.8"}, {P::kVref, "0.8"},
          {P::kFc, "60"}, {P::kPmWant, "60"}, {P::kR1, "4700"}},
         3.3, 1500, 0.01, 1.8, 0.8, 2.2, 60, 60, 4700},
    };
    for (const Design& d : designs) {
        P& p = open<P>();
        type(p, d.in);
        press(p, P::kStep2);
        const Plant e = forwardPlant(d.Vo, d.Co, d.Resr, d.Vramp, d.Vref, d.L);
        expectPlant(p, e);
        clear();
        press(p, P::kStep4);
        ASSERT_TRUE(hb.messages.empty()) << texts().front();
        EXPECT_EQ(boxes(), 1);
        // the amplifier makes up the plant's loss at fc, in whole dB, never more
        const double loss = -(e.G - 20 * std::log10(d.fc / e.fesr));
        const double gain = 20 * std::log10(v(p, P::kR2) / d.R1);
        EXPECT_NEAR(gain, std::trunc(loss), 1e-4);
        // zero and pole symmetric about fc, as written back into the placement
        const double fz = v(p, P::kFz1), fp = v(p, P::kFp1);
        EXPECT_NEAR(fz * fp, d.fc * d.fc, d.fc * d.fc * 1e-4);
        EXPECT_NEAR(zeroOf(p), fz, fz * 1e-4);
        EXPECT_NEAR(poleOf(p), fp, fp * 1e-4);
        // the phase margin reached: the wanted one within the search's 0.1°, and what
        // the plant above its LC corner (-180° with the ESR zero) and the network give
        const std::complex<double> plant = -(1.0 + std::complex<double>(0, d.fc / e.fesr));
        EXPECT_NEAR(v(p, P::kPm), ideal(plant, d.fc, fz, fp), 2e-3);
        EXPECT_GE(v(p, P::kPm), d.pm - 0.1);
        EXPECT_LT(v(p, P::kPm), d.pm + 0.2);
        for (int r : kPlant) EXPECT_FALSE(p.text(r).empty()); // step 4 keeps the plant shown
    }
}

TEST_F(LoopPages, TypeTwoTruncatesTheGainTowardZero) {
    P& p = open<P>();
    press(p, P::kStep2);
    // a plant gain of -20.7 dB at the crossover: n = 20, R2 = 10·R1
    p.setText(P::kFesr, "20");
    p.setText(P::kG, "-20.7");
    press(p, P::kStep4);
    EXPECT_EQ(p.text(P::kR2), "10000");
    // a plant with gain at the crossover turns the amplifier down: n = -6
    p.setText(P::kG, "6.2");
    press(p, P::kStep4);
    EXPECT_TRUE(shows(p, P::kR2, 1000 * std::pow(10, -6 / 20.0)));
    // and the DCM branch likewise: b = -G + 20·lg(fc/fp1) = -10 turns it down 10 dB
    choose(p, P::kForm, 0);
    type(p, {{P::kPole, "0.07"}, {P::kFesr, "2.6"}, {P::kG, "10"}, {P::kFp1, "20"}});
    press(p, P::kStep4);
    EXPECT_TRUE(shows(p, P::kR2, 1000 * std::pow(10, -10 / 20.0)));
    type(p, {{P::kG, "-24.5"}});
    press(p, P::kStep4);
    EXPECT_TRUE(shows(p, P::kR2, 1000 * std::pow(10, 24 / 20.0)));
}

TEST_F(LoopPages, TypeTwoDcmFlybackPlacement) {
    struct Design {
        std::vector<std::pair<int, const char*>> in;
        double Vo, Irated, Imin, Vinmax, fs, Co, Resr, Vramp, L, fc, fz1, fp1, R1;
    };
    const Design designs[] = {
        {{}, 5, 10, 1, 10, 100, 470, 0.13, 3, 50, 20, 5, 80, 1000},
        // 10 W to 20 W: k = 0.8
        {{{P::kVo, "12"}, {P::kIrated, "1.5"}, {P::kImin, "0.2"}, {P::kVinmax, "380"}, {P::kFs, "65"},
          {P::kCo, "1000"}, {P::kResr, "0.05"}, {P::kVramp, "2.5"}, {P::kL, "800"}, {P::kFc, "5"},
          {P::kFz1, "0.05"}, {P::kFp1, "3"}, {P::kR1, "10000"}},
         12, 1.5, 0.2, 380, 65, 1000, 0.05, 2.5, 800, 5, 0.05, 3, 10000},
        // below 10 W: k = 0.75
        {{{P::kVo, "5"}, {P::kIrated, "1"}, {P::kImin, "0.1"}, {P::kVinmax, "375"}, {P::kFs, "60"},
          {P::kCo, "680"}, {P::kResr, "0.08"}, {P::kVramp, "2"}, {P::kL, "1500"}, {P::kFc, "4"},
          {P::kFz1, "0.02"}, {P::kFp1, "2.9"}, {P::kR1, "4700"}},
         5, 1, 0.1, 375, 60, 680, 0.08, 2, 1500, 4, 0.02, 2.9, 4700},
    };
    for (const Design& d : designs) {
        P& p = open<P>();
        choose(p, P::kForm, 0);
        type(p, d.in);
        press(p, P::kStep2);
        const Plant e = dcmPlant(d.Vo, d.Irated, d.Imin, d.Vinmax, d.fs, d.Co, d.Resr, d.Vramp, d.L);
        expectPlant(p, e);
        clear();
        press(p, P::kStep4);
        ASSERT_TRUE(hb.messages.empty()) << texts().front();
        // the network's zero and pole are those placed, which stay as typed
        EXPECT_DOUBLE_EQ(v(p, P::kFz1), d.fz1);
        EXPECT_DOUBLE_EQ(v(p, P::kFp1), d.fp1);
        EXPECT_NEAR(zeroOf(p), d.fz1, d.fz1 * 1e-4);
        EXPECT_NEAR(poleOf(p), d.fp1, d.fp1 * 1e-4);
        // above fp1 the amplifier falls as fp1/f: its flat gain makes up the plant there, in whole dB
        const double needed = -e.G + 20 * std::log10(d.fc / d.fp1);
        EXPECT_NEAR(20 * std::log10(v(p, P::kR2) / d.R1), std::trunc(needed), 1e-4);
        // phase margin of the single-pole plant with its ESR zero and the ideal network
        const std::complex<double> j(0, 1);
        const std::complex<double> plant = (1.0 + j * d.fc / e.fesr) / (1.0 + j * d.fc / e.pole);
        EXPECT_NEAR(v(p, P::kPm), ideal(plant, d.fc, d.fz1, d.fp1), 2e-3);
    }
}

TEST_F(LoopPages, TypeTwoDcmGainFactorBands) {
    EXPECT_FLOAT_EQ(vmode::gainFactor(9.9f), 0.75f);
    EXPECT_FLOAT_EQ(vmode::gainFactor(10), 0.8f);
    EXPECT_FLOAT_EQ(vmode::gainFactor(15), 0.8f);
    EXPECT_FLOAT_EQ(vmode::gainFactor(20), 0.8f);
    EXPECT_FLOAT_EQ(vmode::gainFactor(30), 0.8f);
    EXPECT_FLOAT_EQ(vmode::gainFactor(30.1f), 0.85f);
}

TEST_F(LoopPages, TypeTwoPlotCrossesWhereThePageSays) {
    // The page rounds the amplifier's gain down to whole dB and leaves out
    // the load of C2 on the network: the plotted crossover lies up to about
    // 2 dB of loop gain (a tenth and a half in frequency) below the page's,
    // and its phase margin within 3° of the page's.
    struct Design {
        int form;
        std::vector<std::pair<int, const char*>> in;
    };
    const Design designs[] = {
        {1, {}},
        {1, {{P::kVo, "12"}, {P::kCo, "1000"}, {P::kResr, "0.05"}, {P::kL, "20"}, {P::kVramp, "2"},
             {P::kFc, "15"}, {P::kPmWant, "50"}, {P::kR1, "10000"}}},
        {1, {{P::kFc, "10"}, {P::kPmWant, "60"}}},
        {0, {{P::kFz1, "0.0677"}, {P::kFp1, "2.6"}}},
        {0, {{P::kVo, "12"}, {P::kIrated, "1.5"}, {P::kImin, "0.2"}, {P::kVinmax, "380"}, {P::kFs, "65"},
             {P::kCo, "1000"}, {P::kResr, "0.05"}, {P::kVramp, "2.5"}, {P::kL, "800"}, {P::kFc, "5"},
             {P::kFz1, "0.05"}, {P::kFp1, "3"}, {P::kR1, "10000"}}},
    };
    for (const Design& d : designs) {
        P& p = open<P>();
        choose(p, P::kForm, d.form);
        type(p, d.in);
        press(p, P::kStep2);
        press(p, P::kStep4);
        const Plotted plot = plotted(p);
        ASSERT_TRUE(plot.crossed);
        const double fc = v(p, P::kFc) * 1000;
        EXPECT_LE(plot.crossover, fc * 1.01);
        EXPECT_GE(plot.crossover, fc * 0.85);
        EXPECT_NEAR(plot.margin, v(p, P::kPm), 3);
    }
}

TEST_F(LoopPages, TypeTwoDcmDefaultsCrossBelowThePlacement) {
    // With fp1 above fc the network's gain formula does not hold: the loop
    // built from the parts crosses far below fc, and the plot says so while
    // the page shows the numbers of its formulas.
    P& p = open<P>();
    choose(p, P::kForm, 0);
    press(p, P::kStep2);
    press(p, P::kStep4);
    EXPECT_EQ(p.text(P::kPm).substr(0, 5), "144.7");
    const Plotted plot = plotted(p);
    ASSERT_TRUE(plot.crossed);
    EXPECT_LT(plot.crossover, 4000);
    EXPECT_LT(plot.margin, 90);
}

TEST_F(LoopPages, TypeTwoNoKFactorForTheWantedMargin) {
    P& p = open<P>();
    press(p, P::kStep2);
    press(p, P::kStep4);
    ASSERT_FALSE(p.text(P::kPm).empty());
    // at most atan(fc/fesr) of margin: 85° is out of reach
    const double most = std::atan(20 / 2.60483) * kDeg;
    refuses(p, P::kStep4, {{P::kPmWant, "85"}}, noMarginMessage(float(most - 0.01)), kParts);
    EXPECT_NE(hb.messages.back().text.find("82.6°"), std::string::npos);
    EXPECT_EQ(p.text(P::kFp1), "58.8"); // the last placement stays
    for (int r : kPlant) EXPECT_FALSE(p.text(r).empty());
    p.setText(P::kPmWant, "80");
    clear();
    press(p, P::kStep4);
    EXPECT_TRUE(hb.messages.empty());
    EXPECT_GE(v(p, P::kPm), 79.9);
}

TEST_F(LoopPages, TypeTwoStepFourNeedsStepTwo) {
    P& p = open<P>();
    refuses(p, P::kStep4, {}, P::kStep4Incomplete, kParts);
    for (int r : kPlant) EXPECT_EQ(p.text(r), "") << r; // blank before, blank after
    // and when a field is not a number: the 0s read in their place do not stay
    p.setText(P::kR1, "abc");
    clear();
    press(p, P::kStep4);
    EXPECT_EQ(texts(), (std::vector<std::string>{"请输入一个数字。", P::kStep4Incomplete}));
    for (int r : kPlant) EXPECT_EQ(p.text(r), "") << r;
    p.setText(P::kR1, "1000");
    // a zero pole or ESR zero is refused as well
    press(p, P::kStep2);
    refuses(p, P::kStep4, {{P::kFesr, "0"}}, P::kStep4Incomplete, kParts);
    p.setText(P::kFesr, "2.60483");
    refuses(p, P::kStep4, {{P::kPole, ""}}, P::kStep4Incomplete, kParts);
    EXPECT_EQ(p.text(P::kPole), "");
    // a blank gain counts as 0 dB and is blank again afterwards
    p.setText(P::kPole, "1.03821");
    p.setText(P::kG, "");
    clear();
    press(p, P::kStep4);
    EXPECT_TRUE(hb.messages.empty());
    EXPECT_EQ(p.text(P::kG), "");
    EXPECT_EQ(p.text(P::kPole), "1.03821");
    // b = -20·lg(20/2.60483) = -17.7 dB: 17 dB of gain
    EXPECT_TRUE(shows(p, P::kR2, 1000 * std::pow(10, 17 / 20.0)));
}

TEST_F(LoopPages, TypeTwoIncompleteInput) {
    P& p = open<P>();
    std::vector<int> all = kPlant;
    all.insert(all.end(), kParts.begin(), kParts.end());
    press(p, P::kStep2);
    incompleteInput(p, P::kStep2, {P::kVo, P::kVinmin, P::kDmax, P::kFc}, P::kStep2Incomplete, all);
    press(p, P::kStep2);
    incompleteInput(p, P::kStep4, {P::kR1, P::kPmWant, P::kVo}, P::kStep4Incomplete, kParts);
    for (int r : kPlant) EXPECT_FALSE(p.text(r).empty()) << r; // step 4 leaves the plant alone
    EXPECT_EQ(std::string(P::kStep2Incomplete), "  请输入完整的参数!  ");
    EXPECT_EQ(std::string(P::kStep4Incomplete), " 请输入完整的参数! ");
}

TEST_F(LoopPages, TypeTwoRefusesWhatItWouldDivideBy) {
    P& p = open<P>();
    std::vector<int> all = kPlant;
    all.insert(all.end(), kParts.begin(), kParts.end());
    const auto named = [](const char* label, const char* rule = "必须大于0") {
        return std::string("输入有误：“") + label + "”" + rule + "，请检查输入！";
    };
    struct Case {
        int form, button, id;
        const char* text;
        std::string message;
    };
    const Case cases[] = {
        {1, P::kStep2, P::kCo, "0", named("输出电容(μF)")},
        {1, P::kStep2, P::kResr, "-1", named("电容ESR(Ω)")},
        {1, P::kStep2, P::kVo, "0", named("输出电压(V)")},
        {1, P::kStep2, P::kVramp, "0", named("三角波电压(V)")},
        {1, P::kStep2, P::kVref, "0", named("运放参考电压(V)")},
        {1, P::kStep2, P::kL, "0", named("输出电感(μH)")},
        {1, P::kStep2, P::kDmax, "1", named("最大占空比", "应大于0且小于1")},
        {1, P::kStep2, P::kDmax, "0", named("最大占空比", "应大于0且小于1")},
        {0, P::kStep2, P::kImin, "0", named("最小负载电流(A)")},
        {0, P::kStep2, P::kIrated, "0", named("额定负载电流(A)")},
        {0, P::kStep2, P::kVinmax, "0", named("最高直流输入(V)")},
        {0, P::kStep2, P::kFs, "0", named("开关频率(kHz)")},
        {0, P::kStep2, P::kL, "0", named("一次电感(μH)")}, // the label the form shows
        {1, P::kStep4, P::kFc, "0", named("环路穿越频率(KHz)")},
        {1, P::kStep4, P::kR1, "0", named("R1(Ω)")},
        {0, P::kStep4, P::kFp1, "0", named("fp1(KHz)(图中P3)")},
        {0, P::kStep4, P::kFz1, "-2", named("fz1(KHz)(图中P5)")},
    };
    for (const Case& c : cases) {
        if (p.selected(P::kForm) != c.form) choose(p, P::kForm, c.form);
        press(p, P::kStep2);
        const std::string keep = p.text(c.id);
        refuses(p, c.button, {{c.id, c.text}}, c.message, c.button == P::kStep2 ? all : kParts);
        p.setText(c.id, keep);
    }
    // A crossover so high that the pole written back would not be a number.
    choose(p, P::kForm, 1);
    press(p, P::kStep2);
    refuses(p, P::kStep4, {{P::kFc, "3e38"}}, "输入有误：“环路穿越频率(KHz)”超出了公式的适用范围，得不到有效的结果！",
            kParts);
    EXPECT_EQ(p.text(P::kFp1), "80");
    p.setText(P::kFc, "20");
    // Inputs a step or a form does not use are not its concern.
    choose(p, P::kForm, 1);
    type(p, {{P::kImin, "0"}, {P::kFs, "0"}, {P::kFp1, "0"}, {P::kR1, "0"}});
    clear();
    press(p, P::kStep2);
    EXPECT_TRUE(hb.messages.empty());
    choose(p, P::kForm, 0);
    type(p, {{P::kImin, "1"}, {P::kFs, "100"}, {P::kFp1, "80"}, {P::kR1, "1000"}, {P::kDmax, "1"}, {P::kVref, "0"}});
    press(p, P::kStep2);
    type(p, {{P::kCo, "0"}});
    clear();
    press(p, P::kStep4);
    EXPECT_TRUE(hb.messages.empty());
    finiteEverywhere(p);
}

TEST_F(LoopPages, TypeTwoLinksOpenTheirTips) {
    P& p = open<P>();
    p.onLButtonUp(30, 362);  // 其他参数？请点击这里
    p.onLButtonUp(330, 524); // 不知道稳定的增益准则？请点击这里
    EXPECT_EQ(hb.opened, (std::vector<int>{107, 200, 201}));
    const ui::RecordingCanvas c = ui::HeadlessBackend::paint(p);
    int underlines = 0;
    for (const auto& l : c.lines())
        underlines += (l.y1 == 370 && l.x1 == 24 && l.x2 == 144) || (l.y1 == 531 && l.x1 == 318 && l.x2 == 508);
    EXPECT_EQ(underlines, 2);
}
