// The single-stage PFC flyback designer: its currents against the averages of
// a transition-mode converter over the mains half-cycle (integrated here),
// its timing and winding invariants, the live recomputation with half-typed
// inputs, the multiplier divider, the line-cycle plot and the core pick.
#include "ic_designers/SinglePfcDesigner.h"
#include "ic_designers/SinglePfcPlot.h"
#include "services/Settings.h"
#include "toolbox/CoreDatabase.h"

#include "tests/ic_designers/IcDesignersSupport.h"

#include <map>
#include <numbers>

using namespace kv;
using namespace kv::test;
using ic::SinglePfcDesigner;
namespace sp = ic::singlepfc;
using D = SinglePfcDesigner;

namespace {

// (1/π)·∫₀^π sinᵏθ / (1 + kv·sinθ) dθ: a transition-mode converter's shape
// factor over the mains half-cycle, with the on-time constant and the
// off-time growing with the instantaneous mains.
double lineAverage(int k, double kv) {
    const int n = 20000;
    double s = 0;
    for (int i = 0; i < n; ++i) {
        const double t = (i + 0.5) * std::numbers::pi / n;
        s += std::pow(std::sin(t), k) / (1 + kv * std::sin(t));
    }
    return s / n;
}

struct Design {
    float vinMin, vinMax, vo, io, fmin, vor, vf, vds, eff;
};
const Design kDesigns[] = {
    {88, 264, 40, 0.9f, 48, 100, 0.6f, 4, 85},   // the defaults
    {90, 264, 24, 2.5f, 60, 120, 0.8f, 5, 88},
    {88, 264, 12, 1, 50, 63, 0.6f, 4, 80},       // 12 V 1 A: kv about 1.9
    {88, 264, 48, 2, 45, 140, 0.8f, 4, 88},      // 96 W: kv about 0.86
    {176, 264, 54, 1.2f, 40, 90, 1, 6, 90},      // the last one entered
};

void enter(ui::Dialog& d, const Design& x) {
    const std::pair<int, float> set[] = {{D::kVinMin, x.vinMin}, {D::kVinMax, x.vinMax}, {D::kVo, x.vo},
                                         {D::kIo, x.io},         {D::kFmin, x.fmin},     {D::kVor, x.vor},
                                         {D::kVf, x.vf},         {D::kVds, x.vds},       {D::kEff, x.eff}};
    for (auto [id, v] : set) IcDesigners::type(d, id, ui::formatNumber(v));
}

} // namespace

TEST_F(IcDesigners, SinglePfcDefaultsAtSetUp) {
    auto& d = open<D>();
    EXPECT_EQ(d.title(), "K7350单级PFC / Auto Processing...");
    const std::pair<int, const char*> defaults[] = {
        {D::kVinMin, "88"}, {D::kVinMax, "264"}, {D::kLine, "50"},  {D::kVo, "40"},     {D::kIo, "0.9"},
        {D::kRipple, "1"},  {D::kFmin, "48"},    {D::kVor, "100"},  {D::kVf, "0.6"},    {D::kVds, "4"},
        {D::kVbr, "600"},   {D::kEff, "85"},     {D::kJ, "400"},    {D::kAe, "51.8"},   {D::kBpk, "2500"},
        {D::kVmult, "2.4"}, {D::kRup, "3"},      {D::kRlow, "20"}};
    for (auto [id, text] : defaults) EXPECT_EQ(d.text(id), text) << id;
    // Vcs = 88 · 2.4 / 264 · 1.65, computed at set-up; 7 significant digits
    EXPECT_EQ(d.text(D::kVcs), "1.32");
    EXPECT_EQ(d.text(D::kL), "409.7206");
    EXPECT_EQ(d.text(D::kIpk), "2.778039");
    EXPECT_TRUE(hb.messages.empty());
    EXPECT_EQ(d.status(), "");
    EXPECT_EQ(d.text(D::kStatus), "");
    EXPECT_TRUE(allFinite(d));
    for (int r : {D::kRs, D::kPRs, D::kIrms, D::kIspk, D::kIsrms, D::kNp, D::kNs, D::kDp, D::kDs, D::kVD, D::kID,
                  D::kPD, D::kCo, D::kVmargin})
        EXPECT_GT(number(d, r), 0) << r;
}

TEST_F(IcDesigners, SinglePfcCurrentsAreTheLineCycleAverages) {
    auto& d = open<D>();
    for (const Design& x : kDesigns) {
        enter(d, x);
        ASSERT_EQ(d.lastShown(), form::Shown::All) << x.vo;
        const double vpk = 1.414 * x.vinMin - x.vds, kv = vpk / x.vor;
        const double pin = x.vo * x.io / (x.eff / 100);
        const double f2 = lineAverage(2, kv);
        const double ipk = number(d, D::kIpk), L = number(d, D::kL);
        // input power: the mains times the switching-period average of the primary current
        EXPECT_NEAR(ipk, 2 * pin / (vpk * f2), 0.015 * ipk) << x.vo;
        EXPECT_NEAR(number(d, D::kIrms), ipk * std::sqrt(f2 / 3), 0.01 * ipk) << x.vo;
        // output current: the average of the secondary current over the off-times
        const double ispk = number(d, D::kIspk);
        EXPECT_NEAR(ispk, 2 * x.io / (kv * f2), 0.015 * ispk) << x.vo;
        // at the crest of the lowest mains one switching period lasts 1/fmin:
        // on for L·Ipk/Vpk, off for L·Ipk/Vor
        const double period = L * ipk / vpk + L * ipk / x.vor; // μs
        EXPECT_NEAR(1000 / period, x.fmin, x.fmin * 2e-5) << x.vo;
        // whole turns: the ratio reflects Vo + Vf to Vor within half a primary
        // turn; the primary holds L·Ipk at Bpk at most (within half a turn),
        // with at most one secondary turn to spare
        const double np = number(d, D::kNp), ns = number(d, D::kNs), n = x.vor / (x.vo + x.vf);
        EXPECT_EQ(np, std::round(np)) << x.vo;
        EXPECT_EQ(ns, std::round(ns)) << x.vo;
        EXPECT_LE(std::fabs(np - ns * n), 0.5 + 1e-4) << x.vo;
        const double perTurn = 51.8 * 2500 * 1e-4; // μH·A per primary turn at Bpk
        EXPECT_GE((np + 0.5) * perTurn, L * ipk * (1 - 1e-5)) << x.vo;
        EXPECT_LT((np - n - 0.5) * perTurn, L * ipk) << x.vo;
        // wire: the copper area in circular mils is the current density times the current
        EXPECT_NEAR(std::pow(number(d, D::kDp) * 39.37, 2), 400 * number(d, D::kIrms), 1e-3 * 400) << x.vo;
        EXPECT_NEAR(number(d, D::kVcs), x.vinMin * 2.4 / x.vinMax * 1.65, 1e-5) << x.vo;
        EXPECT_NEAR(number(d, D::kRs) * ipk, number(d, D::kVcs), 1e-5) << x.vo;
        // secondary rms: the triangles of the off-times, (Ispk·sinθ)²·toff/(3·T) over the half-cycle;
        // the fitted factor errs high by at most 4 %
        const double isrms = number(d, D::kIsrms), exact = ispk * std::sqrt(kv * lineAverage(3, kv) / 3);
        EXPECT_GE(isrms, exact * 0.999) << x.vo;
        EXPECT_LE(isrms, exact * std::sqrt(1.041)) << x.vo;
        EXPECT_NEAR(std::pow(number(d, D::kDs) * 39.37, 2), 400 * isrms, 1e-3 * 400) << x.vo;
        // the sense resistor shown dissipates the primary rms current
        const double irms = number(d, D::kIrms), rs = number(d, D::kRs);
        EXPECT_NEAR(number(d, D::kPRs), irms * irms * rs, 1e-5 * irms * irms * rs) << x.vo;
        // the rectifier: its forward drop carries the output current, a slope resistance the rms
        const double pd = number(d, D::kPD);
        EXPECT_GT(pd, x.vf * x.io) << x.vo;
        EXPECT_NEAR(pd - x.vf * x.io, 0.013 * isrms * isrms, 1e-5 * pd) << x.vo;
    }
    // the rectifier sees the highest crest reflected through the turns ratio on top of Vo
    EXPECT_NEAR(number(d, D::kVD), 1.414 * 264 / (90.0 / 55) + 54, 1e-3);
}

// The shape factors against the line integrals of a transition-mode converter,
// (1/π)·∫ sinᵏθ/(1 + kv·sinθ) dθ, over the range of kv a design meets.
TEST(SinglePfcFactors, FollowTheLineIntegralsForKvFrom0_3To3) {
    for (int i = 0; i <= 54; ++i) {
        const float kv = 0.3f + 0.05f * float(i);
        const sp::Factors f = sp::factors(kv);
        EXPECT_NEAR(f.f2 / lineAverage(2, kv), 1, 0.012) << kv;
        // F3 within 4 %, never below: the secondary rms errs on the safe side
        EXPECT_GE(f.f3 / lineAverage(3, kv), 0.999) << kv;
        EXPECT_LE(f.f3 / lineAverage(3, kv), 1.041) << kv;
    }
}

// The worked designs of the two loss results: Irms²·Rs with the Rs shown, and
// the rectifier's forward drop as entered.
TEST_F(IcDesigners, SinglePfcLossesUseTheShownRsAndTheEnteredVf) {
    auto& d = open<D>();
    enter(d, kDesigns[2]); // 12 V 1 A
    EXPECT_NEAR(number(d, D::kPRs), 0.110, 0.003);
    enter(d, kDesigns[3]); // 48 V 2 A
    EXPECT_NEAR(number(d, D::kPRs), 0.80, 0.02);
    // Vf moves the rectifier loss by ΔVf·Io and nothing else of it
    const double pd = number(d, D::kPD), isrms = number(d, D::kIsrms);
    type(d, D::kVf, "1.2");
    EXPECT_NEAR(number(d, D::kPD) - pd, (1.2 - 0.8) * 2, 1e-4);
    EXPECT_EQ(number(d, D::kIsrms), isrms);
    // a smaller sense resistor (a lower Vmult) dissipates less in proportion
    const double prs = number(d, D::kPRs), rs = number(d, D::kRs);
    type(d, D::kVmult, "1.8");
    EXPECT_NEAR(number(d, D::kPRs) / prs, number(d, D::kRs) / rs, 1e-5);
    EXPECT_NEAR(number(d, D::kRs) / rs, 1.8 / 2.4, 1e-5);
}

TEST_F(IcDesigners, SinglePfcHalfTypedInputsNeverShowANonFiniteNumber) {
    auto& d = open<D>();
    const std::string ae = d.text(D::kAe);
    // keystroke by keystroke, values that leave the formulas dividing by zero on the way
    const std::pair<int, std::string> typing[] = {
        {D::kIo, "0.5"},  {D::kVinMax, "264"}, {D::kVinMin, "90"}, {D::kVor, "105"}, {D::kEff, "85"},
        {D::kFmin, "1e2"}, {D::kVds, "-4"},    {D::kAe, "43.5"},   {D::kBpk, "2200"}, {D::kRipple, "0.5"},
        {D::kVo, "36"},   {D::kRup, "3.3"},    {D::kRlow, "22"},   {D::kVmult, "2"}};
    for (const auto& [id, text] : typing) {
        for (size_t n = 0; n <= text.size(); ++n) {
            type(d, id, text.substr(0, n));
            ASSERT_TRUE(allFinite(d)) << id << " \"" << text.substr(0, n) << "\"";
            // what the user typed stays as typed
            ASSERT_EQ(d.text(id), text.substr(0, n));
            const ui::RecordingCanvas c = ui::HeadlessBackend::paint(d);
            for (const auto& l : c.lines())
                ASSERT_TRUE(std::min(l.x1, l.x2) >= 374 && std::max(l.x1, l.x2) <= 743 && std::min(l.y1, l.y2) >= 15 &&
                            std::max(l.y1, l.y2) <= 241)
                    << id << " " << text.substr(0, n);
        }
        type(d, id, id == D::kVds ? "4" : text); // back to a sound value
    }
    EXPECT_TRUE(hb.messages.empty()); // never a message box while typing
    EXPECT_EQ(d.lastShown(), form::Shown::All);
    EXPECT_EQ(d.status(), "");
    EXPECT_EQ(d.text(D::kAe), "43.5");
    EXPECT_NE(d.text(D::kAe), ae);

    // Io "0": the results that divide by it are blank, the others stand, the plot is skipped
    type(d, D::kIo, "0");
    EXPECT_EQ(d.lastShown(), form::Shown::Partly);
    EXPECT_EQ(d.text(D::kL), "");
    EXPECT_EQ(d.text(D::kRs), "");
    EXPECT_NE(d.text(D::kVmargin), "");
    EXPECT_EQ(d.status(), D::kUnreadable);
    EXPECT_TRUE(linesIn(ui::HeadlessBackend::paint(d), {0, 0, 255}).empty());
    // Vinmax "2": the highest crest is below the switch drop, fmax under fmin: no curves
    type(d, D::kIo, "0.5");
    type(d, D::kVinMax, "2");
    EXPECT_TRUE(linesIn(ui::HeadlessBackend::paint(d), {0, 0, 255}).empty());
    EXPECT_TRUE(allFinite(d));
    // not a number yet: every result blank and the designer's message in its status line
    type(d, D::kVinMax, "2e");
    EXPECT_EQ(d.lastShown(), form::Shown::None);
    EXPECT_EQ(d.text(D::kIpk), "");
    EXPECT_EQ(d.text(D::kStatus), std::string(D::kUnreadable) + " 输入有误：“" + d.labelBefore(D::kVinMax) +
                                       "”中的“2e”不是一个数字，请检查输入！");
    EXPECT_TRUE(hb.messages.empty());
    // emptying a field computes nothing: the state stays as it was
    type(d, D::kVinMax, "264");
    const std::string L = d.text(D::kL);
    type(d, D::kVo, "");
    EXPECT_EQ(d.text(D::kL), L);
    EXPECT_EQ(d.lastShown(), form::Shown::All);
}

TEST_F(IcDesigners, SinglePfcMultiplierDivider) {
    auto& d = open<D>();
    auto divided = [&] {
        // the divider from the highest crest gives Vmult
        const double rup = number(d, D::kRup) * 1e6, rlow = number(d, D::kRlow) * 1e3;
        return 1.414 * number(d, D::kVinMax) * rlow / (rup + rlow);
    };
    const std::string ipk = d.text(D::kIpk);
    // 2.93 with the default range gives Vcs 1.61 V: refused, the last results stay
    type(d, D::kVmult, "2.93");
    EXPECT_EQ(d.status(), "错误:Vcs超过1.6V限制!!");
    EXPECT_EQ(d.text(D::kVcs), "1.32");
    EXPECT_EQ(d.text(D::kRlow), "20");
    for (const char* bad : {"3", "0", "-1", "3.5"}) {
        type(d, D::kVmult, bad);
        EXPECT_EQ(d.status(), "错误:VMult超出范围!!") << bad;
        EXPECT_EQ(d.text(D::kVcs), "1.32") << bad;
    }
    // Rup with a Vmult out of range: the divider is not updated
    type(d, D::kRup, "4");
    EXPECT_EQ(d.status(), "错误:请设置正确的VMult!");
    EXPECT_EQ(d.text(D::kRlow), "20");
    type(d, D::kIo, "0.8"); // another input computes, and the multiplier's fault still shows
    EXPECT_EQ(d.status(), "错误:VMult超出范围!!");
    type(d, D::kVmult, "-");
    EXPECT_EQ(d.status(), "错误:请输入正确的设计条件!!");
    type(d, D::kRlow, "2x");
    EXPECT_EQ(d.status(), "错误:请设置正确的参数!!");
    EXPECT_TRUE(hb.messages.empty());

    type(d, D::kRlow, "20");
    type(d, D::kRup, "3");
    type(d, D::kIo, "0.9");
    type(d, D::kVmult, "2");
    EXPECT_EQ(d.status(), "");
    EXPECT_EQ(d.text(D::kVcs), "1.1");
    EXPECT_NEAR(divided(), 2, 1e-4);
    EXPECT_EQ(d.text(D::kIpk), ipk); // Vmult moves only Vcs and Rs
    // one resistor from the other; the value written does not start the reverse
    type(d, D::kRup, "4.7");
    EXPECT_EQ(d.text(D::kRup), "4.7");
    EXPECT_NEAR(divided(), 2, 1e-4);
    type(d, D::kRlow, "27");
    EXPECT_EQ(d.text(D::kRlow), "27");
    EXPECT_NEAR(divided(), 2, 1e-4);
    // Vcs is recomputed with every computation, not only with Vmult
    type(d, D::kVinMin, "100");
    EXPECT_NEAR(number(d, D::kVcs), 100 * 2.0 / 264 * 1.65, 1e-5);
    EXPECT_NEAR(number(d, D::kRs) * number(d, D::kIpk), number(d, D::kVcs), 1e-5);
    // a computation that drives Vcs over the limit computes, and says so
    type(d, D::kVinMin, "230");
    EXPECT_GT(number(d, D::kVcs), 1.6);
    EXPECT_EQ(d.status(), "错误:Vcs超过1.6V限制!!");
}

TEST_F(IcDesigners, SinglePfcPlotReachesFminAtTheCrestAndStaysInItsFrame) {
    sp::Inputs in;
    for (const Design& x : kDesigns) {
        in.vinMin = x.vinMin, in.vinMax = x.vinMax, in.vo = x.vo, in.io = x.io, in.fmin = x.fmin;
        in.vor = x.vor, in.vf = x.vf, in.vds = x.vds, in.eff = x.eff;
        const sp::Results r = sp::design(in);
        const sp::Plot coarse = sp::frequencyPlot(in, r, false);
        ASSERT_TRUE(coarse.drawable);
        ASSERT_EQ(coarse.low.size(), 180u);
        // θ = 90° is x = 568: the low line is at the bottom of the frame, fmin
        const sp::Segment& s = coarse.low[89];
        EXPECT_EQ(s.x2, 568);
        EXPECT_EQ(s.y2, 204);
        EXPECT_NEAR(sp::switchingFrequency(1.414 * x.vinMin - x.vds, r.L, r.ipk, x.vor, 90), x.fmin, 1e-3);
        // the high line starts at the top (fmax at θ = 0)
        EXPECT_EQ(coarse.high.front().x1, 400);
        EXPECT_EQ(coarse.high.front().y1, 48);
        const sp::Plot fine = sp::frequencyPlot(in, r, true);
        EXPECT_EQ(fine.low.size() + fine.high.size(), 60000u);
        // the angle of step i is i · 0.006°: the last one lands on 180° exactly
        EXPECT_EQ(fine.low.back().x2, 736);
        for (const auto* p : {&coarse, &fine})
            for (const auto* curve : {&p->low, &p->high})
                for (const sp::Segment& g : *curve) {
                    ASSERT_TRUE(g.x1 >= 400 && g.x2 <= 736) << g.x1 << " " << g.x2;
                    ASSERT_TRUE(g.y1 >= 48 && g.y1 <= 204 && g.y2 >= 48 && g.y2 <= 204) << g.y1 << " " << g.y2;
                }
    }
    // a curve leaving the frame is cut at its edge
    double x1 = 0, y1 = 0, x2 = 10, y2 = 10;
    ASSERT_TRUE(ui::clipSegment(x1, y1, x2, y2, {2, 4, 8, 6}));
    EXPECT_DOUBLE_EQ(x1, 4);
    EXPECT_DOUBLE_EQ(y1, 4);
    EXPECT_DOUBLE_EQ(x2, 6);
    EXPECT_DOUBLE_EQ(y2, 6);
    x1 = 0, y1 = 0, x2 = 1, y2 = 10;
    EXPECT_FALSE(ui::clipSegment(x1, y1, x2, y2, {2, 4, 8, 6}));
    // a high line that dips under fmin is clipped at the bottom
    in = sp::Inputs{};
    in.vinMin = 90, in.vinMax = 100, in.vds = 60;
    const sp::Results r = sp::design(in);
    const sp::Plot p = sp::frequencyPlot(in, r, false);
    if (p.drawable) {
        for (const sp::Segment& g : p.high) EXPECT_LE(std::max(g.y1, g.y2), 204);
    }
}

TEST_F(IcDesigners, SinglePfcCoarsePassThenTheFineScanASecondLater) {
    auto& d = open<D>();
    const ui::Color blue{0, 0, 255}, red{255, 0, 0};
    ui::RecordingCanvas c = ui::HeadlessBackend::paint(d);
    EXPECT_EQ(linesIn(c, blue).size(), 180u);
    EXPECT_EQ(linesIn(c, red).size(), 180u);
    const auto texts = c.texts();
    std::vector<std::string> scanning;
    for (const auto& t : texts)
        if (t.text == "Scanning......") scanning.push_back(t.color == red ? "red" : t.color == ui::Color{255, 255, 255} ? "white" : "?");
    EXPECT_EQ(scanning, (std::vector<std::string>{"red", "white"}));
    auto label = [&](int y) {
        for (const auto& t : texts)
            if (t.y == y && t.color == ui::Color{255, 128, 0}) return t.text;
        return std::string();
    };
    EXPECT_EQ(label(198), "48");  // fmin, whole kHz
    EXPECT_FALSE(label(43).empty());
    EXPECT_EQ(std::stoi(label(121)), (std::stoi(label(43)) + 48) / 2);
    // each edit restarts the one-second timer
    hb.advance(600);
    type(d, D::kIo, "0.8");
    hb.advance(600);
    EXPECT_FALSE(d.finePending());
    hb.advance(400);
    EXPECT_TRUE(d.finePending());
    EXPECT_FALSE(hb.hasTimer(d, D::kFineTimer));
    c = ui::HeadlessBackend::paint(d);
    EXPECT_EQ(linesIn(c, blue).size(), 30000u);
    EXPECT_EQ(linesIn(c, red).size(), 30000u);
    EXPECT_FALSE(d.finePending()); // the fine paint clears the flag
    EXPECT_EQ(linesIn(ui::HeadlessBackend::paint(d), blue).size(), 180u);
    // the shape factors of the last computation, in green
    int factors = 0;
    for (const auto& t : c.texts())
        if (t.text.rfind("F2(kv)=", 0) == 0 && t.x == 608 && t.y == 295 && t.color == ui::Color{0, 128, 0}) ++factors;
    EXPECT_EQ(factors, 1);
}

TEST_F(IcDesigners, SinglePfcCorePickShowsTheRecommendedApAndKeepsTheInputs) {
    copyCoreList();
    auto& d = open<D>();
    type(d, D::kIo, "1.2");
    std::string hint;
    std::optional<char> mode;
    hb.queueScript(kv::tpl::kCoreDatabase, [&](ui::Dialog& db) {
        hint = static_cast<toolbox::CoreDatabaseDialog&>(db).hint();
        mode = services::readSlot(services::kHandshakeSlot);
        db.select(1329, 7); // ER
        db.dispatch(1329, ui::Notify::SelChange);
        db.select(1373, 3);
        db.dispatch(1, ui::Notify::Clicked);
    });
    clear();
    press(d, D::kCore);
    EXPECT_EQ(mode, '2');
    const auto ap = toolbox::recommendedAp({88, 4, 100, 40, double(1.2f), 85, 48});
    ASSERT_TRUE(ap);
    EXPECT_EQ(hint, toolbox::apHintText(*ap));
    EXPECT_NE(d.text(D::kAe), "51.8");
    EXPECT_EQ(d.text(D::kIo), "1.2");
    // The picked core's Ae: the primary holds L·Ipk at Bpk at most, within
    // half a turn, with no more than one secondary turn (Vor/(Vo+Vf) primary turns) to spare.
    const double perTurn = number(d, D::kAe) * 2500 * 1e-4, li = number(d, D::kL) * number(d, D::kIpk);
    const double ratio = number(d, D::kNp) / number(d, D::kNs);
    EXPECT_GE((number(d, D::kNp) + 0.5) * perTurn, li * (1 - 1e-5));
    EXPECT_LT((number(d, D::kNp) - ratio - 1) * perTurn, li);
    EXPECT_TRUE(hb.messages.empty());
    // an input that does not read: the message, and no picker
    type(d, D::kVo, "4o");
    clear();
    press(d, D::kCore);
    EXPECT_EQ(count(kv::tpl::kCoreDatabase), 0);
    EXPECT_TRUE(namesTheField(D::kUnreadable, d.labelBefore(D::kVo)));
    // cancelled: Ae and the results stay
    type(d, D::kVo, "40");
    const std::string ae = d.text(D::kAe), np = d.text(D::kNp);
    press(d, D::kCore);
    EXPECT_EQ(d.text(D::kAe), ae);
    EXPECT_EQ(d.text(D::kNp), np);
}

// Walker finding: korvane-cli 271 --set 1036=1e30 converted a frequency of
// 1e31 kHz to a 64-bit integer for its label (undefined behaviour, shown as a
// negative number). Every label reads as the number it is.
TEST_F(IcDesigners, SinglePfcFrequencyLabelsOfAnyFiniteSizeReadAsTheirNumber) {
    auto& d = open<D>();
    type(d, D::kFmin, "1e30");
    const auto texts = ui::HeadlessBackend::paint(d).texts();
    std::map<int, double> labels; // by row: fmax 43, the middle 121, fmin 198
    for (const auto& t : texts)
        if (t.color == ui::Color{255, 128, 0} && (t.y == 43 || t.y == 121 || t.y == 198)) {
            double v = 0;
            ASSERT_TRUE(ui::parseNumber(t.text, v)) << t.text;
            labels[t.y] = v;
        }
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_GE(labels[43], labels[121]);
    EXPECT_GE(labels[121], labels[198]);
    EXPECT_NEAR(labels[198], 1e30, 1e24);
    // whole kHz of an ordinary design still read as integers
    type(d, D::kFmin, "48");
    for (const auto& t : ui::HeadlessBackend::paint(d).texts())
        if (t.color == ui::Color{255, 128, 0} && t.y == 198) EXPECT_EQ(t.text, "48");
}
