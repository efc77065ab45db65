// K7350's resource file against the panels and controls the program addresses.
#include "pfc_designer/Program.h"
#include "platform/panels/Uir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <tuple>

namespace {

using namespace kv::panels;

// Every panel and control the program addresses is in the resource file, of a kind that fits.
TEST(PanelResources, ResourceFileHoldsEveryIdTheProgramUses) {
    std::ifstream in(KV_SOURCE_DIR "/pfc_designer/K7350.uir");
    std::stringstream s;
    s << in.rdbuf();
    std::vector<PanelDef> defs;
    std::string error;
    ASSERT_TRUE(parseUir(s.str(), defs, error)) << error;
    EXPECT_EQ(defs.size(), std::size(k7350::kLoadOrder));
    auto find = [&](int p, int c) -> const CtrlDef* {
        for (const auto& d : defs)
            if (d.id == p)
                for (const auto& x : d.ctrls)
                    if (x.id == c) return &x;
        return nullptr;
    };
    using namespace k7350;
    const std::pair<int, std::vector<int>> used[] = {
        {PANEL_MAIN, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22}},
        {PANEL_CURR, {2, 3, 4, 5, 6, 7, 8, 9}},
        {PANEL_SENSE, {3, 4, 5, 6, 7, 8, 9}},
        {PANEL_IND, {2, 3, 4, 5, 6, 7}},
        {PANEL_CORE, {2, 3, 4, 5, 6, 8}},
        {PANEL_MOS, {2, 3, 4, 5, 6, 7, 8, 9}},
        {PANEL_DIODE, {2, 3, 4, 5, 6, 7, 8}},
        {PANEL_INCAP, {2, 3, 4, 5}},
        {PANEL_OUTCAP, {2, 3, 4, 5, 6, 7, 8}},
        {PANEL_MULT, {2, 3, 4, 5, 6}},
        {PANEL_ZCD, {2, 3, 4, 5, 6, 7, 11, 12, 13, 14, 20, 21}},
        {PANEL_FEED, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 38, 39, 40}},
        {PANEL_BOM, {4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 22, 25, 26, 27, 28, 29, 30, 31,
                     32, 34, 35, 36, 38, 39, 40}},
    };
    for (const auto& [p, ids] : used)
        for (int c : ids) EXPECT_NE(find(p, c), nullptr) << p << ":" << c;
    EXPECT_EQ(find(PANEL_MOS, MOS_GRAPH)->kind, CtrlKind::Graph);
    EXPECT_EQ(find(PANEL_FEED, FEED_GAIN)->kind, CtrlKind::Graph);
    EXPECT_TRUE(find(PANEL_MOS, MOS_BRDSS)->integer);
    EXPECT_TRUE(find(PANEL_FEED, FEED_TOP)->integer);
    EXPECT_TRUE(find(PANEL_FEED, FEED_LOAD)->integer);
    // The free identifiers of the input panel and the steps bind to the callbacks named.
    const std::tuple<int, int, const char*> bound[] = {
        {18, 2, "max_amb_temp"}, {18, 9, "min_input_volt"}, {18, 22, "mostra"}, {22, 10, "close_curr"},
        {23, 8, "Rsingl"}, {17, 6, "sceL"}, {21, 4, "gaplung"}, {19, 10, "perd"}, {4, 8, "diodoVf"},
        {2, 5, "Cintrue"}, {3, 6, "deltaV"}, {20, 4, "res_low"}, {25, 7, "scelta_rzcd"},
        {5, 18, "Cstart"}, {5, 16, "Comptop"}, {24, 3, "print_show"}};
    for (auto [p, c, cb] : bound) EXPECT_EQ(find(p, c)->callback, cb) << p << ":" << c;
}

} // namespace
