#include "shell/Popups.h"
#include "services/Progress.h"

#include "platform/ui/Canvas.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace kv;

namespace {
struct Popups : ::testing::Test {
    test::TempDir dir;
    ui::HeadlessBackend hb;
    Popups() { ui::setBackend(&hb); }
};

// Results are written by the caller only after the box has closed.
struct Caller : ui::Dialog {
    explicit Caller(ui::HeadlessBackend& b) : Dialog(217, nullptr), hb(b) {}
    void compute() {
        services::showCalculating(*this);
        writtenAt = hb.now();
    }
    ui::HeadlessBackend& hb;
    long writtenAt = -1;
};
} // namespace

TEST(PercentText, FirstDigitsOfTensAndOnes) {
    EXPECT_EQ(services::percentText(0), " (00)% ...");
    EXPECT_EQ(services::percentText(5), " (05)% ...");
    EXPECT_EQ(services::percentText(61), " (61)% ...");
    // 100: the tens give "10", of which only the first digit is shown
    EXPECT_EQ(services::percentText(100), " (10)% ...");
    EXPECT_EQ(services::percentText(102), " (12)% ...");
    EXPECT_EQ(services::percentText(61).size(), 10u);
}

TEST_F(Popups, CalculatingBoxLastsSeventeenTicks) {
    Caller c(hb);
    c.compute();
    EXPECT_EQ(hb.ticks, 17);
    EXPECT_EQ(c.writtenAt, 170);
    EXPECT_EQ(hb.opened, std::vector<int>{217});
}

TEST_F(Popups, CalculatingBarPaintsInATableColourAtEveryRepaint) {
    services::CalculatingPopup box(nullptr);
    box.progress = 60;
    std::vector<unsigned> draws = {0, 13, 7, 1000000009};
    size_t k = 0;
    auto keep = services::CalculatingPopup::random;
    services::CalculatingPopup::random = [&] { return draws[k++ % draws.size()]; };
    std::vector<ui::Color> seen;
    for (int i = 0; i < 4; ++i) {
        ui::RecordingCanvas c = ui::HeadlessBackend::paint(box);
        const auto lines = c.lines();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].width, 13);
        EXPECT_EQ(lines[0].x2, 198); // 3.3 x 60
        EXPECT_EQ(lines[0].y1, 21);
        seen.push_back(lines[0].color);
        const auto texts = c.texts();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].text, " (60)% ...");
        EXPECT_EQ(texts[0].x, 90);
        EXPECT_EQ(texts[0].font, "楷体");
        EXPECT_EQ(texts[0].size, 11);
    }
    services::CalculatingPopup::random = keep;
    EXPECT_EQ(seen[0], (ui::Color{160, 180, 200}));    // index 0
    EXPECT_EQ(seen[1], (ui::Color{0, 0, 255}));        // 13 mod 10 = 3
    EXPECT_EQ(seen[2], (ui::Color{128, 0, 0}));        // 7
    EXPECT_EQ(seen[3], (ui::Color{0, 128, 128}));      // 1000000009 mod 10 = 9
}

TEST_F(Popups, TheRealRandomColourIsAlwaysFromTheTable) {
    services::CalculatingPopup box(nullptr);
    for (int i = 0; i < 20; ++i) {
        const auto lines = ui::HeadlessBackend::paint(box).lines();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_TRUE(std::find(std::begin(services::CalculatingPopup::kColors),
                              std::end(services::CalculatingPopup::kColors),
                              lines[0].color) != std::end(services::CalculatingPopup::kColors));
    }
}

TEST_F(Popups, ProgressPauseLastsSeventeenTicksAndFillsItsBar) {
    ui::Dialog owner(236, nullptr);
    struct Watch : services::ProgressPause {
        using ProgressPause::ProgressPause;
        void onTimer(int id) override {
            ProgressPause::onTimer(id);
            positions.push_back(pos(kBar));
        }
        std::vector<int> positions;
    } box(&owner);
    owner.runModal(box);
    EXPECT_EQ(hb.ticks, 17);
    ASSERT_EQ(box.positions.size(), 17u);
    EXPECT_EQ(box.positions[15], 96);
    EXPECT_EQ(box.positions[16], 100); // 102 held at the top of the range
    EXPECT_EQ(box.position, 102);
}

TEST_F(Popups, SplashBarAndTexts) {
    shell::LoadingSplash s(nullptr);
    s.progress = 37;
    ui::RecordingCanvas c = ui::HeadlessBackend::paint(s);
    const auto lines = c.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].x2, 148);
    EXPECT_EQ(lines[0].width, 14);
    EXPECT_EQ(lines[0].color, (ui::Color{0, 200, 20}));
    const auto texts = c.texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, " (37)% ...");
    EXPECT_EQ(texts[1].text, "读取配置文件");
    EXPECT_EQ(texts[1].x, 0);
    EXPECT_EQ(texts[1].font, "");
    EXPECT_EQ(texts[1].color, (ui::Color{0, 0, 0}));
}

TEST_F(Popups, SplashEndsAtOneHundredAndResets) {
    shell::LoadingSplash s(nullptr);
    hb.runModal(s, nullptr);
    EXPECT_EQ(hb.ticks, 50);
    EXPECT_TRUE(s.finished);
    EXPECT_EQ(s.progress, 0);
    // A stray timer counts in fours and ends the splash too.
    shell::LoadingSplash t(nullptr);
    t.progress = 92;
    t.onTimer(7);
    EXPECT_FALSE(t.ended());
    t.onTimer(7);
    EXPECT_TRUE(t.ended());
    EXPECT_FALSE(t.finished);
}

TEST_F(Popups, WelcomeCounterPaintsAsOneDigit) {
    shell::WelcomeDialog w(nullptr);
    w.counter = 7;
    const auto texts = ui::HeadlessBackend::paint(w).texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "7");
    EXPECT_EQ(texts[0].x, 47);
    EXPECT_EQ(texts[0].y, 112);
    EXPECT_EQ(texts[0].size, 13);
}
