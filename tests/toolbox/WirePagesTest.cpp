// The wire and skin-effect pages: results against the equations worked out
// here in double precision, defaults, messages and unguarded inputs, and korvane-cli.
#include "toolbox/CJifu.h"
#include "toolbox/CWire.h"

#include "tests/toolbox/PagesTestSupport.h"

#include <cmath>

using namespace kv;
using namespace kv::toolbox;
using namespace kv::test;

TEST_F(Pages, WirePagesDefaultsAndIncompleteInput) {
    const PageCase cases[] = {
        {maker<CJifu>(), "集肤效应", 1000, {{1030, "200"}, {1031, "80"}}, {1032}, "请输入完整的条件！"},
        // ASCII exclamation mark on this page.
        {maker<CWire>(), "导线计算", 1000, {{1030, "5"}, {1031, "0.6"}, {1032, "400"}}, {1033},
         "请输入完整的条件!"},
    };
    for (const PageCase& c : cases) checkDefaultsAndIncompleteInput(c);
}

TEST_F(Pages, WirePagesNameAnInputOutOfRange) {
    const GuardedCase cases[] = {
        {maker<CJifu>(), 1000, {{1030, "0"}}, "工作频率(KHz)"},
        {maker<CWire>(), 1000, {{1031, "0"}}, "导线直径(mm)"},
        {maker<CWire>(), 1000, {{1030, "-1"}}, "有效电流(A)"},
    };
    for (const GuardedCase& c : cases) checkGuarded(c);
}

// δ = √(ρ / (π·f·μ0)) with annealed copper's 1.7241e-8 Ω·m at 20 °C and its
// temperature coefficient 0.00393 /K.
TEST_F(Pages, SkinDepthOfCopper) {
    auto& p = open<CJifu>();
    auto depth = [](double khz, double t) {
        const double rho = 1.7241e-8 * (1 + 0.00393 * (t - 20)), mu0 = 4e-7 * 3.14159265358979;
        return std::sqrt(rho / (3.14159265358979 * khz * 1e3 * mu0)) * 1e3;
    };
    press(p, CJifu::kCalc);
    EXPECT_TRUE(shows(p, CJifu::kDepth, depth(200, 80), 5e-4)); // 0.1643 mm; 0.1848 before
    const double at80 = std::stod(p.text(CJifu::kDepth));

    p.setText(CJifu::kFreq, "100");
    p.setText(CJifu::kTemp, "20");
    press(p, CJifu::kCalc);
    EXPECT_TRUE(shows(p, CJifu::kDepth, depth(100, 20), 5e-4));
    EXPECT_EQ(p.text(CJifu::kDepth).substr(0, 5), "0.209");

    // Hotter copper: the depth grows by √(ρ(T)/ρ20), 11.2 % at 80 °C, 18.0 % at 120 °C.
    p.setText(CJifu::kFreq, "200");
    for (auto [t, growth] : {std::pair{80.0, 1.1117}, std::pair{120.0, 1.1802}}) {
        p.setText(CJifu::kTemp, std::to_string(t));
        press(p, CJifu::kCalc);
        const double hot = std::stod(p.text(CJifu::kDepth));
        p.setText(CJifu::kTemp, "20");
        press(p, CJifu::kCalc);
        EXPECT_NEAR(hot / std::stod(p.text(CJifu::kDepth)), growth, 2e-4) << t;
    }
    EXPECT_NEAR(at80, depth(200, 80), 1e-4);

    p.setText(CJifu::kFreq, "50");
    p.setText(CJifu::kTemp, "-10");
    press(p, CJifu::kCalc);
    EXPECT_TRUE(shows(p, CJifu::kDepth, depth(50, -10), 5e-4));
    EXPECT_TRUE(hb.messages.empty());

    // Below about −234 °C the linear resistivity has ended: no depth, the temperature named.
    p.setText(CJifu::kTemp, "-300");
    press(p, CJifu::kCalc);
    ASSERT_EQ(hb.messages.size(), 1u);
    EXPECT_NE(hb.messages[0].text.find("“最大温度(°C)”"), std::string::npos) << hb.messages[0].text;
    EXPECT_EQ(p.text(CJifu::kDepth), "");
}

TEST_F(Pages, StrandsOfAWireAreNotRoundedUp) {
    auto& p = open<CWire>();
    auto strands = [](double amps, double d, double cmil) {
        const double area = cmil * amps;             // circular mils
        const double dmm = std::sqrt(area) * 0.0254; // one mil is 0.0254 mm
        return dmm * dmm / (d * d);
    };
    press(p, CWire::kCalc);
    EXPECT_TRUE(shows(p, CWire::kStrands, strands(5, 0.6, 400), 5e-5)); // about 3.58
    EXPECT_EQ(p.text(CWire::kStrands).substr(0, 4), "3.58");

    p.setText(CWire::kCurrent, "12");
    p.setText(CWire::kDiameter, "0.1");
    p.setText(CWire::kDensity, "600");
    press(p, CWire::kCalc);
    EXPECT_TRUE(shows(p, CWire::kStrands, strands(12, 0.1, 600), 5e-5));
}

// Expected texts worked out by hand from the equations.
TEST_F(PagesCli, WirePages) {
    computes({"234", "--set", "1030=100", "--set", "1031=20", "--press", "1000"}, {edit(1032, "0.209027")});
    computes({"228", "--set", "1030=4", "--set", "1031=0.5", "--set", "1032=625", "--press", "1000"},
             {edit(1033, "6.45163")});
    ASSERT_EQ(run({"228", "--set", "1031=", "--press", "1000"}), 0) << err;
    EXPECT_TRUE(has("\"text\": \"请输入完整的条件!\\n输入有误："));
    EXPECT_TRUE(has(edit(1033, "")));
    EXPECT_TRUE(has("\"opened\": [228]"));
}
