// The current-mode page: the worked example, designs worked out here from the
// slopes and the network's own poles and zeros, the plotted loop against the
// page's figures, and every refusal.
#include "loop/CICtrl.h"

#include "tests/loop/LoopTestSupport.h"

#include <cmath>

using namespace kv;
using namespace kv::loop;
using namespace kv::test;
using P = CICtrl;

namespace {

const std::vector<int> kResults = {P::kGain, P::kC1, P::kR2, P::kC2, P::kFp, P::kFz, P::kFop};

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

// The plant from the slopes: the inductor's up-slope Sn = Vin/L and the
// ramp Se = Vs·fs/Ri, both in A/s; then the parts from the placement: the
// amplifier's zero on the output pole, its pole on the ESR zero, and its
// integrator crossing where the loop must reach 0 dB divided by the plant gain.
struct Expected {
    double gainDb, fp, fz, fop, C1, R2, C2; // Hz, μF, Ω
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
        {P::kFc, "20"},  {P::kR1, "4700"}, {P::kGm, "0.3"}, {P::kVref, "2.5"},
    };
    for (auto [id, t] : defaults) EXPECT_EQ(p.text(id), t) << id;
    for (int r : kResults) EXPECT_EQ(p.text(r), "") << r;
    EXPECT_TRUE(p.enabled(P::kGm));
    EXPECT_EQ(p.control(P::kInputGroup)->textColor, (ui::Color{255, 0, 0}));
    EXPECT_EQ(p.control(P::kResultGroup)->textColor, (ui::Color{0, 0, 255}));
    EXPECT_EQ(p.control(P::kPictureGroup)->textColor, (ui::Color{64, 0, 128}));
    EXPECT_EQ(p.control(P::kEsrLink)->textColor, (ui::Color{0, 0, 255}));

    EXPECT_NEAR(icmode::slopeFactor(p.in), 1.3, 1e-6);
    press(p, P::kCalc);
    EXPECT_TRUE(hb.messages.empty());
    EXPECT_EQ(boxes(), 1);
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
}

TEST_F(LoopPages, CurrentModeOpAmpPlacesTheIntegratorAtTheAmplifierCrossover) {
    P& p = open<P>();
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
    const Design designs[] = {
        {"5", "1", "470", "0.13", "0.5", "10", "30", "1", "0.6", "60", "20", "4700", "0.3", "2.5", true},
        {"12", "2", "1000", "0.05", "0.45", "24", "47", "0.5", "0.5", "100", "10", "4700", "0.2", "1.25", false},
        {"3.3", "5", "680", "0.02", "0.3", "12", "10", "0", "0.1", "250", "25", "10000", "1", "0.8", true},
        {"48", "0.5", "220", "0.3", "0", "36", "220", "2", "1", "50", "5", "22000", "0.5", "2.5", false},
    };
    for (const Design& d : designs) {
        P& p = open<P>();
        choose(p, P::kType, d.opAmp ? 1 : 0);
        type(p, d);
        clear();
        press(p, P::kCalc);
        ASSERT_TRUE(hb.messages.empty()) << d.vo << ": " << texts().front();
        expectDesign(p, expected(d));
        // The plot crosses at the wanted crossover, which is the amplifier's
        // crossover times the plant's DC gain; the amplifier cancels the pole
        // and the zero, leaving an integrator's 90°.
        const Plotted plot = plotted(p);
        ASSERT_TRUE(plot.crossed);
        EXPECT_EQ(plot.points, 401u);
        const double fc = num(d.fc) * 1000;
        EXPECT_NEAR(plot.crossover, fc, fc * 0.01);
        EXPECT_NEAR(plot.crossover, shown(p, P::kFop) * std::pow(10, shown(p, P::kGain) / 20), fc * 0.01);
        EXPECT_NEAR(plot.margin, 90, 1.5);
        EXPECT_NE(p.plot(P::kGainPlot)->title.find("穿越频率"), std::string::npos);
        EXPECT_NE(p.plot(P::kPhasePlot)->title.find("相位裕量"), std::string::npos);
    }
}

TEST_F(LoopPages, CurrentModeResultsComeAfterTheCalculatingBox) {
    P& p = open<P>();
    bool blankWhileShown = false;
    hb.queueScript(kCalculating, [&](ui::Dialog&) {
        blankWhileShown = p.text(P::kR2).empty() && !plotted(p).crossed;
    });
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
    const char* duty = "应不小于0且小于1";
    struct Case {
        int id;
        const char* text;
        std::string message;
    };
    const Case cases[] = {
        {P::kIo, "0", named("负载电流(A)", positive)},
        {P::kRi, "0", named("电流传递电阻(Ω)", positive)},
        {P::kD, "1", named("占空比(Max)", duty)},
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
    // D = 0 is a duty cycle the formulas take; no slope ramp either
    p.setText(P::kD, "0");
    p.setText(P::kVs, "0");
    clear();
    press(p, P::kCalc);
    EXPECT_TRUE(hb.messages.empty());
    EXPECT_TRUE(shows(p, P::kGain, 20 * std::log10(1 / (1 / 5.0 + 0.5 / (60e3 * 30e-6)) / 0.6)));

    // The op amp takes R1 and neither gm nor the reference; the transconductance the other way round.
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
