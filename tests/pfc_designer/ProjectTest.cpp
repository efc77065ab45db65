// Project files and the bill of materials.
#include "tests/pfc_designer/K7350Fixture.h"
#include "pfc_designer/ProjectFile.h"
#include "tests/common/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
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

class ProjectFiles : public K7350 {
protected:
    kv::test::TempDir dir;
};

TEST_F(ProjectFiles, FreshSaveWritesOneHundredRoundTripLinesThenTheRest) {
    runWith([&] {
        walkChain(9);
        set(PANEL_FEED, FEED_RHEFF, 1000);
        set(PANEL_FEED, FEED_RLEFF, 1000 * 2.5 / 397.5); // 6.289308176100629, more than 10 characters
        press(PANEL_FEED, FEED_CLOSE);
        host.backend.files.push_back("a.ini");
        press(PANEL_MAIN, MAIN_SAVE);
        EXPECT_EQ(panel(hp[PANEL_MAIN])->title, "a.ini");
    });
    const std::string text = readAll(dir.path() / "a.ini");
    const auto ls = lines(text);
    // The 100 slots, then the tag, the count and the values an older reader never reads.
    ASSERT_EQ(ls.size(), 100u + 2 + kMoreValues);
    for (const auto& l : ls) EXPECT_GE(l.size(), 10u) << l;
    for (std::size_t i = 41; i < 100; ++i) EXPECT_EQ(std::stod(ls[i]), 0) << i;
    EXPECT_EQ(std::stod(ls[100]), kMoreTag);
    EXPECT_EQ(std::stod(ls[101]), kMoreValues);
    EXPECT_EQ(std::stod(ls[102 + MORE_RIP]), 10);   // step 5's ripple
    EXPECT_EQ(std::stod(ls[102 + MORE_THOLD]), 10); // step 6's hold-up time,
    EXPECT_EQ(std::stod(ls[102 + MORE_VOMIN]), 340); // minimum voltage
    EXPECT_EQ(std::stod(ls[102 + MORE_DELTA]), 8);   // and ripple
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

TEST_F(ProjectFiles, LoadAndSaveKeepEveryValueAndTheFeedbackEntries) {
    std::vector<double> v = {95, 250, 60, 390, 150, 93, 45, 0.98, 40, 2, 600, 0.4, 300, 40, 150,
                             1.1, 40, 680, 220, 12.5, 1800, 0, 9, 16, 30, 750, 4.83, 200, 120,
                             0.5, 2.9, 0.47, 33, 0.022, 1, 1, 1, 1, 1, 1, 1};
    for (int i = 41; i < 100; ++i) v.push_back(i * 1.5);
    writeSlots(dir.path() / "in.txt", v);
    runWith([&] {
        host.backend.files = {dir.path().string() + "/in.txt", "out.ini"};
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
    ASSERT_EQ(out.size(), 100u + 2 + kMoreValues);
    std::vector<double> expect = v;
    expect[29] = 0;
    expect[30] = 2;
    EXPECT_EQ(std::vector<double>(out.begin(), out.begin() + 100), expect);
    // The older file had none of the values after the slots: the fields kept
    // theirs, the loss inputs start afresh (nothing chosen, the default ambient).
    EXPECT_EQ(out[100], kMoreTag);
    for (int k = 0; k < kMoreValues; ++k) EXPECT_EQ(out[102 + k], k == MORE_AMBIENT ? kLossAmbient : 0) << k;
}

// Every panel as the user sees it: values, dimming, visibility, notes.
std::map<std::string, std::string> seen() {
    std::map<std::string, std::string> m;
    for (Panel* p : panels()) {
        m[std::to_string(p->def.id)] = p->title + (p->dimmed ? " dimmed" : "");
        for (const Ctrl& c : p->ctrls) {
            if (c.def.id == -1) continue;
            std::ostringstream o;
            o.precision(17);
            o << c.value << " " << c.text() << " " << c.dimmed << c.visible << " " << c.textColor;
            if (c.plot) o << " " << c.plot->series().size() << " series";
            m[std::to_string(p->def.id) + ":" + std::to_string(c.def.id)] = o.str();
        }
    }
    return m;
}

// Opens and closes every step (its close box), the core panel and the bill of materials.
void openEveryStep() {
    const std::pair<int, int> steps[] = {{MAIN_STEP1, PANEL_SENSE}, {MAIN_STEP2, PANEL_IND},
                                         {MAIN_STEP3, PANEL_MOS},   {MAIN_STEP4, PANEL_DIODE},
                                         {MAIN_STEP5, PANEL_INCAP}, {MAIN_STEP6, PANEL_OUTCAP},
                                         {MAIN_STEP7, PANEL_MULT},  {MAIN_STEP8, PANEL_ZCD},
                                         {MAIN_STEP9, PANEL_FEED}};
    for (auto [button, step] : steps) {
        ASSERT_EQ(userCommit(hp[PANEL_MAIN], button), UserResult::Done) << step;
        if (step == PANEL_IND) {
            userCommit(hp[PANEL_IND], IND_CHOKE);
            userClose(hp[PANEL_CORE]);
        }
        userClose(hp[step]);
        ASSERT_FALSE(panel(hp[step])->visible) << step;
    }
    userCommit(hp[PANEL_MAIN], MAIN_BOM);
    userClose(hp[PANEL_BOM]);
}

// The 250 W design, every entry of every step made, the loop calculated.
void walk250W() {
    userSet(hp[PANEL_MAIN], MAIN_VINMIN, 85);
    userSet(hp[PANEL_MAIN], MAIN_VINMAX, 265);
    userSet(hp[PANEL_MAIN], MAIN_POUT, 250);
    const struct {
        int p, c;
        double v;
    } entries[] = {{PANEL_SENSE, SENSE_SINGLE, 330}, {PANEL_SENSE, SENSE_PARALLEL, 2},
                   {PANEL_IND, IND_TRUEL, 0.2},      {PANEL_CORE, CORE_ML, 98},
                   {PANEL_CORE, CORE_AE, 1.85},      {PANEL_CORE, CORE_GAP, 1.6},
                   {PANEL_MOS, MOS_RON, 190},        {PANEL_MOS, MOS_TF, 40},
                   {PANEL_MOS, MOS_CD, 150},         {PANEL_DIODE, DIODE_VF, 1.1},
                   {PANEL_DIODE, DIODE_RD, 60},      {PANEL_INCAP, INCAP_RIP, 15},
                   {PANEL_INCAP, INCAP_TRUCIN, 680}, {PANEL_OUTCAP, OUTCAP_THOLD, 16},
                   {PANEL_OUTCAP, OUTCAP_VOMIN, 330}, {PANEL_OUTCAP, OUTCAP_DELTA, 12},
                   {PANEL_OUTCAP, OUTCAP_TRUCOUT, 220}, {PANEL_MULT, MULT_RLOW, 12},
                   {PANEL_MULT, MULT_RUP, 2200},     {PANEL_ZCD, ZCD_ACTR, 9},
                   {PANEL_ZCD, ZCD_RZCD, 18},        {PANEL_FEED, FEED_OVP, 30},
                   {PANEL_FEED, FEED_RHEFF, 750},    {PANEL_FEED, FEED_RLEFF, 4.72},
                   {PANEL_FEED, FEED_VAC, 230},      {PANEL_FEED, FEED_PO, 200},
                   {PANEL_FEED, FEED_TOP, 1},        {PANEL_FEED, FEED_C1, 2.2},
                   {PANEL_FEED, FEED_R1, 47}};
    userCommit(hp[PANEL_MAIN], MAIN_CALCULATE);
    userCommit(hp[PANEL_CURR], CURR_CLOSE);
    userCommit(hp[PANEL_MAIN], MAIN_DESIGN);
    const int steps[] = {MAIN_STEP1, MAIN_STEP2, MAIN_STEP3, MAIN_STEP4, MAIN_STEP5,
                         MAIN_STEP6, MAIN_STEP7, MAIN_STEP8, MAIN_STEP9};
    const int stepPanels[] = {PANEL_SENSE, PANEL_IND, PANEL_MOS, PANEL_DIODE, PANEL_INCAP,
                              PANEL_OUTCAP, PANEL_MULT, PANEL_ZCD, PANEL_FEED};
    for (int k = 0; k < 9; ++k) {
        userCommit(hp[PANEL_MAIN], steps[k]);
        for (const auto& e : entries) {
            if (e.p == PANEL_CORE && stepPanels[k] == PANEL_IND) {
                if (!panel(hp[PANEL_CORE])->visible) userCommit(hp[PANEL_IND], IND_CHOKE);
                userSet(hp[PANEL_CORE], e.c, e.v);
            } else if (e.p == stepPanels[k]) {
                userSet(hp[e.p], e.c, e.v);
            }
        }
        if (stepPanels[k] == PANEL_IND) userCommit(hp[PANEL_CORE], CORE_CLOSE);
        if (stepPanels[k] == PANEL_MOS) userCommit(hp[PANEL_MOS], MOS_LOSSES);
        if (stepPanels[k] == PANEL_FEED) userCommit(hp[PANEL_FEED], FEED_START);
        userCommit(hp[stepPanels[k]], 2 + (stepPanels[k] == PANEL_SENSE || stepPanels[k] == PANEL_IND));
        ASSERT_FALSE(panel(hp[stepPanels[k]])->visible) << stepPanels[k] << ": "
                                                       << panel(hp[stepPanels[k]])->find(NOTE)->caption;
    }
}

// Save, quit, start, load: every step reopens as it was when it was saved.
TEST_F(ProjectFiles, ASavedDesignReopensEveryStepAsSaved) {
    std::map<std::string, std::string> before;
    runWith([&] {
        walk250W();
        EXPECT_TRUE(popups().empty()) << lastPopup();
        host.backend.files = {"p.ini"};
        press(PANEL_MAIN, MAIN_SAVE);
        openEveryStep();
        before = seen();
        // What the issue found lost: the core, the ripple and the hold-up entries.
        EXPECT_EQ(val(PANEL_CORE, CORE_AE), 1.85);
        EXPECT_EQ(val(PANEL_INCAP, INCAP_RIP), 15);
        EXPECT_EQ(val(PANEL_OUTCAP, OUTCAP_THOLD), 16);
        EXPECT_FALSE(dimmed(PANEL_INCAP, INCAP_CLOSE));
        EXPECT_FALSE(graph(PANEL_FEED, FEED_GAIN).series().empty());
    });
    resetProgram();
    runWith([&] {
        host.backend.files = {"p.ini"};
        press(PANEL_MAIN, MAIN_LOAD);
        openEveryStep();
        const auto after = seen();
        for (const auto& [key, was] : before) EXPECT_EQ(after.at(key), was) << key;
        EXPECT_TRUE(popups().empty()) << lastPopup();
        // Loaded and not changed: quitting asks nothing.
        press(PANEL_MAIN, MAIN_QUIT);
        EXPECT_TRUE(quitRequested());
    });
}

// A file written by the program before its project files had a section
// after line 100 loads to what that program showed.
TEST_F(ProjectFiles, AnOlderFileLoadsAsItDid) {
    const std::string data = KV_SOURCE_DIR "/tests/pfc_designer/data/";
    runWith([&] {
        host.backend.files = {data + "old-250W.ini"};
        press(PANEL_MAIN, MAIN_LOAD);
        EXPECT_EQ(panel(hp[PANEL_MAIN])->title, "old-250W.ini");
        // Shown at a load now where the older program showed zeros or dimmed
        // them: the MOSFET and diode results (the bill of materials lists
        // them), the loop, the output voltage the divider sets, the core
        // panel's results (no core in the file: "---"), a multiplier step that
        // can close with the upper resistor suggested for the lower one chosen
        // (as the user saw it); and the dissipation per resistor, as the label says.
        const std::set<std::string> changed = {"19:3", "19:4", "19:5", "4:3", "4:4", "4:5", "4:6", "5:13",
                                               "5:41", "5:42", "21:5", "21:6", "23:5", "20:2", "20:5"};
        std::ifstream in(data + "old-250W-load.txt");
        int compared = 0;
        for (std::string line; std::getline(in, line);) {
            if (line.empty() || line[0] == '#') continue;
            std::istringstream f(line);
            int p = 0, c = 0, wasDimmed = 0;
            std::string was;
            f >> p >> c >> was >> wasDimmed;
            const std::string key = std::to_string(p) + ":" + std::to_string(c);
            if (changed.count(key)) continue;
            const double now = val(p, c);
            if (was == "-") EXPECT_FALSE(std::isfinite(now)) << key;
            else EXPECT_EQ(now, std::stod(was)) << key;
            EXPECT_EQ(dimmed(p, c), wasDimmed != 0) << key;
            ++compared;
        }
        EXPECT_GT(compared, 70);
        // The fields the older file has no values for keep theirs.
        EXPECT_EQ(val(PANEL_OUTCAP, OUTCAP_THOLD), 0);
        EXPECT_EQ(val(PANEL_CORE, CORE_AE), 0);
    });
}

// The section after line 100: whole or refused; untagged numbers there are
// no section; a newer layout's values this one does not know go back out unchanged.
TEST_F(ProjectFiles, TheSectionAfterTheSlotsIsWholeOrRefused) {
    std::vector<double> slots(100, 0.0);
    const double spec[] = {90, 264, 50, 400, 100, 95, 40, 0.99, 50, 1, 470, 0.5};
    std::copy(std::begin(spec), std::end(spec), slots.begin());
    auto text = [&](std::vector<double> tail) {
        std::ostringstream o;
        for (double x : slots) o << x << "\n";
        for (double x : tail) o << x << "\n";
        return o.str();
    };
    Project p;
    std::string error;
    ASSERT_TRUE(parseProject(text({1, 2, 3}), p, error)) << error;
    EXPECT_TRUE(p.more.empty());
    ASSERT_TRUE(parseProject(text({kMoreTag, 0}), p, error)) << error;
    EXPECT_TRUE(p.more.empty());
    EXPECT_FALSE(parseProject(text({kMoreTag}), p, error));
    EXPECT_FALSE(parseProject(text({kMoreTag, 2.5, 1, 2, 3}), p, error));
    EXPECT_NE(error.find("whole number"), std::string::npos) << error;
    EXPECT_FALSE(parseProject(text({kMoreTag, 7, 98, 1.85}), p, error));
    EXPECT_EQ(error, "line 102 announces 7 more values, the file holds 2");
    EXPECT_FALSE(parseProject(text({kMoreTag, -1}), p, error));
    // A newer layout: twelve values, two of them unknown here.
    std::vector<double> newer = {kMoreTag, 12, 98, 1.85, 1.6, 15, 16, 330, 12, 1, 51, 45, 5.5, 6.5};
    ASSERT_TRUE(parseProject(text(newer), p, error)) << error;
    EXPECT_EQ(p.more.size(), 12u);
    std::ofstream(dir.path() / "newer.ini") << text(newer);
    runWith([&] {
        host.backend.files = {"newer.ini", "back.ini"};
        press(PANEL_MAIN, MAIN_LOAD);
        EXPECT_EQ(val(PANEL_CORE, CORE_ML), 98);
        EXPECT_EQ(val(PANEL_OUTCAP, OUTCAP_DELTA), 12);
        EXPECT_EQ(val(PANEL_CORE, CORE_AMBIENT), 45);
        press(PANEL_MAIN, MAIN_SAVE);
    });
    const auto back = numbers(readAll(dir.path() / "back.ini"));
    ASSERT_EQ(back.size(), 114u);
    EXPECT_EQ(std::vector<double>(back.begin() + 100, back.end()), newer);
}

// A file whose input conditions are refused loads, shows why, and opens no step.
TEST_F(ProjectFiles, AFileWithRefusedInputsOpensNoStep) {
    std::vector<double> v(41, 0.0);
    const double spec[] = {90, 264, 50, 400, -5, 95, 40, 0.99, 50, 1, 470, 0.5};
    std::copy(std::begin(spec), std::end(spec), v.begin());
    writeSlots(dir.path() / "neg.ini", v);
    runWith([&] {
        host.backend.files = {"neg.ini"};
        press(PANEL_MAIN, MAIN_LOAD);
        EXPECT_EQ(panel(hp[PANEL_MAIN])->title, "neg.ini");
        EXPECT_EQ(note(PANEL_MAIN), "Output power must be higher than 0W");
        for (int b : {MAIN_STEP1, MAIN_DESIGN, MAIN_BOM, MAIN_CALCULATE}) EXPECT_TRUE(dimmed(PANEL_MAIN, b)) << b;
        for (int b : kLaterSteps) EXPECT_TRUE(dimmed(PANEL_MAIN, b)) << b;
        set(PANEL_MAIN, MAIN_POUT, 100);
        EXPECT_FALSE(dimmed(PANEL_MAIN, MAIN_CALCULATE));
    });
}

TEST_F(ProjectFiles, BadFilesChangeNothing) {
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
            host.backend.files.push_back((dir.path() / ("bad" + std::to_string(k))).string());
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

TEST_F(ProjectFiles, ShortFilesLoadWithZerosAndTheZcdChoiceBecomesOneOrZero) {
    std::vector<double> v(41, 0.0);
    const double spec[] = {90, 264, 50, 400, 100, 95, 40, 0.99, 50, 1, 470, 0.5};
    std::copy(std::begin(spec), std::end(spec), v.begin());
    v[21] = 0.3;
    for (int i = 34; i < 41; ++i) v[i] = 1;
    writeSlots(dir.path() / "short.ini", v);
    Project p;
    std::string error;
    ASSERT_TRUE(parseProject(readAll(dir.path() / "short.ini"), p, error)) << error;
    EXPECT_EQ(p.slot[21], 1);
    EXPECT_EQ(p.slot[99], 0);
    EXPECT_TRUE(p.more.empty());
    runWith([&] {
        host.backend.files = {"short.ini"};
        press(PANEL_MAIN, MAIN_LOAD);
        EXPECT_EQ(panel(hp[PANEL_MAIN])->title, "short.ini");
        EXPECT_EQ(val(PANEL_ZCD, ZCD_CIRCUIT), 1);
        // RC network chosen: the bill lists its fixed parts.
        EXPECT_EQ(val(PANEL_BOM, BOM_ZCDN), 33);
        EXPECT_EQ(val(PANEL_BOM, BOM_ZCDR), 330);
    });
}

TEST_F(ProjectFiles, ReadOnlyOrUnwritableTargetsKeepTheProject) {
    std::ofstream(dir.path() / "ro.ini") << "keep\n";
    std::filesystem::permissions(dir.path() / "ro.ini", std::filesystem::perms::owner_read |
                                                            std::filesystem::perms::group_read);
    runWith([&] {
        set(PANEL_MAIN, MAIN_TMAX, 45); // a change to save
        host.backend.files = {"ro.ini", "no/such/folder/x.ini"};
        press(PANEL_MAIN, MAIN_SAVE);
        EXPECT_EQ(lastTitle(), "Error");
        EXPECT_EQ(lastPopup(), "This file exists with Read Only attributes\nPlease use a different file name");
        press(PANEL_MAIN, MAIN_SAVE);
        EXPECT_EQ(lastTitle(), "Error");
        EXPECT_EQ(lastPopup().substr(0, 30), "The project could not be saved");
        EXPECT_EQ(panel(hp[PANEL_MAIN])->title, "new"); // nothing was saved
        // A quit whose save failed or was cancelled stays: the project is not lost.
        host.backend.answers = {kv::ui::IdYes};
        host.backend.files = {"ro.ini"};
        press(PANEL_MAIN, MAIN_QUIT);
        EXPECT_FALSE(quitRequested());
        host.backend.answers = {kv::ui::IdYes};
        press(PANEL_MAIN, MAIN_QUIT);
        EXPECT_FALSE(quitRequested());
        host.backend.answers = {kv::ui::IdNo};
        press(PANEL_MAIN, MAIN_QUIT);
        EXPECT_TRUE(quitRequested());
    });
    EXPECT_EQ(readAll(dir.path() / "ro.ini"), "keep\n");
}

namespace {
std::vector<std::string> headings(const Document& d) {
    std::vector<std::string> h;
    for (const auto& b : d.blocks)
        if (b.kind == DocBlock::Kind::Heading) h.push_back(b.text);
    return h;
}
// The table right after a heading.
const std::vector<std::vector<std::string>>* tableAfter(const Document& d, const std::string& heading) {
    for (std::size_t k = 0; k + 1 < d.blocks.size(); ++k)
        if (d.blocks[k].kind == DocBlock::Kind::Heading && d.blocks[k].text == heading &&
            d.blocks[k + 1].kind == DocBlock::Kind::Table)
            return &d.blocks[k + 1].rows;
    return nullptr;
}
bool hasRow(const std::vector<std::vector<std::string>>& rows, std::vector<std::string> row) {
    return std::find(rows.begin(), rows.end(), row) != rows.end();
}
} // namespace

// Printing lays out the design as a document: the inputs, the currents, each
// step the chain reached with its graphs, the bill of materials.
TEST_F(K7350, PrintingMakesADocumentOfTheDesign) {
    runWith([&] {
        walkChain(2); // step 3 reached, not later ones
        press(PANEL_MAIN, MAIN_BOM);
        press(PANEL_BOM, BOM_PRINT);
        ASSERT_EQ(host.printed.size(), 1u);
        const Document& two = host.printed[0];
        EXPECT_EQ(headings(two), (std::vector<std::string>{"Input conditions", "Operating currents",
                                                           "Step 1: sense resistor", "Step 2: boost inductor",
                                                           "Boost inductor: core and winding",
                                                           "Step 3: power MOSFET", "Bill of materials"}));
        press(PANEL_BOM, BOM_CLOSE);
        walkChain(9);
        set(PANEL_FEED, FEED_RHEFF, 1000);
        set(PANEL_FEED, FEED_RLEFF, 6.29);
        set(PANEL_FEED, FEED_C1, 1);
        press(PANEL_FEED, FEED_START);
        press(PANEL_FEED, FEED_CLOSE);
        press(PANEL_MAIN, MAIN_BOM);
        press(PANEL_BOM, BOM_PRINT);
        ASSERT_EQ(host.printed.size(), 2u);
        const Document& all = host.printed[1];
        EXPECT_EQ(all.title, "K7350 boost PFC pre-regulator: new");
        const auto h = headings(all);
        EXPECT_EQ(h.size(), 2u + 9 + 1 + 1);
        EXPECT_EQ(h.back(), "Bill of materials");
        const auto* inputs = tableAfter(all, "Input conditions");
        ASSERT_TRUE(inputs);
        EXPECT_EQ(inputs->size(), 9u);
        EXPECT_TRUE(hasRow(*inputs, {"Output power", "100", "W"}));
        EXPECT_TRUE(hasRow(*inputs, {"Minimum input voltage", "90", "V rms"}));
        const auto* bom = tableAfter(all, "Bill of materials");
        ASSERT_TRUE(bom);
        EXPECT_TRUE(hasRow(*bom, {"MOSFET Rds(on)", "500", "mΩ"}));
        EXPECT_TRUE(hasRow(*bom, {"Sense resistance", "470", "mΩ"}));
        EXPECT_TRUE(hasRow(*bom, {"Auxiliary winding turns ratio", "10", ""}));
        EXPECT_TRUE(hasRow(*bom, {"Compensation capacitor C1", "1", "µF"}));
        // Dimmed fields are no part of the design: the RC network of step 8 is not in use.
        const auto* zcd = tableAfter(all, "Step 8: zero-current detection");
        ASSERT_TRUE(zcd);
        EXPECT_TRUE(hasRow(*zcd, {"Chosen turns ratio", "10", ""}));
        for (const auto& r : *zcd) EXPECT_NE(r.at(0), "Coupling capacitor");
        const auto* loop = tableAfter(all, "Step 9: feedback, OVP and voltage loop");
        ASSERT_TRUE(loop);
        EXPECT_TRUE(hasRow(*loop, {"C1 (µF)", "1", ""}));
        EXPECT_TRUE(hasRow(*loop, {"Compensation", "C1", ""}));
        // The graphs of steps 2, 3 and 9, as they stand, and the loop's note.
        int graphs = 0;
        for (const auto& b : all.blocks)
            if (b.kind == DocBlock::Kind::Graph) {
                ++graphs;
                EXPECT_FALSE(b.graph->series().empty());
            }
        EXPECT_EQ(graphs, 4);
        bool noted = false;
        for (const auto& b : all.blocks)
            noted = noted || (b.kind == DocBlock::Kind::Paragraph && b.text.find("Phase margin below 45") != std::string::npos);
        EXPECT_TRUE(noted);
        // A cancelled print changes nothing and frees the main panel all the same.
        host.printer = [](const Document&) { return false; };
        press(PANEL_BOM, BOM_PRINT);
        EXPECT_FALSE(panel(hp[PANEL_MAIN])->dimmed);
    });
}

TEST_F(K7350, BillOfMaterialsVisibility) {
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
        // Printing makes one document and frees the main panel.
        press(PANEL_BOM, BOM_PRINT);
        EXPECT_EQ(host.printed.size(), 1u);
        EXPECT_FALSE(panel(hp[PANEL_MAIN])->dimmed);
    });
}

} // namespace
} // namespace k7350::test
