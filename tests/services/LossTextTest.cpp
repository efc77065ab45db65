// The words of the loss figures: why they are blank, the figures as text,
// the core's caption and the note wrapped into a narrow column.
#include "services/LossText.h"

#include "platform/ui/Numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace mag = kv::magnetics;
using namespace kv::services;

namespace {
const mag::TableCore kEtd34 = mag::tableCore("ETD34", "N87", 97.1, 171, 2600, 78.6, 7630);

mag::WindowLoss withGap(mag::LossGap gap, mag::Reason reason = mag::Reason::None) {
    mag::WindowLoss w;
    w.gap = gap;
    w.loss.reason = reason;
    return w;
}
} // namespace

TEST(LossText, EveryBlankSaysWhy) {
    EXPECT_EQ(lossNote(withGap(mag::LossGap::NoResults), nullptr, "选择磁芯"), "损耗：尚无计算结果");
    // A typed core names the button that picks one.
    EXPECT_EQ(lossNote(withGap(mag::LossGap::TypedCore), nullptr, "指定磁芯"),
              "损耗：手动输入的磁芯没有材料和形状数据，请用“指定磁芯”从磁芯库选取磁芯");
    EXPECT_EQ(lossNote(withGap(mag::LossGap::NoShape), &kEtd34, "选择磁芯"),
              "损耗：磁芯ETD34没有可用的形状数据(绕组几何未知)");
    // The model's reasons name the material and, where they have one, the data's range.
    const std::string f = lossNote(withGap(mag::LossGap::Model, mag::Reason::FrequencyOutside), &kEtd34, "");
    EXPECT_EQ(f.rfind("损耗：开关频率超出N87损耗数据的范围(", 0), 0u) << f;
    const auto span = mag::dataSpan("N87");
    ASSERT_TRUE(span.has_value());
    EXPECT_NE(f.find(kv::ui::formatNumber(span->fMax / 1e3, 4) + "kHz)"), std::string::npos) << f;
    EXPECT_NE(lossNote(withGap(mag::LossGap::Model, mag::Reason::TemperatureOutside), &kEtd34, "").find("℃)"),
              std::string::npos);
    EXPECT_NE(lossNote(withGap(mag::LossGap::Model, mag::Reason::FluxOutside), &kEtd34, "").find("峰值磁密"),
              std::string::npos);
    EXPECT_NE(lossNote(withGap(mag::LossGap::Model, mag::Reason::WindingDoesNotFit), &kEtd34, "").find("窗口"),
              std::string::npos);
    // Shown figures: no note, or the upper bound of a flux below the data.
    mag::WindowLoss shown = withGap(mag::LossGap::None);
    EXPECT_EQ(lossNote(shown, &kEtd34, ""), "");
    shown.loss.coreLossBound = true;
    EXPECT_NE(lossNote(shown, &kEtd34, "").find("上限"), std::string::npos);
}

TEST(LossText, FiguresCaptionAndWrapping) {
    EXPECT_EQ(lossText(1.23456), "1.23");
    EXPECT_EQ(lossText(std::numeric_limits<double>::quiet_NaN()), "");
    EXPECT_EQ(lossText(std::numeric_limits<double>::infinity()), "");
    EXPECT_EQ(coreCaption(&kEtd34), "磁芯:ETD34 N87");
    EXPECT_EQ(coreCaption(nullptr), "磁芯:用户输入");
    // Code points, not bytes: three-byte characters and ASCII alike.
    const std::vector<std::string> lines = wrapped("磁芯损耗ab12", 3);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "磁芯损");
    EXPECT_EQ(lines[1], "耗ab");
    EXPECT_EQ(lines[2], "12");
    EXPECT_TRUE(wrapped("", 5).empty());
    EXPECT_EQ(wrapped("abc", 5), std::vector<std::string>{"abc"});
}
