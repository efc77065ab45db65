// The thermal model against the thermal resistances the makers publish.
#include "magnetics/Thermal.h"
#include "tests/magnetics/CsvRows.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kv::magnetics {
namespace {

TEST(Thermal, WithinTwentyPercentOfThePublishedSets) {
    const auto rows = test::readCsv("data/core_thermal_resistance.csv");
    ASSERT_GE(rows.size(), 4u);
    for (const auto& r : rows) {
        const double published = std::stod(r.at("Rth_K_per_W"));
        const double model = thermalResistance(std::stod(r.at("Ve_mm3")) * 1e-9);
        EXPECT_NEAR(model / published, 1.0, 0.20) << r.at("set");
        EXPECT_FALSE(r.at("source").empty());
    }
}

TEST(Thermal, LargerSetsShedHeatBetterAndNonsenseIsRefused) {
    // A set of 1 cm³ has the formula's own constant.
    EXPECT_NEAR(thermalResistance(1e-6), 53, 1e-9);
    // Four times the volume: half the thermal resistance.
    EXPECT_NEAR(thermalResistance(4e-6) / thermalResistance(1e-6), 0.5, 1e-12);
    EXPECT_TRUE(std::isnan(thermalResistance(0)));
    EXPECT_TRUE(std::isnan(thermalResistance(-1e-6)));
}

} // namespace
} // namespace kv::magnetics
