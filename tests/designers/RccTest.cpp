#include "designers/RccDesigner.h"
#include "tests/designers/DesignerHarness.h"

using namespace kv;
using W = designers::RccDesigner;

namespace {

struct Conditions {
    double VacMin = 90, VacMax = 260, Vo = 5, IoMax = 1, IoMin = 0.1, fMin = 60, Eff = 75, Vswm = 600, Vswr = 150,
           Vsw = 1.5, Vdf = 0.6, Bpk = 2500, Ae = 19.2, Cmil = 500;
};

// Average and RMS of a current that ramps straight from `from` to `to` over
// the share `share` of a period and is zero for the rest, by summing it over
// fine steps of the period.
struct Waveform {
    double average, rms;
};
Waveform triangle(double from, double to, double share) {
    const int steps = 100000;
    double sum = 0, squares = 0;
    for (int k = 0; k < steps; ++k) {
        const double x = (k + 0.5) / steps; // share of the period
        const double i = x < share ? from + (to - from) * x / share : 0.0;
        sum += i;
        squares += i * i;
    }
    return {sum / steps, std::sqrt(squares / steps)};
}

struct Rcc : test::DesignerHarness {
    W& openWith(const Conditions& c) {
        W& w = open<W>();
        type(w, {{"VacMin", c.VacMin}, {"VacMax", c.VacMax}, {"Vo", c.Vo}, {"IoMax", c.IoMax}, {"IoMin", c.IoMin},
                 {"fMin", c.fMin}, {"Eff", c.Eff}, {"Vswm", c.Vswm}, {"Vswr", c.Vswr}, {"Vsw", c.Vsw},
                 {"Vdf", c.Vdf}, {"Bpk", c.Bpk}, {"Ae", c.Ae}, {"Cmil", c.Cmil}});
        return w;
    }
};

const char* const kResults[] = {"Lp", "Ls", "Ipkp", "Ipks", "Irmsp", "Irmss", "Np", "Ns", "Dp", "Ds", "fMax"};

} // namespace

TEST_F(Rcc, OpensWithStartValuesAndBlankResults) {
    W& w = open<W>();
    EXPECT_EQ(w.title(), "Ringing Choke Converter   <界面:系统   公式:内置>");
    EXPECT_EQ(shown(w, "IoMin"), "0.1");
    EXPECT_EQ(shown(w, "Ae"), "19.2");
    EXPECT_EQ(shown(w, "Vsw"), "1.5");
    for (const char* r : kResults) EXPECT_EQ(shown(w, r), "") << r;
    EXPECT_EQ(w.control(1090)->textColor, ui::kRed);
    EXPECT_EQ(w.control(1092)->textColor, ui::kBlue);
    expectPicture(w, W::kPicture, 254, 19, W::kPictureGroup, 1, 10);
}

TEST_F(Rcc, StartValues) {
    const designers::rcc::Design start;
    EXPECT_NEAR(designers::rcc::voltageBudget(start) / 1.4, 58.8, 0.05); // Vor
    EXPECT_NEAR(designers::rcc::duty(start), 0.323, 0.0005);
    W& w = open<W>();
    press(w, W::kCalculate);
    EXPECT_TRUE(hb.messages.empty());
    EXPECT_TRUE(calculatingShown());
    // to the digits given: name, value, half a unit of its last digit. The
    // currents are triangles: 0.325 A x root(0.323 / 3) and 2.95 A x root(0.677 / 3).
    // At 260 V and 0.1 A the switch sees Vk = 366.1 V against Vor = 58.8 V: a
    // duty of 0.138, and 0.5 W stored in 2109 uH at 75 % needs 914 kHz.
    const struct {
        const char* name;
        double value, within;
    } expected[] = {
        {"Ipkp", 0.325, 5e-4}, {"Ipks", 2.95, 5e-3}, {"Lp", 2109, 0.5},    {"Ls", 19.1, 0.05},  {"Irmsp", 0.1065, 5e-5},
        {"Irmss", 1.403, 5e-4}, {"Dp", 0.185, 5e-4}, {"Ds", 0.673, 5e-4}, {"fMax", 914, 0.5},
    };
    for (const auto& e : expected) EXPECT_NEAR(num(w, e.name), e.value, e.within) << e.name;
    EXPECT_EQ(shown(w, "Ns"), "14");
    EXPECT_EQ(shown(w, "Np"), "147");
}

TEST_F(Rcc, HalvingTheSmallestLoadDoublesTheHighestFrequencyOnly) {
    W& w = open<W>();
    press(w, W::kCalculate);
    std::vector<std::string> full;
    for (const char* r : kResults) full.push_back(shown(w, r));
    type(w, "IoMin", 0.05);
    press(w, W::kCalculate);
    for (std::size_t i = 0; i + 1 < std::size(kResults); ++i) EXPECT_EQ(shown(w, kResults[i]), full[i]) << kResults[i];
    EXPECT_CLOSE(num(w, "fMax"), 2 * std::stod(full.back()));
}

// The start values and two more designs, against the energy and charge of a
// flyback at the boundary of conduction.
TEST_F(Rcc, DesignsKeepTheBoundaryConductionBalances) {
    const Conditions designs[] = {
        Conditions{},
        {.VacMin = 85, .VacMax = 265, .Vo = 12, .IoMax = 0.5, .IoMin = 0.05, .fMin = 50, .Eff = 80, .Vswm = 700,
         .Vswr = 100, .Vsw = 1, .Vdf = 0.7, .Bpk = 2200, .Ae = 32, .Cmil = 450},
        {.VacMin = 180, .VacMax = 264, .Vo = 24, .IoMax = 0.25, .IoMin = 0.02, .fMin = 40, .Eff = 82, .Vswm = 800,
         .Vswr = 120, .Vsw = 2, .Vdf = 1, .Bpk = 2000, .Ae = 25, .Cmil = 500},
    };
    for (const Conditions& c : designs) {
        SCOPED_TRACE(c.Vo);
        W& w = openWith(c);
        press(w, W::kCalculate);
        ASSERT_TRUE(hb.messages.empty()) << hb.messages[0].text;
        const double eta = c.Eff / 100, vin = 1.414 * c.VacMin, po = c.Vo * c.IoMax;
        const double n = (c.Vswm - c.Vswr - 1.414 * c.VacMax) / 1.4 / (c.Vo + c.Vdf);
        const double lp = num(w, "Lp") * 1e-6, ipkp = num(w, "Ipkp"), ipks = num(w, "Ipks");
        // the secondary's triangle carries IoMax: its share of the period is 1 - D
        const double D = 1 - 2 * c.IoMax / ipks;
        // the primary's triangle carries the input power Po / η at the peak of VacMin
        EXPECT_CLOSE(0.5 * ipkp * D * vin * eta, po);
        // the energy stored each cycle at the lowest frequency
        EXPECT_CLOSE(0.5 * lp * ipkp * ipkp * c.fMin * 1e3 * eta, po);
        EXPECT_CLOSE(num(w, "Ls") * n * n, num(w, "Lp"));
        // the triangles the windings carry at the lowest frequency, integrated:
        // the primary's average carries the input power, the secondary's the load
        const Waveform primary = triangle(0, ipkp, D), secondary = triangle(ipks, 0, 1 - D);
        EXPECT_NEAR(primary.average * vin * eta, po, po * 1e-3);
        EXPECT_NEAR(secondary.average, c.IoMax, c.IoMax * 1e-3);
        EXPECT_NEAR(num(w, "Irmsp"), primary.rms, primary.rms * 1e-3);
        EXPECT_NEAR(num(w, "Irmss"), secondary.rms, secondary.rms * 1e-3);
        EXPECT_CLOSE(std::pow(num(w, "Dp") * 39.37, 2), c.Cmil * num(w, "Irmsp"));
        EXPECT_CLOSE(std::pow(num(w, "Ds") * 39.37, 2), c.Cmil * num(w, "Irmss"));
        // turns: the fewest secondary turns for the flux at VacMin, the primary to the nearest turn
        const double np0 = vin * D / (c.fMin * 1e3) / (c.Bpk * 1e-4 * c.Ae * 1e-6);
        const double ns = num(w, "Ns"), np = num(w, "Np");
        EXPECT_GE(n * ns, np0 * (1 - 1e-5));
        EXPECT_LT(n * (ns - 1), np0);
        EXPECT_LE(std::fabs(np - n * ns), 0.5 + 1e-4);
        // the highest frequency stores the smallest load's energy at the highest
        // input, and at the boundary of conduction the switch's ramp up at Vk and
        // the secondary's ramp down at the reflected voltage fill its period
        const double fMax = num(w, "fMax") * 1e3, vk = 1.414 * c.VacMax - c.Vsw;
        const double ipkLight = std::sqrt(2 * c.Vo * c.IoMin / eta / (lp * fMax));
        const double rampUp = lp * ipkLight / vk;
        const double rampDown = num(w, "Ls") * 1e-6 * (n * ipkLight) / (c.Vo + c.Vdf);
        EXPECT_NEAR(rampUp + rampDown, 1 / fMax, 1e-3 / fMax);
        expectNoBadNumbers(w);
    }
}

TEST_F(Rcc, MessagesAndRefusals) {
    W& w = open<W>();
    press(w, W::kCalculate);
    const std::string lp = shown(w, "Lp");
    // No room for the reflected voltage (VacMax 330 would give Np = -49).
    for (double vacMax : {330.0, 318.3}) {
        hb.messages.clear();
        type(w, "VacMax", vacMax);
        press(w, W::kCalculate);
        EXPECT_EQ(texts(), std::vector<std::string>{"输入有误：“开关管耐压(V)”扣除“耐压余量(V)”后不高于“最高交流输入(V)”"
                                                    "的峰值，没有留给反射电压的余量，无法计算！"});
        EXPECT_EQ(shown(w, "Lp"), lp);
    }
    type(w, "VacMax", 260);
    // The smallest load and every divisor, by label.
    const std::pair<const char*, double> cases[] = {{"IoMin", 0}, {"IoMin", -0.1}, {"fMin", 0}, {"Eff", 0},
                                                    {"Bpk", 0},   {"Ae", 0},       {"Vo", 0},   {"IoMax", 0},
                                                    {"VacMin", 0}, {"Cmil", -1},   {"Vswr", -1}};
    for (auto [name, value] : cases) expectRefused(w, W::kCalculate, name, value, "Lp");
    // Not a number.
    hb.messages.clear();
    w.setText(w.controlOf("Vdf"), "0,6");
    press(w, W::kCalculate);
    EXPECT_EQ(texts(), (std::vector<std::string>{" 请输入完整的设计条件！\n输入有误：“二极管压降(V)”中的“0,6”不是一个数字，请检查输入！"}));
    EXPECT_EQ(hb.messages[0].owner, 134);
    EXPECT_EQ(shown(w, "Lp"), lp);
    W& fresh = open<W>();
    fresh.setText(fresh.controlOf("Vdf"), "");
    press(fresh, W::kCalculate);
    for (const char* r : kResults) EXPECT_EQ(shown(fresh, r), "") << r;
    expectNoBadNumbers(w);
}

TEST_F(Rcc, FormulaAndInterfaceFiles) {
    test::writeFile("RCC cfg.txt", "Np = VacMin + Ns;\r\nfMax = fMin * 2;\r\n#");
    test::writeFile("RCC Interface.txt", "8=Vds max;\r\n25=f at Imin;\r\n#");
    W& w = open<W>();
    EXPECT_EQ(w.title(), "Ringing Choke Converter   <界面:自定义   公式:自定义>");
    EXPECT_EQ(w.text(1281), "Vds max");
    EXPECT_EQ(w.text(1295), "f at Imin");
    press(w, W::kCalculate);
    EXPECT_EQ(shown(w, "Np"), "90"); // Ns reads 0 before anything sets it
    EXPECT_EQ(shown(w, "fMax"), "120");
    EXPECT_EQ(shown(w, "Lp"), "0");
    test::writeFile("RCC cfg.txt", "fMax = (1;\r\n#");
    press(w, W::kCalculate);
    EXPECT_EQ(shown(w, "fMax"), "120");
    EXPECT_EQ(hb.messages.back().caption, "公式解析错误");
    // The built-in formulas name the inputs by the labels shown.
    test::writeFile("RCC cfg.txt", "#");
    type(w, "VacMax", 330);
    press(w, W::kCalculate);
    EXPECT_NE(hb.messages.back().text.find("“Vds max”"), std::string::npos);
}
