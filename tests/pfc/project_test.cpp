// Project files and the bill of materials.
#include "K7350Fixture.h"
#include "pfc_designer/ProjectFile.h"
#include "tests/common/TempDir.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace k7350::test {
namespace {

std::string readAll(const std::filesystem::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> lines(const std::string& s) {
    std::vector<std::string> out;
    std::istringstream in(s);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

std::vector<double> numbers(const std::string& s) {
    std::vector<double> v;
    for (const auto& l : lines(s)) v.push_back(std::stod(l));
    return v;
}

void writeSlots(const std::filesystem::path& p, std::vector<double> v) {
    std::ofstream out(p);
    for (double x : v) out << x << "\n";
}

class ProjectTest : public K7350Test {
protected:
    kv::test::TempDir dir;
};

TEST_F(ProjectTest, FreshSaveWritesOneHundredRoundTripLines) {
    runWith([&] {
        walkChain(9);
        set(PANEL_FEED, FEED_RHEFF, 1000);
        set(PANEL_FEED, FEED_RLEFF, 1000 * 2.5 / 397.5); // 6.289308176100629, more than 10 characters
        press(PANEL_FEED, FEED_CLOSE);
        host.files.push_back("a.ini");
        press(PANEL_MAIN, MAIN_SAVE);
    });
    const std::string text = readAll(dir.path() / "a.ini");
    const auto ls = lines(text);
    ASSERT_EQ(ls.size(), 100u);
    for (const auto& l : ls) EXPECT_GE(l.size(), 10u) << l;
    for (std::size_t i = 41; i < 100; ++i) EXPECT_EQ(std::stod(ls[i]), 0) << i;
    const auto v = numbers(text);
    EXPECT_EQ(v[0], 90);
    EXPECT_EQ(v[10], 470);
    EXPECT_EQ(v[11], 0.5);
    EXPECT_EQ(v[17], 1000); // the input capacitance chosen in step 5
    EXPECT_EQ(v[26], 1000 * 2.5 / 397.5);
    EXPECT_EQ(v[24], 40);
    EXPECT_EQ(v[34], 1);   // sense resistor chosen
    EXPECT_EQ(v[38], 0.1); // no compensation chosen
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "a.ini"));
    for (auto& e : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename(), "a.ini"); // no temporary file left behind
}

TEST_F(ProjectTest, LoadAndSaveKeepEveryValueAndTheFeedbackEntries) {
    std::vector<double> v = {95, 250, 60, 390, 150, 93, 45, 0.98, 40, 2, 600, 0.4, 300, 40, 150,
                             1.1, 40, 680, 220, 12.5, 1800, 0, 9, 16, 30, 750, 4.83, 200, 120,
                             0.5, 2.9, 0.47, 33, 0.022, 1, 1, 1, 1, 1, 1, 1};
    for (int i = 41; i < 100; ++i) v.push_back(i * 1.5);
    writeSlots(dir.path() / "in.txt", v);
    runWith([&] {
        host.files = {dir.path().string() + "/in.txt", "out.ini"};
        press(PANEL_MAIN, MAIN_LOAD);
        EXPECT_EQ(panel(hp[PANEL_MAIN])->title, "in.txt");
        for (int b : kLaterSteps) EXPECT_FALSE(dimmed(PANEL_MAIN, b));
        for (int b : {MAIN_STEP1, MAIN_DESIGN, MAIN_BOM}) EXPECT_FALSE(dimmed(PANEL_MAIN, b));
        EXPECT_EQ(dv.top, 2);  // 2.9 truncated
        EXPECT_EQ(dv.load, 0); // 0.5 truncated
        EXPECT_EQ(val(PANEL_INCAP, INCAP_TRUCIN), 680);
        EXPECT_EQ(val(PANEL_BOM, BOM_CIN), 680);
        // Loading and the bill of materials leave the loop's set point as it was saved.
        EXPECT_EQ(val(PANEL_FEED, FEED_OVP), 30);
        EXPECT_EQ(val(PANEL_FEED, FEED_VAC), 200);
        EXPECT_EQ(val(PANEL_FEED, FEED_PO), 120);
        EXPECT_TRUE(ctrlVisible(PANEL_FEED, FEED_C2)); // topology 2 shows its parts
        press(PANEL_MAIN, MAIN_SAVE);
        // The loop after a load works from the loaded divider (no step 7 run).
        press(PANEL_MAIN, MAIN_STEP9);
        EXPECT_TRUE(std::isfinite(dv.KM));
        EXPECT_NEAR(dv.effKp, 12.5 / (12.5 + 1800), 1e-15);
        press(PANEL_FEED, FEED_START);
        EXPECT_EQ(graph(PANEL_FEED, FEED_GAIN).series().at(0).x.size(), 1001u);
        for (double y : graph(PANEL_FEED, FEED_GAIN).series()[0].y) ASSERT_TRUE(std::isfinite(y));
    });
    auto out = numbers(readAll(dir.path() / "out.ini"));
    ASSERT_EQ(out.size(), 100u);
    std::vector<double> expect = v;
    expect[29] = 0;
    expect[30] = 2;
    EXPECT_EQ(out, expect);
}

TEST_F(ProjectTest, BadFilesChangeNothing) {
    std::vector<double> good(41, 1.0);
    good[30] = 1;
    good[29] = 0;
    const std::vector<std::string> bad = {
        std::string(70000, ' '),                         // too large
        "90\n264\n50\n",                                 // too short
        [] { std::string s; for (int i = 0; i < 41; ++i) s += i == 5 ? "abc\n" : "1\n"; return s; }(),
        [] { std::string s; for (int i = 0; i < 41; ++i) s += i == 5 ? "nan\n" : "1\n"; return s; }(),
        [] { std::string s; for (int i = 0; i < 41; ++i) s += i == 30 ? "3\n" : "0\n"; return s; }(),
        [] { std::string s; for (int i = 0; i < 41; ++i) s += i == 29 ? "-1\n" : "0\n"; return s; }(),
    };
    for (std::size_t k = 0; k < bad.size(); ++k) std::ofstream(dir.path() / ("bad" + std::to_string(k))) << bad[k];
    runWith([&] {
        for (std::size_t k = 0; k < bad.size(); ++k) {
            host.files.push_back((dir.path() / ("bad" + std::to_string(k))).string());
            const std::size_t n = popupCount();
            press(PANEL_MAIN, MAIN_LOAD);
            ASSERT_EQ(popupCount(), n + 1) << k;
            EXPECT_EQ(lastTitle(), "Error");
            EXPECT_EQ(panel(hp[PANEL_MAIN])->title, "new");
            EXPECT_EQ(val(PANEL_MAIN, MAIN_VINMIN), 90);
            EXPECT_TRUE(dimmed(PANEL_MAIN, MAIN_STEP1));
        }
        // A cancelled dialog does nothing at all.
        const std::size_t n = popupCount();
        press(PANEL_MAIN, MAIN_LOAD);
        EXPECT_EQ(popupCount(), n);
    });
}

TEST_F(ProjectTest, ShortFilesLoadWithZerosAndTheZcdChoiceBecomesOneOrZero) {
    std::vector<double> v(41, 0.0);
    const double spec[] = {90, 264, 50, 400, 100, 95, 40, 0.99, 50, 1, 470, 0.5};
    std::copy(std::begin(spec), std::end(spec), v.begin());
    v[21] = 0.3;
    for (int i = 34; i < 41; ++i) v[i] = 1;
    writeSlots(dir.path() / "short.ini", v);
    Slots s{};
    std::string error;
    ASSERT_TRUE(parseProject(readAll(dir.path() / "short.ini"), s, error)) << error;
    EXPECT_EQ(s[21], 1);
    EXPECT_EQ(s[99], 0);
    runWith([&] {
        host.files = {"short.ini"};
        press(PANEL_MAIN, MAIN_LOAD);
        EXPECT_EQ(panel(hp[PANEL_MAIN])->title, "short.ini");
        EXPECT_EQ(val(PANEL_ZCD, ZCD_CIRCUIT), 1);
        // RC network chosen: the bill lists its fixed parts.
        EXPECT_EQ(val(PANEL_BOM, BOM_ZCDN), 33);
        EXPECT_EQ(val(PANEL_BOM, BOM_ZCDR), 330);
    });
}

TEST_F(ProjectTest, ReadOnlyOrUnwritableTargetsKeepTheProject) {
    std::ofstream(dir.path() / "ro.ini") << "keep\n";
    std::filesystem::permissions(dir.path() / "ro.ini", std::filesystem::perms::owner_read |
                                                            std::filesystem::perms::group_read);
    runWith([&] {
        host.files = {"ro.ini", "no/such/folder/x.ini"};
        press(PANEL_MAIN, MAIN_SAVE);
        EXPECT_EQ(lastTitle(), "Error");
        EXPECT_EQ(lastPopup(), "This file exists with Read Only attributes\nPlease use a different file name");
        press(PANEL_MAIN, MAIN_SAVE);
        EXPECT_EQ(lastTitle(), "Error");
        EXPECT_EQ(lastPopup().substr(0, 30), "The project could not be saved");
        // A quit whose save failed stays; a cancelled save quits.
        host.answers = {"yes"};
        host.files = {"ro.ini"};
        press(PANEL_MAIN, MAIN_QUIT);
        EXPECT_FALSE(quitRequested());
        host.answers = {"yes"};
        press(PANEL_MAIN, MAIN_QUIT);
        EXPECT_TRUE(quitRequested());
    });
    EXPECT_EQ(readAll(dir.path() / "ro.ini"), "keep\n");
}

TEST_F(K7350Test, BillOfMaterialsVisibility) {
    runWith([&] {
        walkChain(2);
        press(PANEL_MAIN, MAIN_BOM);
        ASSERT_TRUE(shown(PANEL_BOM));
        // No ZCD and no compensation designed.
        EXPECT_TRUE(ctrlVisible(PANEL_BOM, BOM_NOZCD));
        for (int c : {4, 5, 32, 34, 35, 36, 38, 39, 40}) EXPECT_FALSE(ctrlVisible(PANEL_BOM, c)) << c;
        EXPECT_TRUE(ctrlVisible(PANEL_BOM, BOM_NOCOMP));
        for (int c : {13, 14, 15, 26, 27, 28, 29, 30, 31}) EXPECT_FALSE(ctrlVisible(PANEL_BOM, c)) << c;
        // Chosen values where the user chose, computed ones elsewhere.
        EXPECT_EQ(val(PANEL_BOM, BOM_RSENSE), 470);
        EXPECT_EQ(val(PANEL_BOM, BOM_L), 0.5);
        EXPECT_EQ(val(PANEL_BOM, BOM_RMLOW), dv.Rlwmult);
        EXPECT_EQ(val(PANEL_BOM, BOM_RFH), dv.Rh);
        press(PANEL_BOM, BOM_CLOSE);
        // Calculate resets the choices: the computed values come back.
        press(PANEL_MAIN, MAIN_CALCULATE);
        press(PANEL_CURR, CURR_CLOSE);
        press(PANEL_MAIN, MAIN_BOM);
        EXPECT_EQ(val(PANEL_BOM, BOM_RSENSE), dv.Rsx);
        EXPECT_EQ(val(PANEL_BOM, BOM_L), dv.L);
        press(PANEL_BOM, BOM_CLOSE);
        // The auxiliary winding, then topology 1.
        walkChain(9);
        set(PANEL_FEED, FEED_TOP, 1);
        set(PANEL_FEED, FEED_C1, 0.47);
        set(PANEL_FEED, FEED_R1, 22);
        press(PANEL_FEED, FEED_CLOSE);
        press(PANEL_MAIN, MAIN_BOM);
        EXPECT_FALSE(ctrlVisible(PANEL_BOM, BOM_NOZCD));
        for (int c : {4, 5, 32, 34, 35, 36}) EXPECT_TRUE(ctrlVisible(PANEL_BOM, c)) << c;
        for (int c : {38, 39, 40}) EXPECT_FALSE(ctrlVisible(PANEL_BOM, c)) << c;
        EXPECT_EQ(val(PANEL_BOM, BOM_ZCDN), 10);
        EXPECT_EQ(val(PANEL_BOM, BOM_ZCDR), 15);
        EXPECT_FALSE(ctrlVisible(PANEL_BOM, BOM_NOCOMP));
        for (int c : {13, 14, 26, 27, 28, 29}) EXPECT_TRUE(ctrlVisible(PANEL_BOM, c)) << c;
        for (int c : {15, 30, 31}) EXPECT_FALSE(ctrlVisible(PANEL_BOM, c)) << c;
        EXPECT_EQ(val(PANEL_BOM, BOM_C1), 0.47);
        EXPECT_EQ(val(PANEL_BOM, BOM_R1), 22);
        // The chosen dividers, by value.
        EXPECT_EQ(val(PANEL_BOM, BOM_RMUP), 1900);
        // Printing goes through both panels and frees the main panel.
        press(PANEL_BOM, BOM_PRINT);
        EXPECT_EQ(host.printed, (std::vector<int>{PANEL_MAIN, PANEL_BOM}));
        EXPECT_FALSE(panel(hp[PANEL_MAIN])->dimmed);
        // A cancelled print dialog cancels the rest.
        host.printer = [](Panel&, const PrintJob&) { return false; };
        press(PANEL_BOM, BOM_PRINT);
        EXPECT_EQ(host.printed.size(), 3u);
    });
}

} // namespace
} // namespace k7350::test
