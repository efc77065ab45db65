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

TEST_F(Pages, SkinDepthOfCopper) {
    auto& p = open<CJifu>();
    auto depth = [](double khz, double t) { return 66.1 * (1 + 0.0042 * (t - 20)) / std::sqrt(khz * 1000); };
    press(p, CJifu::kCalc);
    EXPECT_TRUE(shows(p, CJifu::kDepth, depth(200, 80)));

    p.setText(CJifu::kFreq, "100");
    p.setText(CJifu::kTemp, "20");
    press(p, CJifu::kCalc);
    EXPECT_TRUE(shows(p, CJifu::kDepth, 66.1 / std::sqrt(100000.0))); // 0.209 mm
    EXPECT_EQ(p.text(CJifu::kDepth).substr(0, 5), "0.209");

    p.setText(CJifu::kFreq, "50");
    p.setText(CJifu::kTemp, "-10");
    press(p, CJifu::kCalc);
    EXPECT_TRUE(shows(p, CJifu::kDepth, depth(50, -10)));
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
    EXPECT_TRUE(has("\"text\": \"请输入完整的条件!\", \"icon\": \"warning\""));
    EXPECT_TRUE(has(edit(1033, "")));
    EXPECT_TRUE(has("\"opened\": [228]"));
}
