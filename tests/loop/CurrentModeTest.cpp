// The current-mode page: the worked example, designs worked out here from the
// slopes and the network's own poles and zeros, the plotted loop against the
// loop written out here from the printed parts and the buck-boost plant (with
// its right-half-plane zero and the sampling double pole), the warnings, and
// every refusal.
#include "loop/CICtrl.h"

#include "tests/loop/LoopTestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace kv;
using namespace kv::loop;
using namespace kv::test;
using P = CICtrl;

namespace {

const std::vector<int> kResults = {P::kGain, P::kC1, P::kR2, P::kC2, P::kFp, P::kFz, P::kFop, P::kRhp};

struct Design {
    const char* vo;
    const char* io;
    const char* co;
    const char* resr;
    const char* d;
    const char* vin;
    const char* l;
    const char* vs;
    const char* ri;
    const char* fs;
    const char* fc;
    const char* r1;
    const char* gm;
    const char* vref;
    bool opAmp;
};

void type(ui::Dialog& p, const Design& d) {
    const std::pair<int, const char*> in[] = {
        {P::kVo, d.vo}, {P::kIo, d.io}, {P::kCo, d.co},   {P::kResr, d.resr}, {P::kD, d.d},
        {P::kVin, d.vin}, {P::kL, d.l}, {P::kVs, d.vs},   {P::kRi, d.ri},     {P::kFs, d.fs},
        {P::kFc, d.fc},  {P::kR1, d.r1}, {P::kGm, d.gm}, {P::kVref, d.vref},
    };
    for (auto [id, t] : in) p.setText(id, t);
}

double num(const char* s) { return std::atof(s); }

const Design kDefaults = {"5", "1", "470", "0.13", "0.5", "10", "30", "1", "0.6", "60", "20", "4700", "0.3", "2.5", false};

std::string format1(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.1f", v);
    return b;
}

// The plant from the slopes: the inductor's up-slope Sn = Vin/L and the
// ramp Se = Vs·fs/Ri, both in A/s; then the parts from the placement: the
// amplifier's zero on the output pole, its pole on the ESR zero, and its
// integrator crossing where the loop must reach 0 dB divided by the plant gain.
struct Expected {
    double gainDb, fp, fz, fop, C1, R2, C2, fRHP; // Hz, μF, Ω
    double Q;                                     // of the sampling double pole at fs/2
};
Expected expected(const Design& d) {
    const double fs = num(d.fs) * 1e3, L = num(d.l) * 1e-6, D = num(d.d), Co = num(d.co) * 1e-6;
    const double Sn = num(d.vin) / L, Se = num(d.vs) * fs / num(d.ri);
    const double R = num(d.vo) / num(d.io);
    const double conductance = (1 + D) / R + std::pow(1 - D, 3) * (Sn / 2 + Se) / (Sn * fs * L);
    const double Rp = 1 / conductance;
    const double Kpl = Rp * (1 - D) / num(d.ri);
    Expected e{};
    e.gainDb = 20 * std::log10(Kpl);
    e.fp = 1 / (2 * kPi * Rp * Co);
    e.fz = 1 / (2 * kPi * num(d.resr) * Co);
    e.fop = num(d.fc) * 1e3 / Kpl;
    // integrator gain k/(2πf·C1) = 1 at fop, k = gm·Vref/Vo or 1/R1
    const double k = d.opAmp ? 1 / num(d.r1) : num(d.gm) * num(d.vref) / num(d.vo);
    const double C1 = k / (2 * kPi * e.fop);
    e.C1 = C1 * 1e6;
    e.R2 = 1 / (2 * kPi * e.fp * C1);
    e.C2 = 1e6 / (2 * kPi * e.fz * e.R2);
    // The buck-boost's inductor current reaches the output only in the off-time:
    // ωRHP = R·(1−D)²/(D·L). The sampled current loop: Q = 1/(π·(mc·(1−D) − ½)).
    e.fRHP = R * (1 - D) * (1 - D) / (2 * kPi * D * L);
    e.Q = 1 / (kPi * ((1 + Se / Sn) * (1 - D) - 0.5));
    return e;
}

void expectDesign(ui::Dialog& p, const Expected& e) {
    EXPECT_TRUE(shows(p, P::kGain, e.gainDb));
    EXPECT_TRUE(shows(p, P::kFp, e.fp));
    EXPECT_TRUE(shows(p, P::kFz, e.fz));
    EXPECT_TRUE(shows(p, P::kFop, e.fop));
    EXPECT_TRUE(shows(p, P::kC1, e.C1));
    EXPECT_TRUE(shows(p, P::kR2, e.R2));
    EXPECT_TRUE(shows(p, P::kC2, e.C2));
    EXPECT_TRUE(shows(p, P::kRhp, e.fRHP));
}

// The loop from the parts the page prints and the plant of the converter:
// DC gain, output pole, ESR zero, the right-half-plane zero and the sampling
// double pole at fs/2.
LoopFn loopOf(ui::Dialog& p, const Design& d) {
    const Expected e = expected(d);
    const double fn = num(d.fs) * 1e3 / 2;
    const double C1 = shown(p, P::kC1) * 1e-6, R2 = shown(p, P::kR2), C2 = shown(p, P::kC2) * 1e-6;
    const double k = d.opAmp ? 1.0 : num(d.gm) * num(d.vref) / num(d.vo);
    const double R1 = d.opAmp ? num(d.r1) : 1.0;
    const Cx j(0, 1);
    return [=](double f) {
        const Cx plant = std::pow(10, e.gainDb / 20) * (1.0 + j * f / e.fz) * (1.0 - j * f / e.fRHP) /
                         ((1.0 + j * f / e.fp) * (1.0 - (f / fn) * (f / fn) + j * f / (fn * e.Q)));
        return plant * k * typeTwo(f, R1, R2, C1, C2);
    };
}

Reading readOf(ui::Dialog& p, const Design& d) { return readLoop(loopOf(p, d), 1, 1e8); }

bool said(const std::vector<std::string>& texts, const std::string& part) {
    return std::any_of(texts.begin(), texts.end(), [&](const std::string& t) { return t.find(part) != std::string::npos; });
}

} // namespace

TEST_F(LoopPages, CurrentModeDefaultsAndWorkedExample) {
    P& p = open<P>();
    EXPECT_EQ(p.title(), "电流模式控制环路补偿");
    ASSERT_EQ(p.itemCount(P::kType), 2);
    EXPECT_EQ(p.itemText(P::kType, 0), "跨导运放");
    EXPECT_EQ(p.itemText(P::kType, 1), "普通运放");
    EXPECT_EQ(p.text(P::kType), "跨导运放");
    const std::pair<int, const char*> defaults[] = {
        {P::kVo, "5"},   {P::kIo, "1"},    {P::kCo, "470"}, {P::kResr, "0.13"}, {P::kD, "0.5"},
        {P::kVin, "10"}, {P::kL, "30"},    {P::kVs, "1"},   {P::kRi, "0.6"},    {P::kFs, "60"},
        {P::kFc, "4"},   {P::kR1, "4700"}, {P::kGm, "0.3"}, {P::kVref, "2.5"},
    };
    for (auto [id, t] : defaults) EXPECT_EQ(p.text(id), t) << id;
    for (int r : kResults) EXPECT_EQ(p.text(r), "") << r;
    EXPECT_TRUE(p.enabled(P::kGm));
    EXPECT_EQ(p.control(P::kInputGroup)->textColor, (ui::Color{255, 0, 0}));
    EXPECT_EQ(p.control(P::kResultGroup)->textColor, (ui::Color{0, 0, 255}));
    EXPECT_EQ(p.control(P::kPictureGroup)->textColor, (ui::Color{64, 0, 128}));
    EXPECT_EQ(p.control(P::kEsrLink)->textColor, (ui::Color{0, 0, 255}));

    EXPECT_NEAR(icmode::slopeFactor(p.in), 1.3, 1e-6);
    // The defaults ask for a crossover the plant allows: a stable loop, nothing to warn of.
    press(p, P::kCalc);
    EXPECT_EQ(boxes(), 1);
    EXPECT_TRUE(hb.messages.empty());
    {
        const Reading r = readOf(p, {"5", "1", "470", "0.13", "0.5", "10", "30", "1", "0.6", "60", "4", "4700", "0.3", "2.5", false});
        ASSERT_TRUE(r.crossed);
        EXPECT_LT(r.crossover, 13262.9 / 3);
        EXPECT_LT(r.crossover, 10e3);
        EXPECT_GT(r.margin, 45);
    }
    // 20 kHz asked of the same stage: past both limits.
    p.setText(P::kFc, "20");
    press(p, P::kCalc);
    EXPECT_EQ(boxes(), 2);
    // mc = 1.3, Rp = 2.8125 Ω, Kpl ≈ 2.34
    EXPECT_TRUE(shows(p, P::kGain, 20 * std::log10(2.8125 / 1.2)));
    EXPECT_EQ(p.text(P::kGain).substr(0, 4), "7.39");
    EXPECT_EQ(p.text(P::kFp).substr(0, 3), "120");
    EXPECT_EQ(p.text(P::kFz).substr(0, 3), "260");
    EXPECT_EQ(p.text(P::kFop), "8533.33");
    EXPECT_EQ(p.text(P::kC1).substr(0, 4), "2.79"); // ≈ 2.80 μF
    EXPECT_EQ(p.text(P::kR2).substr(0, 3), "472");
    EXPECT_EQ(p.text(P::kC2).substr(0, 4), "0.12"); // ≈ 0.129 μF
    EXPECT_EQ(p.text(P::kC2).substr(0, 5), "0.129");
    // R = 5 Ω: 5·0.5²/(2π·0.5·30 μH) = 13.26 kHz, below the 20 kHz asked
    EXPECT_EQ(p.text(P::kRhp), "13262.9");

    // The zero's lag and the sampling poles' lag past fs/2 leave no margin:
    // the page says so instead of claiming one.
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_EQ(hb.messages[0].icon, ui::Icon::Warning);
    const Reading r = readOf(p, kDefaults);
    ASSERT_TRUE(r.crossed);
    EXPECT_LT(r.margin, 0);
    EXPECT_GT(r.crossover, 30e3); // beyond fs/2: the RHP zero's rising gain carries it there
    expectPlotReads(p, r);
    EXPECT_EQ(hb.messages[0].text, rhpLimitMessage(13262.9 / 3) + "\n" + samplingLimitMessage(10e3) + "\n" +
                                       "按所得元件参数构成的环路在" + frequencyText(r.crossover) + "穿越0dB，相位裕量为" +
                                       format1(r.margin) + "°，环路不稳定！");
    EXPECT_NE(hb.messages[0].text.find("（4.421 kHz）"), std::string::npos);
    EXPECT_NE(p.plot(P::kPhasePlot)->title.find("（不稳定）"), std::string::npos);
}

TEST_F(LoopPages, CurrentModeOpAmpPlacesTheIntegratorAtTheAmplifierCrossover) {
    P& p = open<P>();
    p.setText(P::kFc, "20");
    choose(p, P::kType, 1);
    EXPECT_FALSE(p.enabled(P::kGm));
    EXPECT_EQ(p.text(P::kGm), "0.3"); // disabled, and still holds its value
    press(p, P::kCalc);
    EXPECT_EQ(p.text(P::kC1), "0.00396829");
    EXPECT_EQ(p.text(P::kR2), "333109");
    EXPECT_EQ(p.text(P::kC2), "0.000183423");
    // R2 = R1·fop/fp: the wanted crossover now matters
    EXPECT_NEAR(shown(p, P::kR2), 4700 * shown(p, P::kFop) / shown(p, P::kFp), 5);
    p.setText(P::kFc, "10");
    press(p, P::kCalc);
    EXPECT_TRUE(shows(p, P::kR2, 333109.0 / 2, 3e-5));
}

TEST_F(LoopPages, CurrentModeDesignsFromTheSlopesAndTheirPlots) {
    // Each design's figures from the slopes, its plot against the loop read
    // here, and the warnings its crossover asked for earns: above fRHP/3
    // (worked out by hand in the comments), above fs/6.
    struct Case {
        Design d;
        bool rhp, sampling;
    };
    const Case cases[] = {
        // fRHP 13.3 kHz, fs/6 10 kHz: 20 kHz is past both
        {kDefaults, true, true},
        // 12 V 2 A: R 6 Ω, fRHP = 6·0.55²/(2π·0.45·47 μH) = 13.7 kHz; fs/6 16.7 kHz
        {{"12", "2", "1000", "0.05", "0.45", "24", "47", "0.5", "0.5", "100", "10", "4700", "0.2", "1.25", true},
         true, false},
        // 3.3 V 5 A: fRHP = 0.66·0.7²/(2π·0.3·10 μH) = 17.2 kHz; fs/6 41.7 kHz
        {{"3.3", "5", "680", "0.02", "0.3", "12", "10", "0", "0.1", "250", "25", "10000", "1", "0.8", false}, true,
         false},
        // 48 V 0.5 A: fRHP = 96·0.7²/(2π·0.3·220 μH) = 113 kHz; fs/6 8.3 kHz
        {{"48", "0.5", "220", "0.3", "0.3", "36", "220", "2", "1", "50", "5", "22000", "0.5", "2.5", true}, false,
         false},
    };
    for (const Case& c : cases) {
        const Design& d = c.d;
        P& p = open<P>();
        choose(p, P::kType, d.opAmp ? 1 : 0);
        type(p, d);
        clear();
        press(p, P::kCalc);
        const Expected e = expected(d);
        expectDesign(p, e);
        EXPECT_EQ(e.fRHP / 3 < num(d.fc) * 1e3, c.rhp) << d.vo; // the comments' arithmetic
        EXPECT_EQ(said(texts(), rhpLimitMessage(e.fRHP / 3)), c.rhp) << d.vo;
        EXPECT_EQ(said(texts(), "开关频率的1/6"), c.sampling) << d.vo;
        const Reading r = readOf(p, d);
        expectPlotReads(p, r);
        EXPECT_EQ(plotted(p).points, 401u);
        EXPECT_NE(p.plot(P::kGainPlot)->title.find("穿越频率"), std::string::npos);
        EXPECT_NE(p.plot(P::kPhasePlot)->title.find("相位裕量"), std::string::npos);
        // the page says so whenever the loop has no margin
        if (r.margin <= 0) EXPECT_TRUE(said(texts(), "环路不稳定")) << d.vo;
        else EXPECT_FALSE(said(texts(), "环路不稳定")) << d.vo;
    }
}

TEST_F(LoopPages, CurrentModeFarBelowTheRhpZeroAndFsTheLoopIsTheIntegrator) {
    // With the RHP zero and fs/2 far above the crossover the amplifier's
    // cancellation holds: the loop is the integrator, crossing where asked
    // but for C2, which adds to C1 in the integrator (C2/C1 = fp/fz, 4 %
    // here), and with its 90° less the little the two take there.
    const Design d = {"5", "1", "470", "0.13", "0.2", "20", "10", "0.2", "0.5", "500", "0.4", "4700", "0.01", "2.5",
                      false};
    P& p = open<P>();
    type(p, d);
    clear();
    press(p, P::kCalc);
    EXPECT_TRUE(hb.messages.empty()) << texts().front();
    const Expected e = expected(d);
    expectDesign(p, e);
    ASSERT_GT(e.fRHP, 100 * 400);
    const Reading r = readOf(p, d);
    expectPlotReads(p, r);
    const double C1 = shown(p, P::kC1), C2 = shown(p, P::kC2);
    EXPECT_NEAR(r.crossover, 400 * C1 / (C1 + C2), 400 * 0.002);
    EXPECT_LT(r.crossover, 400 * 0.97);
    const double lag = std::atan(r.crossover / e.fRHP) * 180 / kPi + std::atan(r.crossover / 250e3 / e.Q) * 180 / kPi;
    EXPECT_NEAR(r.margin, 90 - lag, 0.5);
}

TEST_F(LoopPages, CurrentModeNegativeTwelveVoltsFromTwelveAt200kHz) {
    // 12 V → −12 V 2 A, 200 kHz, D 0.52 at 12 V in, 22 μH (1.4 A ripple), 470 μF
    // with 30 mΩ, 0.1 Ω sense, a ramp of 0.15 V (Se about half the down-slope).
    // fRHP = 6·0.48²/(2π·0.52·22 μH) = 19.2 kHz.
    Design d = {"12", "2", "470", "0.03", "0.52", "12", "22", "0.15", "0.1", "200", "15", "4700", "0.001", "1.25",
                false};
    P& p = open<P>();
    type(p, d);
    clear();
    press(p, P::kCalc);
    Expected e = expected(d);
    expectDesign(p, e);
    EXPECT_NEAR(e.fRHP, 19.2e3, 50);
    // asked for 15 kHz: past fRHP/3, the RHP zero's gain carries the loop to
    // nearly twice that with little margin, and the gain comes back above 0 dB
    // near fs/2 where the sampling poles peak
    Reading r = readOf(p, d);
    expectPlotReads(p, r);
    ASSERT_TRUE(r.crossed);
    EXPECT_GT(r.crossover, 15e3 * 1.2);
    EXPECT_LT(r.margin, 45);
    EXPECT_GT(r.regain, 30e3);
    EXPECT_LT(r.regain, 100e3);
    ASSERT_EQ(hb.messages.size(), 1u);
    const std::string& w = hb.messages[0].text;
    EXPECT_EQ(w.find(rhpLimitMessage(e.fRHP / 3)), 0u);
    EXPECT_EQ(w.find("开关频率的1/6"), std::string::npos); // fs/6 is 33 kHz
    EXPECT_NE(w.find("实际在" + frequencyText(r.crossover) + "穿越0dB（设定为15 kHz），相位裕量为" + format1(r.margin)),
              std::string::npos);
    EXPECT_NE(w.find("再次升到0dB以上"), std::string::npos);

    // asked for 5 kHz, below fRHP/3: no warning, the loop crosses near 5 kHz
    // with its margin
    d.fc = "5";
    p.setText(P::kFc, d.fc);
    clear();
    press(p, P::kCalc);
    EXPECT_TRUE(hb.messages.empty()) << texts().front();
    r = readOf(p, d);
    expectPlotReads(p, r);
    EXPECT_NEAR(r.crossover, 5e3, 5e3 * 0.1);
    EXPECT_GT(r.margin, 60);
    EXPECT_EQ(r.regain, 0);
}

TEST_F(LoopPages, CurrentModeWarnsRightAtTheLimits) {
    // The defaults' fRHP/3 is 4421 Hz and fs/6 10 kHz: fc just either side.
    P& p = open<P>();
    const auto asked = [&](const char* fc) {
        p.setText(P::kFc, fc);
        clear();
        press(p, P::kCalc);
        return texts();
    };
    EXPECT_FALSE(said(asked("4.4"), "右半平面零点"));
    const std::vector<std::string> above = asked("4.45");
    EXPECT_TRUE(said(above, "右半平面零点的1/3（4.421 kHz）"));
    EXPECT_FALSE(said(above, "开关频率"));
    // a faster switcher moves fs/6 only
    p.setText(P::kFs, "600");
    EXPECT_TRUE(said(asked("100.1"), "穿越频率高于开关频率的1/6（100 kHz）"));
    EXPECT_FALSE(said(asked("99.9"), "开关频率的1/6"));
}

TEST_F(LoopPages, CurrentModeRefusesSubharmonicCurrentLoops) {
    // Without a ramp the current loop holds only below D = 0.5 (mc·(1−D) > ½).
    P& p = open<P>();
    refuses(p, P::kCalc, {{P::kVs, "0"}, {P::kD, "0.6"}}, subharmonicMessage(0.4), kResults);
    EXPECT_NE(hb.messages[0].text.find("mc·(1-D) = 0.400"), std::string::npos);
    refuses(p, P::kCalc, {{P::kD, "0.5"}}, subharmonicMessage(0.5), kResults);
    // a ramp of a quarter of the up-slope at D 0.6 gives mc·(1−D) = 1.25·0.4 = ½: still not enough;
    // Sn = 10 V/30 μH, Se = Vs·fs/Ri: Vs = Sn·Ri/(4·fs) = 0.8333 V
    p.setText(P::kD, "0.6");
    refuses(p, P::kCalc, {{P::kVs, "0.83"}}, subharmonicMessage((1 + 0.83 * 60e3 / 0.6 / (10 / 30e-6)) * 0.4),
            kResults);
    p.setText(P::kVs, "0.9");
    clear();
    press(p, P::kCalc);
    EXPECT_FALSE(said(texts(), "斜率补偿不足"));
    EXPECT_FALSE(p.text(P::kR2).empty());
    finiteEverywhere(p);
}

TEST_F(LoopPages, CurrentModeResultsComeAfterTheCalculatingBox) {
    P& p = open<P>();
    bool blankWhileShown = false;
    hb.queueScript(kCalculating, [&](ui::Dialog&) {
        blankWhileShown = p.text(P::kR2).empty() && !plotted(p).crossed;
    });
    p.setText(P::kFc, "20");
    const long before = hb.ticks;
    press(p, P::kCalc);
    EXPECT_TRUE(blankWhileShown);
    EXPECT_EQ(hb.ticks - before, 17);
    EXPECT_EQ(p.text(P::kR2), "472.496");
    EXPECT_TRUE(plotted(p).crossed);
}

TEST_F(LoopPages, CurrentModeTypeSwitchBlanksEveryResultAndThePlot) {
    P& p = open<P>();
    press(p, P::kCalc);
    ASSERT_TRUE(plotted(p).crossed);
    choose(p, P::kType, 1);
    for (int r : kResults) EXPECT_EQ(p.text(r), "") << r;
    EXPECT_TRUE(p.plot(P::kGainPlot)->series().empty());
    EXPECT_TRUE(p.plot(P::kPhasePlot)->markers().empty());
    EXPECT_EQ(p.plot(P::kGainPlot)->title, "环路增益");
    choose(p, P::kType, 0);
    EXPECT_TRUE(p.enabled(P::kGm));
}

TEST_F(LoopPages, CurrentModeIncompleteInput) {
    P& p = open<P>();
    press(p, P::kCalc);
    incompleteInput(p, P::kCalc, {P::kVo, P::kD, P::kFc, P::kGm}, P::kIncomplete, kResults);
    EXPECT_EQ(std::string(P::kIncomplete), "   请输入完整的参数!  ");
}

TEST_F(LoopPages, CurrentModeRefusesWhatItWouldDivideBy) {
    P& p = open<P>();
    const auto named = [](const char* label, const char* rule) {
        return std::string("输入有误：“") + label + "”" + rule + "，请检查输入！";
    };
    const char* positive = "必须大于0";
    const char* duty = "应大于0且小于1";
    struct Case {
        int id;
        const char* text;
        std::string message;
    };
    const Case cases[] = {
        {P::kIo, "0", named("负载电流(A)", positive)},
        {P::kRi, "0", named("电流传递电阻(Ω)", positive)},
        {P::kD, "1", named("占空比(Max)", duty)},
        {P::kD, "0", named("占空比(Max)", duty)}, // a buck-boost at D = 0 delivers nothing: fRHP infinite
        {P::kD, "-0.1", named("占空比(Max)", duty)},
        {P::kFs, "0", named("工作频率(KHz)", positive)},
        {P::kVo, "-5", named("输出电压(V)", positive)},
        {P::kCo, "0", named("输出电容(μF)", positive)},
        {P::kResr, "0", named("电容ESR(Ω)", positive)},
        {P::kVin, "0", named("最低输入电压(V)", positive)},
        {P::kL, "0", named("电感(μH)", positive)},
        {P::kFc, "0", named("穿越频率(KHz)", positive)},
        {P::kVs, "-1", named("斜率补偿电压(V)", "不能小于0")},
        {P::kGm, "0", named("跨导gm", positive)},
        {P::kVref, "0", named("运放参考电压(V)", positive)},
    };
    for (const Case& c : cases) {
        press(p, P::kCalc);
        const std::string keep = p.text(c.id);
        refuses(p, P::kCalc, {{c.id, c.text}}, c.message, kResults);
        p.setText(c.id, keep);
    }
    // no slope ramp at a small duty is a design the formulas take
    p.setText(P::kD, "0.2");
    p.setText(P::kVs, "0");
    clear();
    press(p, P::kCalc);
    EXPECT_FALSE(said(texts(), "斜率补偿不足"));
    EXPECT_TRUE(shows(p, P::kGain, 20 * std::log10(0.8 / (1 / 5.0 * 1.2 + 0.8 * 0.8 * 0.8 * 0.5 / (60e3 * 30e-6)) / 0.6)));
    p.setText(P::kD, "0.5");
    p.setText(P::kVs, "1");

    // The op amp takes R1 and neither gm nor the reference; the transconductance
    // the other way round (asked for a crossover the plant allows: no warning).
    p.setText(P::kFc, "2");
    p.setText(P::kR1, "0");
    clear();
    press(p, P::kCalc);
    EXPECT_TRUE(hb.messages.empty());
    choose(p, P::kType, 1);
    refuses(p, P::kCalc, {}, named("取样电阻R1(Ω)", positive), kResults);
    p.setText(P::kR1, "4700");
    p.setText(P::kGm, "0");
    p.setText(P::kVref, "0");
    clear();
    press(p, P::kCalc);
    EXPECT_TRUE(hb.messages.empty());
    finiteEverywhere(p);
}

TEST_F(LoopPages, CurrentModeEsrLinkOpensItsTips) {
    P& p = open<P>();
    p.onLButtonUp(100, 548); // on the link text, above its underline at y 558
    EXPECT_EQ(hb.opened, (std::vector<int>{106, 202}));
    p.onLButtonUp(100, 600);
    p.onLButtonUp(80, 548);
    EXPECT_EQ(hb.opened.size(), 2u);
    // the underline is drawn where it belongs
    const ui::RecordingCanvas c = ui::HeadlessBackend::paint(p);
    bool underline = false;
    for (const auto& l : c.lines())
        underline |= l.x1 == 95 && l.y1 == 558 && l.x2 == 305 && l.y2 == 558 && l.color == ui::Color{0, 0, 255};
    EXPECT_TRUE(underline);
}
