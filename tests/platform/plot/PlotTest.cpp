#include "platform/plot/Plot.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using kv::plot::Plot;

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
} // namespace

TEST(Plot, SeriesHandlesRemoveAndClear) {
    Plot p;
    const double y[] = {1, 2, 3};
    const int a = p.addY(y, 3, 0xFF0000);
    const int b = p.addY(y, 3, 0x0000FF);
    EXPECT_NE(a, b);
    EXPECT_GT(a, 0);
    ASSERT_NE(p.find(b), nullptr);
    EXPECT_EQ(p.find(b)->x, (std::vector<double>{0, 1, 2}));
    const auto before = p.revision();
    EXPECT_TRUE(p.remove(a));
    EXPECT_FALSE(p.remove(a));
    EXPECT_GT(p.revision(), before);
    ASSERT_EQ(p.series().size(), 1u);
    EXPECT_EQ(p.series()[0].color, 0x0000FFu);
    p.clear();
    EXPECT_TRUE(p.series().empty());
    // Handles are never reused, so a stale handle cannot delete a new series.
    EXPECT_GT(p.addY(y, 3, 0), b);
}

TEST(Plot, RangesSkipGapsAndNonPositiveOnLogAxes) {
    Plot p;
    EXPECT_EQ(p.xRange(), std::make_pair(0.0, 1.0));
    p.x.log = true;
    EXPECT_EQ(p.xRange(), std::make_pair(1.0, 10.0));
    const double x[] = {-1, 0, 0.1, 10, 1000, 5};
    const double y[] = {3, 4, kNaN, -2, 7, kInf};
    p.addXY(x, y, 6, 0);
    // x = 0.1 has no finite y, x = 5 neither; -1 and 0 cannot be shown on a log axis.
    EXPECT_EQ(p.xRange(), std::make_pair(10.0, 1000.0));
    p.x.log = false;
    EXPECT_EQ(p.xRange(), std::make_pair(-1.0, 1000.0));
    EXPECT_EQ(p.yRange(), std::make_pair(-2.0, 7.0));
    p.y.autoScale = false;
    p.y.min = -10;
    p.y.max = 10;
    EXPECT_EQ(p.yRange(), std::make_pair(-10.0, 10.0));
}

TEST(Plot, SummaryReportsFiniteEnds) {
    Plot p;
    const double y[] = {kNaN, 2, 3, kInf};
    p.addY(y, 4, 0);
    const auto s = Plot::summarize(p.series()[0]);
    EXPECT_EQ(s.points, 4u);
    ASSERT_TRUE(s.first && s.last);
    EXPECT_EQ(*s.first, std::make_pair(1.0, 2.0));
    EXPECT_EQ(*s.last, std::make_pair(2.0, 3.0));
    Plot q;
    const double gaps[] = {kNaN, kNaN};
    q.addY(gaps, 2, 0);
    EXPECT_FALSE(Plot::summarize(q.series()[0]).first);
}

TEST(Plot, SnappingMarkerLandsOnNearestFinitePoint) {
    Plot p;
    const double x[] = {1, 2, 3, 4};
    const double y[] = {10, 20, kNaN, 40};
    p.addXY(x, y, 4, 0);
    auto& m = p.marker(1);
    m.snap = true;
    m.x = 3.1;
    p.placeMarkers();
    EXPECT_EQ(p.markers()[0].x, 4); // 3 is a gap
    EXPECT_EQ(p.markers()[0].y, 40);
    auto& free = p.marker(2);
    free.x = 2.6;
    p.placeMarkers();
    EXPECT_EQ(p.markers()[1].x, 2.6);
    EXPECT_EQ(&p.marker(1), &p.markers()[0]);
}

TEST(Plot, TemplatesHostPlotControls) {
    kv::ui::TemplateSet set;
    std::string error;
    ASSERT_TRUE(kv::ui::parseTemplates("DIALOG 900 200 100 \"g\"\n  PLOT 7 0 0 100 60 \"Loss\"\n"
                                       "  EDIT 8 0 70 40 12 \"\"\nEND\n",
                                       set, error))
        << error;
    kv::ui::HeadlessBackend hb;
    kv::ui::setBackend(&hb);
    {
        kv::ui::Dialog d(set.dialogs[0], nullptr);
        ASSERT_NE(d.plot(7), nullptr);
        EXPECT_EQ(d.plot(7)->title, "Loss");
        EXPECT_EQ(d.plot(8), nullptr);
        EXPECT_EQ(d.plot(99), nullptr);
    }
    kv::ui::setBackend(nullptr);
}
