#include "designers/FlybackDesigner.h"
#include "services/Magnetics.h"

#include "platform/ui/Canvas.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "tests/common/PowerStagePhysics.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kv;
using F = designers::FlybackDesigner;
using test::ClampRun;
using test::readFile;
using test::writeFile;

namespace {

// The design conditions as the test sets them.
struct Design {
    double Po = 74, Vo = 5, Eff = 70, VacMin = 90, VacMax = 270, Vswm = 600, Vswr = 115, f = 150,
           Vdf = 0.6, r = 0.5, Ptd = 20, Cmil = 400, Vopp = 50, Ae = 52.5, Le = 57.5, Bpk = 2500,
           Bsat = 3000, Per = 5;
};

// The expected transformer, worked out here from the design equations in
// double precision (the designer works in single precision).
struct Expect {
    double Iin, Ipkp, Irmsp, Iswe, Ton, Lp, Ls, Irmss, Ipks, Dp, Ds, Vdm, Idm, Np, Ns, Zc, Vcm;
    double bpeak;
};

double ceilTurns(double x) { return std::ceil(x - 1e-9); }
double nearestHalfDown(double x) { return x - std::floor(x) > 0.5 ? std::floor(x) + 1 : std::floor(x); }

double gap(const Design& d, double np, double lp) {
    const double x = (d.Ae / 100) * 0.0251327408 * 0.001 * np * np / ((d.Le / 10) * lp * 0.1 * 0.00001);
    return ((d.Le / 10) * x - d.Le / 10) * 10 / 2000;
}

double ratio(const Design& d) { return ((d.Vswm - d.Vswr - 1.414 * d.VacMax) / 1.4) / (d.Vo + d.Vdf); }

Expect ccm(const Design& d) {
    Expect e{};
    const double io = d.Po / d.Vo, n = ratio(d);
    e.Iin = d.Po * 100 / d.Eff / (1.414 * d.VacMin);
    const double D = e.Iin / (e.Iin + io / n);
    e.Ipkp = (d.r / 2 + 1) * io / (1 - D) / n;
    e.Irmsp = std::sqrt(D) * e.Ipkp / (d.r / 2 + 1);
    e.Iswe = 10 * e.Irmsp;
    e.Ton = D / (d.f * 1000) * 1e6;
    const double W = 1.414 * d.VacMin * e.Ton, isc = io / (1 - D);
    e.Lp = W / ((isc / n) * d.r);
    e.Ls = e.Lp / (n * n);
    e.Irmss = std::sqrt(1 - D) * isc;
    e.Ipks = isc * (d.r / 2 + 1);
    e.Dp = std::sqrt(d.Cmil * e.Irmsp) / 39.37;
    e.Ds = std::sqrt(d.Cmil * e.Irmss) / 39.37;
    e.Vdm = (1.414 * d.VacMax / n + d.Vo) * 1.2;
    e.Idm = 2 * e.Irmss;
    const double np0 = (2 / d.r + 1) * (W * 1e-6) / (2 * d.Bpk * (d.Ae / 100) * 1e-8);
    e.Ns = ceilTurns(np0 / n);
    e.Np = nearestHalfDown(n * e.Ns);
    e.bpeak = (2 / d.r + 1) * (W * 1e-6) / (2 * e.Np * (d.Ae / 100) * 1e-8);
    e.Zc = gap(d, e.Np, e.Lp);
    e.Vcm = 1.2 * d.Vo;
    return e;
}

Expect dcm(const Design& d) {
    Expect e{};
    const double io = d.Po / d.Vo, nd = ratio(d), se = std::sqrt(d.Eff / 100), idle = d.Ptd / 100;
    const double D = se * d.Vo * nd * (1 - idle) / (se * d.Vo * nd + 1.414 * d.VacMin * d.Eff / 100);
    e.Ipks = 2 * io / (1 - D - idle);
    e.Ipkp = 2 * d.Po / (d.Eff / 100 * 1.414 * d.VacMin * D);
    e.Ton = D * 1e6 / (d.f * 1000);
    e.Lp = 1.414 * d.VacMin * 1e6 * D / (d.f * 1000) / e.Ipkp;
    e.Iin = d.Po * 100 / d.Eff / (1.414 * d.VacMin);
    e.Irmsp = std::sqrt(D) * e.Ipkp / std::sqrt(3.0);
    e.Dp = std::sqrt(d.Cmil * e.Irmsp) / 39.37;
    e.Iswe = 10 * e.Irmsp;
    e.Irmss = std::sqrt(1 - D - idle) * e.Ipks / std::sqrt(3.0);
    e.Ds = std::sqrt(d.Cmil * e.Irmss) / 39.37;
    e.Vdm = (1.414 * d.VacMax / nd + d.Vo) * 1.2;
    e.Idm = 2 * e.Irmss;
    e.Vcm = 1.2 * d.Vo;
    e.Ls = e.Lp / (nd * nd);
    const double np0 = 1.414 * d.VacMin * 1e4 * e.Ton / (d.Bpk * d.Ae);
    e.Ns = ceilTurns(np0 / nd);
    e.Np = nearestHalfDown(nd * e.Ns);
    e.Zc = gap(d, e.Np, e.Lp);
    return e;
}

struct Flyback : ::testing::Test {
    test::TempDir dir;
    ui::HeadlessBackend hb;
    Flyback() {
        ui::setBackend(&hb);
        // Built-in labels and formulas unless a test says otherwise.
        writeFile("Flyback Interface.txt", "#");
        writeFile("CCM反激变换器 cfg.txt", "#");
        writeFile("DCM反激变换器 cfg.txt", "#");
    }
    F& open() { return static_cast<F&>(hb.openModeless(std::make_unique<F>(nullptr), nullptr)); }
    void enter(F& w, const Design& d) {
        const std::pair<int, double> v[] = {
            {designers::editOf<F>("Po"), d.Po}, {designers::editOf<F>("Vo"), d.Vo}, {designers::editOf<F>("Eff"), d.Eff}, {designers::editOf<F>("VacMin"), d.VacMin},
            {designers::editOf<F>("VacMax"), d.VacMax}, {designers::editOf<F>("Vswm"), d.Vswm}, {designers::editOf<F>("Vswr"), d.Vswr}, {designers::editOf<F>("f"), d.f},
            {designers::editOf<F>("Vdf"), d.Vdf}, {designers::editOf<F>("r"), d.r}, {designers::editOf<F>("Ptd"), d.Ptd}, {designers::editOf<F>("Cmil"), d.Cmil}, {designers::editOf<F>("Vopp"), d.Vopp},
            {designers::editOf<F>("Ae"), d.Ae}, {designers::editOf<F>("Le"), d.Le}, {designers::editOf<F>("Bpk"), d.Bpk}, {designers::editOf<F>("Bsat"), d.Bsat}, {designers::editOf<F>("Per"), d.Per}};
        for (auto [c, x] : v) {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%g", x);
            w.setText(c, buf);
        }
    }
    static double num(const F& w, int c) { return std::stod(w.text(c)); }
    void press(F& w, int id) { w.dispatch(id, ui::Notify::Clicked); }
    void toDcm(F& w) {
        w.select(F::kMode, 1);
        w.dispatch(F::kMode, ui::Notify::SelChange);
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const auto& m : hb.messages) t.push_back(m.text);
        return t;
    }
};

#define EXPECT_CLOSE(actual, expected) EXPECT_NEAR((actual), (expected), std::fabs(expected) * 2e-4 + 1e-6)

void expectTransformer(const F& w, const Expect& e) {
    auto n = [&](int c) { return std::stod(w.text(c)); };
    EXPECT_CLOSE(n(designers::editOf<F>("Iin")), e.Iin);
    EXPECT_CLOSE(n(designers::editOf<F>("Ipkp")), e.Ipkp);
    EXPECT_CLOSE(n(designers::editOf<F>("Irmsp")), e.Irmsp);
    EXPECT_CLOSE(n(designers::editOf<F>("Iswe")), e.Iswe);
    EXPECT_CLOSE(n(designers::editOf<F>("Ton")), e.Ton);
    EXPECT_CLOSE(n(designers::editOf<F>("Lp")), e.Lp);
    EXPECT_CLOSE(n(designers::editOf<F>("Ls")), e.Ls);
    EXPECT_CLOSE(n(designers::editOf<F>("Irmss")), e.Irmss);
    EXPECT_CLOSE(n(designers::editOf<F>("Ipks")), e.Ipks);
    EXPECT_CLOSE(n(designers::editOf<F>("Dp")), e.Dp);
    EXPECT_CLOSE(n(designers::editOf<F>("Ds")), e.Ds);
    EXPECT_CLOSE(n(designers::editOf<F>("Vdm")), e.Vdm);
    EXPECT_CLOSE(n(designers::editOf<F>("Idm")), e.Idm);
    EXPECT_EQ(n(designers::editOf<F>("Np")), e.Np);
    EXPECT_EQ(n(designers::editOf<F>("Ns")), e.Ns);
    EXPECT_NEAR(n(designers::editOf<F>("Zc")), e.Zc, std::fabs(e.Zc) * 2e-3);
    EXPECT_CLOSE(n(designers::editOf<F>("Vcm")), e.Vcm);
}

// The capacitors by what they do: Cin behind the rectifier keeps the 50 Hz
// mains at VacMin above three quarters of its crest at full input power, and
// the ESR of an electrolytic Co (its ESR·C is 50 µs) holds the step of the
// secondary peak current within the ripple.
void expectCapacitors(const F& w, const Design& d) {
    auto n = [&](int c) { return std::stod(w.text(c)); };
    const double vpk = 1.414 * d.VacMin, pin = d.Po / (d.Eff / 100);
    const double valley = test::rectifierValley(n(designers::editOf<F>("Cin")) * 1e-6, pin, vpk, 50);
    EXPECT_GE(valley, 0.75 * vpk * 0.999);
    EXPECT_LE(valley, 0.75 * vpk * 1.03); // not grossly oversized either
    const double esr = 50e-6 / (n(designers::editOf<F>("Co")) * 1e-6);
    EXPECT_LE(esr * n(designers::editOf<F>("Ipks")), d.Vopp * 1e-3 * 1.0001);
    EXPECT_GE(esr * n(designers::editOf<F>("Ipks")), d.Vopp * 1e-3 * 0.999);
}

} // namespace

TEST_F(Flyback, OpensWithDefaultsBlankResultsAndTheSystemTitle) {
    F& w = open();
    EXPECT_EQ(w.title(), "反激变换器 Flyback   <界面:系统   公式:内置>");
    EXPECT_EQ(w.text(designers::editOf<F>("Po")), "74");
    EXPECT_EQ(w.text(designers::editOf<F>("Vdf")), "0.6");
    EXPECT_EQ(w.text(designers::editOf<F>("Bsat")), "3000");
    for (int c : {designers::editOf<F>("Ae"), designers::editOf<F>("Le"), designers::editOf<F>("Ve"), designers::editOf<F>("Lp"), designers::editOf<F>("Np"), designers::editOf<F>("Clk"), designers::editOf<F>("Rlk")}) EXPECT_EQ(w.text(c), "") << c;
    EXPECT_EQ(w.text(F::kMode), "连续(CCM)");
    EXPECT_EQ(w.itemCount(F::kMode), 2);
    EXPECT_TRUE(w.enabled(designers::editOf<F>("r")));
    EXPECT_FALSE(w.enabled(designers::editOf<F>("Ptd")));
    EXPECT_EQ(w.text(F::kEstimateGroup), "估算所需磁芯体积Ve=Ae*Le");
    EXPECT_EQ(w.control(1069)->textColor, (ui::Color{255, 0, 0}));
    EXPECT_EQ(w.control(1073)->textColor, (ui::Color{0, 0, 255}));
}

TEST_F(Flyback, TurnsOfTheWorkedExample) {
    // n = ((600 - 115 - 1.414 x 270) / 1.4) / 5.6 with the defaults
    EXPECT_NEAR(designers::flyback::turnsRatio({}), 13.2, 0.05);
    float np = 0, ns = 0;
    kv::services::magnetics::roundTurns(40.2f, 13.2f, np, ns);
    EXPECT_EQ(ns, 4.0f);
    EXPECT_EQ(np, 53.0f); // 52.8 rounds up
    kv::services::magnetics::roundTurns(26.4f, 13.2f, np, ns); // exactly two
    EXPECT_EQ(ns, 2.0f);
    kv::services::magnetics::roundTurns(10.0f, 2.5f, np, ns);  // 4 x 2.5 = 10
    EXPECT_EQ(np, 10.0f);
    kv::services::magnetics::roundTurns(3.0f, 2.5f, np, ns);   // 2 x 2.5 = 5
    EXPECT_EQ(np, 5.0f);
    kv::services::magnetics::roundTurns(3.0f, 1.25f, np, ns);  // 3 x 1.25 = 3.75
    EXPECT_EQ(np, 4.0f);
}

TEST_F(Flyback, CoreEstimateNeedsNoCoreData) {
    F& w = open();
    press(w, F::kEstimate);
    const double expected = (2.5 * 2.5 / 0.5) * 0.7 * (74.0 * 100 / 70 / 150) * 1000;
    EXPECT_CLOSE(num(w, designers::editOf<F>("Ve")), expected);
    EXPECT_EQ(w.text(designers::editOf<F>("Ae")), ""); // optional inputs stay blank
    EXPECT_EQ(w.text(designers::editOf<F>("Le")), "");
    EXPECT_EQ(w.text(designers::editOf<F>("Lp")), "0"); // every field is shown: results not yet computed read 0
    EXPECT_TRUE(hb.messages.empty());
    EXPECT_EQ(hb.opened.back(), 217); // the calculating box ran first
    EXPECT_EQ(hb.ticks, 17);
}

TEST_F(Flyback, DcmEstimateWarnsOfAShortDeadTime) {
    F& w = open();
    toDcm(w);
    EXPECT_FALSE(w.enabled(designers::editOf<F>("r")));
    EXPECT_TRUE(w.enabled(designers::editOf<F>("Ptd")));
    EXPECT_EQ(w.text(F::kEstimateGroup), "估算所需磁芯面积乘积Ae*Aw");
    EXPECT_EQ(w.text(F::kVeLabel), "磁芯面积乘积(mm4)");
    w.setText(designers::editOf<F>("Ptd"), "10");
    press(w, F::kEstimate);
    ASSERT_EQ(texts(), std::vector<std::string>{"提示：死区时间建议设置大于工作周期的20%，以保证工作于断续模式 ！"});
    const Design d{.Ptd = 10};
    const double n = ratio(d), vor = n * (d.Vo + d.Vdf);
    const double D = (vor * (1 - 0.1) * (1000 / d.f) / (1.414 * d.VacMin + vor)) / (1e6 / (d.f * 1000));
    const double ap = d.Po * 1e6 / (std::sqrt(3 / D) * (d.Eff * 0.01 * 1500 * 0.0001) * d.f * (197353 / d.Cmil));
    EXPECT_CLOSE(num(w, designers::editOf<F>("Ve")), ap);
    // Verify in DCM never shows the notice.
    w.setText(designers::editOf<F>("Ae"), "52.5");
    w.setText(designers::editOf<F>("Le"), "57.5");
    press(w, F::kVerify);
    EXPECT_EQ(hb.messages.size(), 1u);
}

TEST_F(Flyback, CcmVerifyForTwoDesigns) {
    for (const Design& d : {Design{}, Design{.Po = 36, .Vo = 12, .Eff = 82, .VacMin = 85, .VacMax = 265,
                                           .Vswm = 650, .Vswr = 100, .f = 65, .Vdf = 0.7, .r = 0.4,
                                           .Cmil = 500, .Vopp = 120, .Ae = 84.8, .Le = 73.5, .Bpk = 2200}}) {
        F& w = open();
        enter(w, d);
        press(w, F::kVerify);
        const Expect e = ccm(d);
        expectTransformer(w, e);
        expectCapacitors(w, d);
        EXPECT_EQ(e.bpeak > d.Bsat, !hb.messages.empty());
    }
}

TEST_F(Flyback, DcmVerifyUsesTheDerivedTurnsRatio) {
    for (const Design& d : {Design{.Ptd = 25}, Design{.Po = 18, .Vo = 12, .Eff = 80, .VacMin = 85, .VacMax = 265,
                                                      .Vswm = 650, .Vswr = 100, .f = 100, .Ptd = 30,
                                                      .Cmil = 450, .Ae = 32.1, .Le = 42.1, .Bpk = 2000}}) {
        F& w = open();
        toDcm(w);
        enter(w, d);
        press(w, F::kVerify);
        const Expect e = dcm(d);
        expectTransformer(w, e);
        expectCapacitors(w, d);
        EXPECT_CLOSE(num(w, designers::editOf<F>("Ls")), num(w, designers::editOf<F>("Lp")) / (ratio(d) * ratio(d)));
        EXPECT_TRUE(hb.messages.empty());
    }
}

TEST_F(Flyback, FluxAboveSaturationIsANoticeNotAStop) {
    F& w = open();
    enter(w, Design{.Bsat = 1000});
    press(w, F::kVerify);
    ASSERT_EQ(texts(), std::vector<std::string>{"注意：实际磁通密度峰值已经超过最大值！"});
    EXPECT_NE(w.text(designers::editOf<F>("Np")), "");
}

namespace {
// The clamp the snubber button prints, run cycle by cycle with the leakage
// inductance and peak current of the verify, settles where the switch rating
// allows: Vc = Vswm - Vswr - 1.414 VacMax, with the reflected voltage of the
// design (Vc / 1.4) across the primary meanwhile; its capacitor droops by at
// most a tenth between pulses.
ClampRun clampOf(const F& w, const Design& d) {
    const double lp = std::stod(w.text(designers::editOf<F>("Lp"))), ipk = std::stod(w.text(designers::editOf<F>("Ipkp")));
    const double r = std::stod(w.text(designers::editOf<F>("Rlk"))) * 1e3, c = std::stod(w.text(designers::editOf<F>("Clk"))) * 1e-9;
    const double vc = d.Vswm - d.Vswr - 1.414 * d.VacMax;
    return test::settleClamp(r, c, lp * 1e-6 * d.Per / 100, ipk, d.f * 1e3, vc / 1.4);
}

void expectClampAtTheSwitchMargin(const F& w, const Design& d) {
    const double vc = d.Vswm - d.Vswr - 1.414 * d.VacMax;
    const ClampRun run = clampOf(w, d);
    EXPECT_NEAR(run.mean, vc, vc * 0.01);
    EXPECT_LE(run.ripple, 0.1);
    EXPECT_GE(run.ripple, 0.08);
    // Mains crest plus the clamp's peak stays within the switch rating.
    EXPECT_LT(1.414 * d.VacMax + run.mean / (1 - run.ripple / 2), d.Vswm);
}
} // namespace

TEST_F(Flyback, SnubberAfterVerify) {
    F& w = open();
    press(w, F::kSnubber);
    ASSERT_EQ(texts(), std::vector<std::string>{"没有足够的信息，请先计算电感量！"});
    const Design d;
    enter(w, d);
    press(w, F::kVerify);
    EXPECT_EQ(w.text(designers::editOf<F>("Clk")), "");
    press(w, F::kSnubber);
    expectClampAtTheSwitchMargin(w, d);
    // Worked by hand: Vc = 103.2 V, Vor = 73.7 V, Llk = 18.4 µH, Ipk = 2.44 A at
    // 150 kHz: ½·Llk·Ipk²·f = 8.26 W, times Vc/(Vc - Vor) = 3.5 is 28.9 W,
    // Vc²/P = 369 Ω; C = 1/(0.1·R·f) = 181 nF.
    EXPECT_NEAR(num(w, designers::editOf<F>("Rlk")), 0.369, 0.002);
    EXPECT_NEAR(num(w, designers::editOf<F>("Clk")), 181, 1);
    EXPECT_EQ(w.text(designers::editOf<F>("Ve")), ""); // a blank Ve comes back
    // A fresh verify blanks the snubber again.
    press(w, F::kVerify);
    EXPECT_EQ(w.text(designers::editOf<F>("Rlk")), "");
}

TEST_F(Flyback, IncompleteConditionsPutTheBlanksBack) {
    F& w = open();
    w.setText(designers::editOf<F>("Vo"), "five");
    press(w, F::kEstimate);
    w.setText(designers::editOf<F>("Ae"), "52.5");
    w.setText(designers::editOf<F>("Le"), "57.5");
    press(w, F::kVerify);
    press(w, F::kSnubber); // Lp still 0: no reading at all
    w.setText(designers::editOf<F>("Vo"), "5");
    press(w, F::kVerify);
    w.setText(designers::editOf<F>("Per"), "");
    press(w, F::kSnubber);
    // One message per mistake, naming the field.
    const std::vector<std::string> expected = {
        "请输入完整的设计条件！！\n输入有误：“输出电压(V)”中的“five”不是一个数字，请检查输入！",
        "请输入完整的设计条件!\n输入有误：“输出电压(V)”中的“five”不是一个数字，请检查输入！",
        "没有足够的信息，请先计算电感量！",
        " 请输入完整的设计条件!\n输入有误：“漏感占一次百分比(%)”还没有填写数值，请检查输入！"};
    EXPECT_EQ(texts(), expected);
    EXPECT_EQ(hb.messages[1].owner, 129);
    EXPECT_EQ(w.text(designers::editOf<F>("Ve")), ""); // not "0"
    EXPECT_EQ(w.text(designers::editOf<F>("Rlk")), "");
    EXPECT_EQ(w.text(designers::editOf<F>("Clk")), "");
}

TEST_F(Flyback, VerifyWantsBothCoreFields) {
    F& w = open();
    w.setText(designers::editOf<F>("Ae"), "52.5");
    press(w, F::kVerify);
    EXPECT_EQ(texts(), std::vector<std::string>{"请先输入你选择的磁芯参数！"});
    EXPECT_EQ(w.text(designers::editOf<F>("Lp")), "");
    EXPECT_TRUE(std::find(hb.opened.begin(), hb.opened.end(), 217) == hb.opened.end());
}

TEST_F(Flyback, DivisorsOfZeroAreNamedAndNothingBadIsWritten) {
    F& w = open();
    enter(w, Design{.r = 0});
    press(w, F::kVerify);
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_NE(hb.messages[0].text.find("纹波率(仅CCM)"), std::string::npos);
    EXPECT_EQ(w.text(designers::editOf<F>("Lp")), "");
    press(w, F::kEstimate);
    EXPECT_NE(hb.messages[1].text.find("纹波率(仅CCM)"), std::string::npos);
    enter(w, Design{.f = 0});
    press(w, F::kVerify);
    EXPECT_NE(hb.messages[2].text.find("开关频率(kHz)"), std::string::npos);
    // A switch rating below the mains peak leaves no turns ratio.
    enter(w, Design{.Vswm = 400});
    press(w, F::kVerify);
    EXPECT_NE(hb.messages[3].text.find("开关管耐压扣除耐压裕量"), std::string::npos);
    for (const auto& c : w.controls()) {
        const std::string t = c.text;
        EXPECT_EQ(t.find("inf"), std::string::npos) << c.tpl.id;
        EXPECT_EQ(t.find("nan"), std::string::npos) << c.tpl.id;
    }
}

TEST_F(Flyback, FormulaFileOverridesTheBuiltInResults) {
    F& w = open();
    writeFile("CCM反激变换器 cfg.txt", "Ve = Ae + Le + Po;\r\n#");
    press(w, F::kEstimate);
    EXPECT_EQ(w.text(designers::editOf<F>("Ve")), "76"); // Ae and Le are 1 during the run
    EXPECT_EQ(w.text(designers::editOf<F>("Ae")), "");
    writeFile("CCM反激变换器 cfg.txt", "Lp = Ve * 7 + Ae;\r\nNp = 3;\r\n#");
    enter(w, Design{});
    w.setText(designers::editOf<F>("Ve"), "");
    press(w, F::kVerify);
    EXPECT_EQ(w.text(designers::editOf<F>("Lp")), "59.5"); // Ve is 1 during the run, Ae 52.5
    EXPECT_EQ(w.text(designers::editOf<F>("Np")), "3");
    EXPECT_EQ(w.text(designers::editOf<F>("Ve")), "");
    EXPECT_EQ(w.text(designers::editOf<F>("Iin")), "0"); // untouched results show as they stand
    // A file that fails its checks shows no results.
    writeFile("CCM反激变换器 cfg.txt", "Lp = = 3;\r\n#");
    w.setText(designers::editOf<F>("Lp"), "");
    press(w, F::kVerify);
    EXPECT_EQ(w.text(designers::editOf<F>("Lp")), "");
    EXPECT_EQ(hb.messages.back().caption, "公式解析错误");
}

TEST_F(Flyback, TitleTestAndRunTestDiffer) {
    writeFile("CCM反激变换器 cfg.txt", "x");
    F& w = open();
    EXPECT_EQ(w.formulaSuffix(), designers::kBuiltinFormulas);
    press(w, F::kEstimate); // the one-byte file runs: '#' appended with the runner's notice
    ASSERT_GE(hb.messages.size(), 1u);
    EXPECT_EQ(hb.messages[0].caption, "注意");
    EXPECT_EQ(readFile("CCM反激变换器 cfg.txt"), "x#");
    writeFile("DCM反激变换器 cfg.txt", "Lp = 1;#");
    toDcm(w);
    EXPECT_EQ(w.title(), "反激变换器 Flyback   <界面:系统   公式:自定义>");
    // '#' first: never run, whatever follows.
    writeFile("DCM反激变换器 cfg.txt", "#Lp = = ;");
    w.select(F::kMode, 0);
    w.dispatch(F::kMode, ui::Notify::SelChange);
    toDcm(w);
    EXPECT_EQ(w.formulaSuffix(), designers::kBuiltinFormulas);
}

TEST_F(Flyback, InterfaceFileRelabels) {
    writeFile("Flyback Interface.txt", "1=Pout(W);\r\n14=体积;\r\n40=R;\r\n#");
    F& w = open();
    EXPECT_EQ(w.text(1296), "Pout(W)");
    EXPECT_EQ(w.text(1052), "体积");
    EXPECT_EQ(w.text(1305), "R");
    EXPECT_EQ(w.text(1250), "输出电压(V)");
    EXPECT_EQ(w.text(F::kEstimateGroup), "磁芯参数:");
    EXPECT_EQ(w.title(), "反激变换器 Flyback   <界面:自定义   公式:内置>");
    // '#' first keeps the built-in labels although the rest is valid.
    writeFile("Flyback Interface.txt", "#1=Pout(W);\r\n#");
    F& v = open();
    EXPECT_EQ(v.text(1296), "输出功率(W)");
    EXPECT_EQ(v.title(), "反激变换器 Flyback   <界面:系统   公式:内置>");
}

TEST_F(Flyback, ModeChangeClearsResultsAndCore) {
    F& w = open();
    enter(w, Design{});
    press(w, F::kVerify);
    ASSERT_NE(w.text(designers::editOf<F>("Lp")), "");
    toDcm(w);
    for (int c : {designers::editOf<F>("Lp"), designers::editOf<F>("Np"), designers::editOf<F>("Ae"), designers::editOf<F>("Le"), designers::editOf<F>("Ve")}) EXPECT_EQ(w.text(c), "") << c;
    EXPECT_EQ(w.value(designers::editOf<F>("Lp")), 0.0f);
    EXPECT_EQ(w.text(designers::editOf<F>("Po")), "74");
    // The snubber needs a new verify.
    press(w, F::kSnubber);
    EXPECT_EQ(hb.messages.back().text, "没有足够的信息，请先计算电感量！");
}

TEST_F(Flyback, CloseDestroysTheWindowAndOthersLive) {
    F& a = open();
    F& b = open();
    a.dispatch(ui::IdCancel, ui::Notify::Clicked);
    ASSERT_EQ(hb.modeless().size(), 1u);
    EXPECT_EQ(hb.modeless()[0], &b);
}

TEST_F(Flyback, PaintsTheTopologyIntoItsGroupBox) {
    F& w = open();
    const ui::RecordingCanvas c = ui::HeadlessBackend::paint(w);
    ASSERT_EQ(c.ops.size(), 1u);
    EXPECT_EQ(c.ops[0].kind, ui::DrawOp::Bitmap);
    EXPECT_EQ(c.ops[0].a, 432);
    EXPECT_EQ(c.ops[0].b, 20);
    EXPECT_EQ(c.ops[0].c - c.ops[0].a, ui::dluToPxX(w.control(F::kPictureGroup)->tpl.w));
    EXPECT_EQ(c.ops[0].src.right, 270 + 10);
    EXPECT_EQ(c.ops[0].src.bottom, 154 + 10);
}

// Every button refuses the same out-of-range inputs, names them by their
// current label and leaves the earlier results in place.
TEST_F(Flyback, OutOfRangeInputsAreRefusedByEveryButtonAlike) {
    writeFile("Flyback Interface.txt", "10=Ripple r;\r\n#");
    F& w = open();
    enter(w, Design{});
    press(w, F::kVerify);
    press(w, F::kSnubber);
    const std::string lp = w.text(designers::editOf<F>("Lp")), rlk = w.text(designers::editOf<F>("Rlk"));
    ASSERT_FALSE(lp.empty());
    ASSERT_FALSE(rlk.empty());
    const struct {
        const char* name;
        const char* value;
        const char* label;
    } cases[] = {
        {"r", "-0.5", "Ripple r"}, {"Po", "-74", "输出功率(W)"}, {"Eff", "120", "效率(%)"},
        {"Ae", "-3", "Ae(mm2)"},   {"Per", "0", "漏感占一次百分比(%)"}, {"Vswr", "-1", "耐压裕量>30(V)"},
    };
    for (const auto& c : cases) {
        const std::string before = w.text(designers::editOf<F>(c.name));
        w.setText(designers::editOf<F>(c.name), c.value);
        for (int button : {int(F::kEstimate), int(F::kVerify), int(F::kSnubber)}) {
            hb.messages.clear();
            press(w, button);
            ASSERT_EQ(hb.messages.size(), 1u) << c.name << " " << button;
            EXPECT_NE(hb.messages[0].text.find(std::string("“") + c.label + "”"), std::string::npos)
                << hb.messages[0].text;
            EXPECT_EQ(w.text(designers::editOf<F>("Lp")), lp) << c.name;
            EXPECT_EQ(w.text(designers::editOf<F>("Rlk")), rlk) << c.name;
        }
        w.setText(designers::editOf<F>(c.name), before);
    }
    // No room between the switch rating and the mains peak: a clamp voltage
    // below zero is refused by the snubber too, not turned into a negative capacitor.
    w.setText(designers::editOf<F>("Vswm"), "450");
    for (int button : {int(F::kEstimate), int(F::kVerify), int(F::kSnubber)}) {
        hb.messages.clear();
        press(w, button);
        ASSERT_EQ(hb.messages.size(), 1u);
        EXPECT_NE(hb.messages[0].text.find("开关管耐压扣除耐压裕量"), std::string::npos);
    }
    EXPECT_EQ(w.text(designers::editOf<F>("Rlk")), rlk);
    // In DCM the ripple ratio is not an input: a bad r there is no obstacle.
    w.setText(designers::editOf<F>("Vswm"), "600");
    w.setText(designers::editOf<F>("r"), "-1");
    toDcm(w);
    enter(w, Design{.r = -1});
    hb.messages.clear();
    press(w, F::kVerify);
    EXPECT_TRUE(hb.messages.empty()) << hb.messages[0].text;
    EXPECT_FALSE(w.text(designers::editOf<F>("Lp")).empty());
}

// Whatever the formulas, a verified transformer keeps Lp = Ls n² with n = Np/Ns
// rounded to its turns, puts the input power Po/η at VacMin into Iin, and
// sizes the wire for its RMS currents.
TEST_F(Flyback, VerifiedTransformersKeepTheirInvariants) {
    const Design designs[] = {Design{}, Design{.Po = 24, .Vo = 12, .VacMin = 180, .f = 65, .r = 0.8},
                              Design{.Po = 150, .Vo = 24, .Eff = 88, .Vswm = 800, .Vswr = 100, .f = 100}};
    for (bool dcmMode : {false, true}) {
        for (const Design& d : designs) {
            F& w = open();
            if (dcmMode) toDcm(w);
            enter(w, d);
            press(w, F::kVerify);
            ASSERT_EQ(hb.messages.size(), 0u) << hb.messages[0].text;
            const double lp = num(w, designers::editOf<F>("Lp")), ls = num(w, designers::editOf<F>("Ls"));
            const double np = num(w, designers::editOf<F>("Np")), ns = num(w, designers::editOf<F>("Ns"));
            const double n = ((d.Vswm - d.Vswr - 1.414 * d.VacMax) / 1.4) / (d.Vo + d.Vdf);
            EXPECT_NEAR(ls * n * n, lp, lp * 1e-4);
            EXPECT_EQ(np, std::floor(np));
            EXPECT_EQ(ns, std::floor(ns));
            EXPECT_LE(std::fabs(np - n * ns), 0.5 + 1e-6); // Np is n·Ns to the nearest turn
            EXPECT_NEAR(num(w, designers::editOf<F>("Iin")) * 1.414 * d.VacMin, d.Po / (d.Eff / 100), d.Po * 1e-4);
            // 400 cmil/A: area in circular mils is diameter² in mils
            const double dp = num(w, designers::editOf<F>("Dp")) * 39.37;
            EXPECT_NEAR(dp * dp, d.Cmil * num(w, designers::editOf<F>("Irmsp")), dp * dp * 1e-4);
            for (const auto& c : w.controls()) EXPECT_EQ(c.text.find("nan"), std::string::npos);
            hb.messages.clear();
        }
    }
}

namespace {
// Universal-input 5 V 2 A on an EF20, 12 V 5 A on a PQ26/20, and a 230 V-only
// 60 W on an EF25, each with a 650 V switch kept 100 V below its rating.
const Design kRealistic[] = {
    {.Po = 10, .Vo = 5, .Eff = 75, .VacMin = 85, .VacMax = 265, .Vswm = 650, .Vswr = 100, .f = 65, .Vdf = 0.5,
     .Ae = 32, .Le = 46},
    {.Po = 60, .Vo = 12, .Eff = 85, .VacMin = 85, .VacMax = 265, .Vswm = 650, .Vswr = 100, .f = 65, .Vdf = 0.7,
     .Vopp = 120, .Ae = 121, .Le = 45},
    {.Po = 60, .Vo = 12, .Eff = 87, .VacMin = 180, .VacMax = 265, .Vswm = 650, .Vswr = 100, .f = 65, .Vdf = 0.7,
     .Vopp = 120, .Ae = 52.5, .Le = 57.5},
};

// Peak flux density (GS) of the verified transformer with the bulk capacitor
// at its valley, from the printed parts: the core resets with the reflected
// voltage the printed duty implies (D = Ton·f at the crest 1.414 VacMin over
// its reset share), Faraday's law gives the swing of the on-time at the
// valley, the input power sets the mean; discontinuous while the swing alone
// carries the energy of a cycle.
double valleyFlux(const F& w, const Design& d, double resetShare) {
    auto n = [&](const char* name) { return std::stod(w.text(designers::editOf<F>(name))); };
    const double vpk = 1.414 * d.VacMin, vv = 0.75 * vpk, fs = d.f * 1e3, pin = d.Po / (d.Eff / 100);
    const double duty = n("Ton") * 1e-6 * fs, vr = vpk * duty / resetShare;
    const double lp = n("Lp") * 1e-6, turnsArea = n("Np") * n("Ae") * 1e-6;
    const double dv = vr / (vr + vv);                  // on-time share at the valley, no idle left
    const double swing = vv * dv / fs / turnsArea;     // T, Faraday
    const double energyPerCycle = pin / fs;
    const double dcmPeak = std::sqrt(2 * energyPerCycle / lp) * lp / turnsArea;
    const double ccmMean = pin / (vv * dv) * lp / turnsArea; // flux of the mean on-time current
    const double swingEnergy = 0.5 * swing * swing * turnsArea * turnsArea / lp; // ½·Lp·ΔI²
    const double b = swingEnergy >= energyPerCycle ? dcmPeak : ccmMean + swing / 2;
    return b * 1e4;
}
} // namespace

TEST_F(Flyback, RealisticDesignsHoldTheirValleyClampAndRipple) {
    for (bool dcmMode : {false, true}) {
        for (const Design& base : kRealistic) {
            Design d = base;
            d.Ptd = 25;
            F& w = open();
            if (dcmMode) toDcm(w);
            enter(w, d);
            press(w, F::kVerify);
            press(w, F::kSnubber);
            EXPECT_TRUE(hb.messages.empty()) << hb.messages[0].text;
            expectCapacitors(w, d);
            expectClampAtTheSwitchMargin(w, d);
            hb.messages.clear();
        }
    }
}

// Before: 5 V 2 A gave Rlk 1477 kΩ and Clk 0.104 nF (the clamp would settle
// above 1 kV); 12 V 5 A Cin 97.6 µF with the valley at 67 V; 230 V 60 W
// Cin 10 µF, which cannot carry the half cycle.
TEST_F(Flyback, RealisticDesignsWorkedByHand) {
    F& w = open();
    enter(w, kRealistic[0]);
    press(w, F::kVerify);
    press(w, F::kSnubber);
    // Vc = 175.3 V, Vor = 125.2 V, Llk = 0.519 mH, Ipk = 0.248 A at 65 kHz:
    // P = ½·Llk·Ipk²·f·Vc/(Vc - Vor) = 3.65 W, R = Vc²/P = 8.43 kΩ, C = 18.3 nF.
    EXPECT_NEAR(num(w, designers::editOf<F>("Rlk")), 8.43, 0.05);
    EXPECT_NEAR(num(w, designers::editOf<F>("Clk")), 18.3, 0.1);
    enter(w, kRealistic[1]);
    press(w, F::kVerify);
    // 70.6 W from a 120.2 V crest down to 90.1 V over 5 ms + asin(0.75)/ω = 7.70 ms.
    EXPECT_NEAR(num(w, designers::editOf<F>("Cin")), 172, 1);
    enter(w, kRealistic[2]);
    press(w, F::kVerify);
    EXPECT_NEAR(num(w, designers::editOf<F>("Cin")), 37.5, 0.3);
    // Ipks 9.59 A into 120 mV: ESR 12.5 mΩ, 3996 µF of 50 µs electrolytic.
    EXPECT_NEAR(num(w, designers::editOf<F>("Co")), 3996, 10);
}

// The verify checks the core with the bulk capacitor at its valley, where the
// duty and the current are highest: a notice when the flux there passes Bsat
// while at the crest it does not; the results stand.
TEST_F(Flyback, FluxAtTheBulkValleyIsChecked) {
    const std::string notice = "注意：输入电容电压在谷点(峰值的75%)时，磁通密度峰值已经超过饱和磁密！";
    // The notice names the valley the capacitor is sized for.
    const std::string share = std::to_string(int(std::lround(designers::flyback::kBulkValley * 100))) + "%";
    EXPECT_NE(notice.find(share), std::string::npos);
    for (bool dcmMode : {false, true}) {
        // DCM with no idle share: at the valley the converter runs into CCM.
        Design d = dcmMode ? Design{.VacMin = 85, .VacMax = 265, .Vswm = 800, .Vswr = 100, .Ptd = 0} : kRealistic[1];
        F& w = open();
        if (dcmMode) toDcm(w);
        enter(w, d);
        press(w, F::kVerify);
        ASSERT_TRUE(hb.messages.empty()) << hb.messages[0].text;
        const double idle = d.Ptd / 100;
        const double reset = dcmMode ? 1 - num(w, designers::editOf<F>("Ton")) * 1e-6 * d.f * 1e3 - idle
                                     : 1 - num(w, designers::editOf<F>("Ton")) * 1e-6 * d.f * 1e3;
        const double atCrest = num(w, designers::editOf<F>("Lp")) * num(w, designers::editOf<F>("Ipkp")) /
                               (num(w, designers::editOf<F>("Np")) * d.Ae) * 1e4;
        const double atValley = valleyFlux(w, d, reset);
        ASSERT_GT(atValley, atCrest * 1.01) << dcmMode;
        d.Bsat = (atCrest + atValley) / 2;
        enter(w, d);
        press(w, F::kVerify);
        EXPECT_EQ(texts(), std::vector<std::string>{notice}) << dcmMode;
        EXPECT_NE(w.text(designers::editOf<F>("Lp")), "");
        hb.messages.clear();
        d.Bsat = atValley * 1.005;
        enter(w, d);
        press(w, F::kVerify);
        EXPECT_TRUE(hb.messages.empty()) << dcmMode;
    }
    // Below Bsat already at the crest: the crest's notice alone.
    F& w = open();
    enter(w, Design{.Bsat = 1000});
    press(w, F::kVerify);
    EXPECT_EQ(texts(), std::vector<std::string>{"注意：实际磁通密度峰值已经超过最大值！"});
}

// The lowest mains above the highest (300 V over 265 V) is refused naming
// both; the earlier results stay and no longer belong to the inputs: greyed.
TEST_F(Flyback, MainsRangeUpsideDownIsRefusedNamingBoth) {
    F& w = open();
    enter(w, Design{});
    press(w, F::kVerify);
    ASSERT_TRUE(hb.messages.empty()) << hb.messages[0].text;
    const int lp = designers::editOf<F>("Lp");
    const std::string before = w.text(lp);
    ASSERT_NE(before, "");
    w.setText(designers::editOf<F>("VacMin"), "300");
    w.setText(designers::editOf<F>("VacMax"), "265");
    for (int button : {F::kEstimate, F::kVerify}) {
        hb.messages.clear();
        press(w, button);
        EXPECT_EQ(texts(), std::vector<std::string>{"输入有误：“最高交流输入(V)”低于“最低交流输入(V)”，请检查输入！"});
    }
    EXPECT_EQ(w.text(lp), before);
    EXPECT_TRUE(w.greyed(lp));
    w.setText(designers::editOf<F>("VacMin"), "265");
    hb.messages.clear();
    press(w, F::kVerify);
    EXPECT_TRUE(hb.messages.empty()); // a single mains voltage is a range too
    EXPECT_FALSE(w.greyed(lp));
}
