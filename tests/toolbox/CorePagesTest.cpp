// The core sizing pages: results against the estimates worked out here in
// double precision, defaults, messages and unguarded inputs, and korvane-cli.
#include "toolbox/CCore.h"
#include "toolbox/CCore2.h"
#include "toolbox/CCore3.h"

#include "tests/toolbox/PagesTestSupport.h"

#include <cmath>

using namespace kv;
using namespace kv::toolbox;
using namespace kv::test;

TEST_F(Pages, CorePagesDefaultsAndIncompleteInput) {
    const PageCase cases[] = {
        {maker<CCore>(), "磁芯计算1", 1000, {{1030, "80"}}, {1031}, "请输入磁芯承载功率！！"},
        {maker<CCore2>(), "磁芯计算2", 1000, {{1030, "30"}, {1031, "100"}}, {1032}, "请输入完整的条件！"},
        {maker<CCore3>(), "磁芯计算3", 1000, {{1325, "250"}, {1200, "0.15"}, {1326, "100"}}, {1049},
         "请输入完整的参数！"},
    };
    for (const PageCase& c : cases) checkDefaultsAndIncompleteInput(c);
}

TEST_F(Pages, CorePagesNameAnInputOutOfRange) {
    const GuardedCase cases[] = {
        {maker<CCore>(), 1000, {{1030, "-4"}}, "磁芯承载功率(W)"},
        {maker<CCore2>(), 1000, {{1031, "0"}}, "开关频率(KHz)"},
        {maker<CCore3>(), 1000, {{1200, "0"}}, "△B(T)"},
        {maker<CCore3>(), 1000, {{1325, "0"}, {1326, "0"}}, "输入功率(W)"},
    };
    for (const GuardedCase& c : cases) checkGuarded(c);
}

TEST_F(Pages, CoreCrossSectionFromThePower) {
    auto& p = open<CCore>();
    press(p, CCore::kCalc);
    EXPECT_TRUE(shows(p, CCore::kArea, 0.15 * std::sqrt(80.0) * 100)); // 134 mm²
    EXPECT_EQ(p.text(CCore::kArea).substr(0, 4), "134.");

    for (double w : {1.0, 12.5, 250.0, 3000.0}) {
        p.setText(CCore::kPower, ui::formatNumber(w));
        press(p, CCore::kCalc);
        EXPECT_TRUE(shows(p, CCore::kArea, 15 * std::sqrt(w))) << w;
    }
    // The inputs are written back as the number format writes them.
    p.setText(CCore::kPower, " 8e1 ");
    press(p, CCore::kCalc);
    EXPECT_EQ(p.text(CCore::kPower), "80");
}

TEST_F(Pages, FlybackCoreVolume) {
    auto& p = open<CCore2>();
    press(p, CCore2::kCalc);
    EXPECT_EQ(p.text(CCore2::kVolume), "3000"); // 30 W at 100 kHz

    const std::pair<double, double> cases[] = {{65, 65}, {5, 132}, {120, 40}, {0.5, 1000}};
    for (auto [w, khz] : cases) {
        p.setText(CCore2::kPower, ui::formatNumber(w));
        p.setText(CCore2::kFreq, ui::formatNumber(khz));
        press(p, CCore2::kCalc);
        EXPECT_TRUE(shows(p, CCore2::kVolume, w / (khz * 1000) * 1e7)) << w << " W " << khz << " kHz";
    }
}

TEST_F(Pages, ForwardCoreVolumePerTopology) {
    auto& p = open<CCore3>();
    ASSERT_EQ(p.itemCount(CCore3::kTopology), 3);
    EXPECT_EQ(p.itemText(CCore3::kTopology, 0), "正激拓扑");
    EXPECT_EQ(p.itemText(CCore3::kTopology, 1), "半桥/全桥");
    EXPECT_EQ(p.itemText(CCore3::kTopology, 2), "全波中心抽头");
    EXPECT_EQ(p.text(CCore3::kTopology), "正激拓扑");

    auto expected = [](double k, double pin, double db, double khz) {
        return 29.3 * std::pow(pin, 0.9) / std::pow(k * db * khz * 1000, 0.68) * 1000;
    };
    press(p, CCore3::kCalc);
    EXPECT_TRUE(shows(p, CCore3::kVolume, expected(0.141, 250, 0.15, 100)));
    const std::string forward = p.text(CCore3::kVolume);

    choose(p, CCore3::kTopology, 1);
    press(p, CCore3::kCalc);
    EXPECT_TRUE(shows(p, CCore3::kVolume, expected(0.165, 250, 0.15, 100)));
    EXPECT_NE(p.text(CCore3::kVolume), forward);

    // The centre-tapped full wave uses the forward constant.
    choose(p, CCore3::kTopology, 2);
    press(p, CCore3::kCalc);
    EXPECT_EQ(p.text(CCore3::kVolume), forward);

    p.setText(CCore3::kPower, "600");
    p.setText(CCore3::kSwing, "0.2");
    p.setText(CCore3::kFreq, "65");
    choose(p, CCore3::kTopology, 1);
    press(p, CCore3::kCalc);
    EXPECT_TRUE(shows(p, CCore3::kVolume, expected(0.165, 600, 0.2, 65)));
    EXPECT_EQ(pauses(), 4);
    EXPECT_TRUE(hb.messages.empty());
}

// Expected texts worked out by hand from the estimates.
TEST_F(PagesCli, CorePages) {
    computes({"224", "--set", "1030=100", "--press", "1000"}, {edit(1031, "150")}); // 15·√100
    computes({"231", "--set", "1030=50", "--set", "1031=50", "--press", "1000"}, {edit(1032, "10000")});
    computes({"233", "--select", "1324=1", "--set", "1325=250", "--press", "1000"},
             {edit(1049, "20767.4"), "\"selected\": 1"});
    ASSERT_EQ(run({"224", "--set", "1030=", "--press", "1000"}), 0) << err;
    // One message: the page's words, then the field.
    EXPECT_TRUE(has("\"text\": \"请输入磁芯承载功率！！\\n输入有误："));
    EXPECT_FALSE(has("请输入一个数字"));
    EXPECT_TRUE(has("\"opened\": [224]"));
    // A control the page does not have.
    EXPECT_EQ(run({"224", "--press", "1049"}), 2);
}
