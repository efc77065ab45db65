// Axis ticks at nice steps: they cover the data, stay evenly spaced and read short.
#include "platform/ui/Numbers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

using kv::ui::niceTicks;
using kv::ui::Ticks;

// The step's leading digits are 1, 2, 2.5 or 5.
bool niceStep(double step) {
    const double m = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    for (double n : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (std::abs(m - n) < 1e-9) return true;
    return false;
}

void expectNice(double lo, double hi, int most) {
    const Ticks t = niceTicks(lo, hi, most);
    SCOPED_TRACE(std::to_string(lo) + ".." + std::to_string(hi));
    EXPECT_TRUE(niceStep(t.step)) << t.step;
    EXPECT_LE(t.intervals, most);
    EXPECT_GE(t.intervals, 1);
    const double eps = t.step * 1e-9; // a bound on a tick may differ from it by rounding
    EXPECT_LE(t.lo(), lo + eps);
    EXPECT_GE(t.hi(), hi - eps);
    // No wider than one step beyond the data on either side.
    EXPECT_GT(t.lo() + t.step, lo);
    EXPECT_LT(t.hi() - t.step, hi);
    for (int i = 0; i <= t.intervals; ++i) {
        const std::string s = t.label(i);
        double v = 0;
        ASSERT_TRUE(kv::ui::parseNumber(s, v)) << s;
        EXPECT_NEAR(v, t.lo() + i * t.step, t.step * 1e-6) << s;
        // Short where the range is not a sliver of its own magnitude.
        if (hi - lo >= 1e-3 * std::max(std::abs(lo), std::abs(hi))) EXPECT_LE(s.size(), 8u) << s;
        EXPECT_EQ(s.find('e'), std::string::npos) << s;
        if (i > 0) {
            double before = 0;
            kv::ui::parseNumber(t.label(i - 1), before);
            EXPECT_NEAR(v - before, t.step, t.step * 1e-6) << "evenly spaced";
        }
    }
}

TEST(NiceTicks, WorkedAxes) {
    // The LLC's start design: 43.246..79.515 kHz, gain 0.9524..1.25.
    Ticks f = niceTicks(43.246, 79.515, 10);
    EXPECT_DOUBLE_EQ(f.step, 5);
    EXPECT_EQ(f.label(0), "40");
    EXPECT_EQ(f.label(f.intervals), "80");
    EXPECT_EQ(f.intervals, 8);
    Ticks g = niceTicks(0.952381, 1.25, 10);
    EXPECT_DOUBLE_EQ(g.step, 0.05);
    EXPECT_EQ(g.label(0), "0.95");
    EXPECT_EQ(g.label(1), "1.00");
    EXPECT_EQ(g.label(g.intervals), "1.25");
    Ticks q = niceTicks(0, 1, 4);
    EXPECT_DOUBLE_EQ(q.step, 0.25);
    EXPECT_EQ(q.label(1), "0.25");
    Ticks n = niceTicks(-3.2, 7.9, 6);
    EXPECT_DOUBLE_EQ(n.step, 2);
    EXPECT_EQ(n.label(0), "-4");
    EXPECT_EQ(n.label(2), "0");
}

TEST(NiceTicks, CoverAnyRangeEvenlyWithShortLabels) {
    for (double lo : {0.0, 0.3, 1.0, 17.5, 43.2461, 123456.0, -2.7, 1e-4})
        for (double span : {1e-3, 0.0291, 0.7, 1.0, 3.3, 36.27, 999.0, 5e4})
            for (int most : {4, 9, 10}) expectNice(lo, lo + span, most);
}

TEST(NiceTicks, EmptyOrReversedRange) {
    const Ticks five = niceTicks(5, 5, 10);
    EXPECT_LT(five.lo(), 5);
    EXPECT_GT(five.hi(), 5);
    const Ticks t = niceTicks(9, 2, 10);
    EXPECT_LE(t.lo(), 2);
    EXPECT_GE(t.hi(), 9);
    const Ticks z = niceTicks(0, 0, 10);
    EXPECT_LE(z.lo(), 0);
    EXPECT_GT(z.hi(), z.lo());
}

} // namespace
