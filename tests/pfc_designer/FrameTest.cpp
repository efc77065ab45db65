// The program frame and the input conditions, driven headless.
#include "tests/pfc_designer/K7350Fixture.h"
#include "tests/common/TempDir.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace k7350::test {
namespace {

TEST_F(K7350, StartsWithTheMainPanelTitledNewAndTheStepsDimmed) {
    runWith([&] {
        std::vector<int> order;
        for (Panel* p : panels()) order.push_back(p->def.id);
        EXPECT_EQ(order, std::vector<int>(std::begin(kLoadOrder), std::end(kLoadOrder)));
        for (Panel* p : panels()) EXPECT_EQ(p->visible, p->def.id == PANEL_MAIN) << p->def.id;
        EXPECT_EQ(panel(hp[PANEL_MAIN])->title, "new");
        const double start[][2] = {{MAIN_VINMIN, 90}, {MAIN_VINMAX, 264}, {MAIN_LINEFREQ, 50},
                                   {MAIN_VOUT, 400},  {MAIN_POUT, 100},   {MAIN_EFFIC, 95},
                                   {MAIN_PWMFREQ, 40}, {MAIN_PFC, 0.99},  {MAIN_TMAX, 50}};
        for (auto [c, v] : start) EXPECT_EQ(val(PANEL_MAIN, int(c)), v) << c;
        for (int b : {MAIN_STEP1, MAIN_STEP2, MAIN_STEP3, MAIN_STEP4, MAIN_STEP5, MAIN_STEP6,
                      MAIN_STEP7, MAIN_STEP8, MAIN_STEP9, MAIN_DESIGN, MAIN_BOM})
            EXPECT_TRUE(dimmed(PANEL_MAIN, b)) << b;
        EXPECT_FALSE(dimmed(PANEL_MAIN, MAIN_CALCULATE));
    });
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(systemAttribute(1420), 0);
    // The loop has ended: no window stays.
    for (Panel* p : panels()) EXPECT_FALSE(p->visible);
}

TEST_F(K7350, MissingResourceFileOrPanelEndsWithMinusOneAndNoWindow) {
    kv::test::TempDir dir;
    setResourceDir(dir.path().string());
    bool ran = false;
    EXPECT_EQ(runWith([&] { ran = true; }), -1);
    EXPECT_FALSE(ran);
    // A resource file without the bill-of-materials panel.
    std::ifstream in(KV_SOURCE_DIR "/pfc_designer/K7350.uir");
    std::stringstream all;
    all << in.rdbuf();
    std::string text = all.str();
    const auto a = text.find("\nPANEL 24 ");
    const auto b = text.find("\nEND", a);
    ASSERT_NE(a, std::string::npos);
    text.erase(a, b + 4 - a);
    std::ofstream(dir.path() / "K7350.uir") << text;
    resetProgram();
    EXPECT_EQ(runWith([&] { ran = true; }), -1);
    EXPECT_FALSE(ran);
    for (Panel* p : panels()) EXPECT_FALSE(p->visible);
}

TEST_F(K7350, ChainEnablesOneStepAtATime) {
    runWith([&] {
        press(PANEL_MAIN, MAIN_CALCULATE);
        EXPECT_TRUE(shown(PANEL_CURR));
        EXPECT_TRUE(panel(hp[PANEL_MAIN])->dimmed);
        // Nothing fires on a dimmed panel.
        EXPECT_EQ(press(PANEL_MAIN, MAIN_CALCULATE), UserResult::Dimmed);
        press(PANEL_CURR, CURR_CLOSE);
        EXPECT_FALSE(panel(hp[PANEL_MAIN])->dimmed);
        EXPECT_FALSE(dimmed(PANEL_MAIN, MAIN_DESIGN));
        press(PANEL_MAIN, MAIN_DESIGN);
        EXPECT_FALSE(dimmed(PANEL_MAIN, MAIN_STEP1));
        EXPECT_FALSE(dimmed(PANEL_MAIN, MAIN_BOM));
        EXPECT_EQ(panel(hp[PANEL_MAIN])->find(MAIN_BOM)->color, 0xFFFFFF);
        for (int b : kLaterSteps) EXPECT_TRUE(dimmed(PANEL_MAIN, b));
        walkChain(8);
        for (int b : kLaterSteps) EXPECT_FALSE(dimmed(PANEL_MAIN, b)) << b;
        EXPECT_TRUE(popups().empty()) << lastPopup();
        // Steps already passed reopen in any order; Design starts over.
        press(PANEL_MAIN, MAIN_STEP4);
        EXPECT_TRUE(shown(PANEL_DIODE));
        press(PANEL_DIODE, DIODE_CLOSE);
        press(PANEL_MAIN, MAIN_DESIGN);
        for (int b : kLaterSteps) EXPECT_TRUE(dimmed(PANEL_MAIN, b));
    });
}

// 100 W to 250 W: no step, nor the bill of materials, shows the 100 W design
// any longer; the chain runs again from Calculate.
TEST_F(K7350, AnInputChangeDimsEveryStepUntilTheChainRunsAgain) {
    runWith([&] {
        walkChain(8);
        const double ilpk100 = val(PANEL_CURR, CURR_ILPK);
        set(PANEL_MAIN, MAIN_TMAX, 50); // the value it had: nothing changes
        for (int b : kLaterSteps) EXPECT_FALSE(dimmed(PANEL_MAIN, b)) << b;
        set(PANEL_MAIN, MAIN_POUT, 250);
        for (int b : {MAIN_DESIGN, MAIN_STEP1, MAIN_BOM}) EXPECT_TRUE(dimmed(PANEL_MAIN, b)) << b;
        for (int b : kLaterSteps) EXPECT_TRUE(dimmed(PANEL_MAIN, b)) << b;
        EXPECT_FALSE(dimmed(PANEL_MAIN, MAIN_CALCULATE));
        EXPECT_EQ(press(PANEL_MAIN, MAIN_STEP2), UserResult::Dimmed);
        startDesign();
        EXPECT_TRUE(dimmed(PANEL_MAIN, MAIN_STEP2));
        press(PANEL_MAIN, MAIN_STEP1);
        // The peak current grows with the power; the largest sense resistance follows it.
        EXPECT_NEAR(val(PANEL_CURR, CURR_ILPK), 2.5 * ilpk100, 1e-9);
        EXPECT_NEAR(val(PANEL_SENSE, SENSE_RSX) * val(PANEL_CURR, CURR_ILPK), 1600, 1e-9);
        // The 470 mΩ chosen for 100 W stays, refused for 250 W.
        EXPECT_EQ(val(PANEL_SENSE, SENSE_SINGLE), 470);
        EXPECT_EQ(note(PANEL_SENSE), "reduce Rsense value");
        EXPECT_TRUE(dimmed(PANEL_SENSE, SENSE_CLOSE));
    });
}

TEST_F(K7350, CalculateResetsTheChoiceFlags) {
    runWith([&] {
        walkChain(2);
        EXPECT_EQ(dv.ant[0], 1);
        EXPECT_EQ(dv.ant[1], 1);
        press(PANEL_MAIN, MAIN_CALCULATE);
        for (double f : dv.ant) EXPECT_EQ(f, 0.1);
    });
}

TEST_F(K7350, CloseBoxesCommitTheCloseControlOrBackOutAndMainCloseQuits) {
    runWith([&] {
        startDesign();
        press(PANEL_MAIN, MAIN_STEP1);
        // Close control dimmed (a sense resistance above the largest): the close
        // box backs out to the main panel, keeping the entry and going no further.
        set(PANEL_SENSE, SENSE_SINGLE, 900);
        EXPECT_TRUE(dimmed(PANEL_SENSE, SENSE_CLOSE));
        EXPECT_EQ(userClose(hp[PANEL_SENSE]), UserResult::Done);
        EXPECT_FALSE(shown(PANEL_SENSE));
        EXPECT_FALSE(panel(hp[PANEL_MAIN])->dimmed);
        EXPECT_TRUE(dimmed(PANEL_MAIN, MAIN_STEP2));
        press(PANEL_MAIN, MAIN_STEP1);
        EXPECT_EQ(val(PANEL_SENSE, SENSE_SINGLE), 900);
        set(PANEL_SENSE, SENSE_SINGLE, 400);
        EXPECT_EQ(userClose(hp[PANEL_SENSE]), UserResult::Done);
        EXPECT_FALSE(shown(PANEL_SENSE));
        EXPECT_FALSE(dimmed(PANEL_MAIN, MAIN_STEP2));
        // A panel with one open over it does not close under it.
        press(PANEL_MAIN, MAIN_STEP2);
        press(PANEL_IND, HELP_BUTTON);
        EXPECT_EQ(userClose(hp[PANEL_IND]), UserResult::Dimmed);
        EXPECT_TRUE(shown(PANEL_HBOOSTIN));
        userClose(hp[PANEL_HBOOSTIN]);
        userClose(hp[PANEL_IND]); // nothing chosen: backs out
        EXPECT_FALSE(shown(PANEL_IND));
        EXPECT_TRUE(dimmed(PANEL_MAIN, MAIN_STEP3));
        host.backend.answers.push_back(kv::ui::IdNo);
        userClose(hp[PANEL_MAIN]);
        EXPECT_TRUE(quitRequested());
    });
    ASSERT_EQ(popupCount(), 1u);
    EXPECT_EQ(popups()[0].title, "WARNING");
    EXPECT_EQ(popups()[0].text, "Do you want to save the project?");
    EXPECT_EQ(popups()[0].answer, "no");
    EXPECT_TRUE(host.backend.files.empty());
}

TEST_F(K7350, EscClosesThePanelOnTopButNeverTheProgram) {
    runWith([&] {
        EXPECT_EQ(userEscape(), UserResult::NoControl); // only the main panel: nothing
        EXPECT_FALSE(quitRequested());
        press(PANEL_MAIN, MAIN_HELP);
        userEscape();
        EXPECT_FALSE(shown(PANEL_HIN));
        EXPECT_FALSE(panel(hp[PANEL_MAIN])->dimmed);
        startDesign();
        press(PANEL_MAIN, MAIN_STEP1);
        press(PANEL_SENSE, HELP_BUTTON);
        userEscape(); // the help over the step
        EXPECT_FALSE(shown(PANEL_HRSNS));
        EXPECT_TRUE(shown(PANEL_SENSE));
        userEscape(); // the step, its close control dimmed
        EXPECT_FALSE(shown(PANEL_SENSE));
        EXPECT_FALSE(panel(hp[PANEL_MAIN])->dimmed);
        EXPECT_TRUE(dimmed(PANEL_MAIN, MAIN_STEP2));
        EXPECT_EQ(userEscape(), UserResult::NoControl);
    });
    EXPECT_TRUE(popups().empty());
}

TEST_F(K7350, QuitAsksOnlyAfterAChangeAndCancelStays) {
    kv::test::TempDir dir;
    runWith([&] {
        press(PANEL_MAIN, MAIN_QUIT); // nothing changed: no question
        EXPECT_TRUE(quitRequested());
    });
    EXPECT_TRUE(popups().empty());
    resetProgram();
    runWith([&] {
        set(PANEL_MAIN, MAIN_TMAX, 40);
        set(PANEL_MAIN, MAIN_TMAX, 40); // the same value again changes nothing more
        host.backend.answers = {kv::ui::IdCancel};
        press(PANEL_MAIN, MAIN_QUIT);
        EXPECT_FALSE(quitRequested());
        EXPECT_EQ(popups().back().answer, "cancel");
        // Yes, then no file: nothing saved, nothing lost, still running.
        host.backend.answers = {kv::ui::IdYes};
        press(PANEL_MAIN, MAIN_QUIT);
        EXPECT_FALSE(quitRequested());
        // Saved: the title is the file's name and quitting asks nothing.
        host.backend.files = {"quit.ini"};
        press(PANEL_MAIN, MAIN_SAVE);
        EXPECT_EQ(panel(hp[PANEL_MAIN])->title, "quit.ini");
        const std::size_t n = popupCount();
        press(PANEL_MAIN, MAIN_QUIT);
        EXPECT_TRUE(quitRequested());
        EXPECT_EQ(popupCount(), n);
    });
}

TEST_F(K7350, QuitWithNoAsksForNoFileAndTheScreenNoticeComesAfterTheLoop) {
    for (auto [w, h, notice] : {std::tuple{1024, 768, false}, {800, 600, false}, {640, 480, true}}) {
        resetProgram();
        host.width = w;
        host.height = h;
        host.backend.answers = {kv::ui::IdNo};
        runWith([&] {
            set(PANEL_MAIN, MAIN_POUT, 120);
            press(PANEL_MAIN, MAIN_QUIT);
        });
        const bool last = !popups().empty() && popups().back().text ==
                          "for a good view, please, set your monitor \nresolution at least 600*800 pixels";
        EXPECT_EQ(last, notice) << w << "x" << h;
        EXPECT_EQ(popupCount(), notice ? 2u : 1u);
        EXPECT_TRUE(host.backend.files.empty());
    }
}

// ---- input checks --------------------------------------------------------------------------

struct FieldCase {
    int ctrl;
    double bad, good;
    const char* text;
};

// Each refused value shows its message in the main panel's note (red) and
// blocks Calculate and Design; no popup takes the keyboard.
TEST_F(K7350, EveryInputCheckAtItsLimits) {
    const FieldCase cases[] = {
        {MAIN_VINMIN, 80, 80.1, "minimum input voltage value\nnot correct"},
        {MAIN_VINMAX, 500, 282.8, "maximum input voltage value\nmust be higher than minimum"},
        {MAIN_LINEFREQ, 0, 40, "Mains frequency must be \nbetween 40Hz and 400Hz"},
        {MAIN_LINEFREQ, -50, 50, "Mains frequency must be \nbetween 40Hz and 400Hz"},
        {MAIN_LINEFREQ, 400.1, 400, "Mains frequency must be \nbetween 40Hz and 400Hz"},
        {MAIN_VOUT, 373, std::sqrt(2.0) * 264, "output voltage value\nmust be higher than\nsqrt(2)*Vin(max)"},
        {MAIN_POUT, 350.1, 350, "Reduce output power"},
        {MAIN_POUT, -100, 0.1, "Output power must be \nhigher than 0W"},
        {MAIN_POUT, 0, 100, "Output power must be \nhigher than 0W"},
        {MAIN_EFFIC, 59.9, 60, "Expected efficiency must be \nbetween 60% and 100%"},
        {MAIN_EFFIC, 100.1, 100, "Expected efficiency must be \nbetween 60% and 100%"},
        {MAIN_PWMFREQ, 12.9, 13, "Minimum switching frequency must be \nbetween 13Khz and 300KHz"},
        {MAIN_PWMFREQ, 300.1, 300, "Minimum switching frequency must be \nbetween 13Khz and 300KHz"},
        {MAIN_PFC, 0.69, 0.7, "Expected PF are in the range \nbetween 0.7 and 1"},
        {MAIN_PFC, 1.01, 1, "Expected PF are in the range \nbetween 0.7 and 1"},
        {MAIN_TMAX, -0.1, 85, "Maximum ambient temperature must be \nbetween 0C and 85C"},
    };
    runWith([&] {
        startDesign();
        for (const auto& c : cases) {
            const double before = val(PANEL_MAIN, c.ctrl);
            set(PANEL_MAIN, c.ctrl, c.bad);
            EXPECT_TRUE(noteSays(PANEL_MAIN, c.text)) << note(PANEL_MAIN);
            EXPECT_EQ(noteColor(PANEL_MAIN), VAL_DK_RED);
            // The rejected value stays; both buttons are blocked.
            EXPECT_EQ(val(PANEL_MAIN, c.ctrl), c.bad);
            EXPECT_TRUE(dimmed(PANEL_MAIN, MAIN_CALCULATE)) << c.text;
            EXPECT_TRUE(dimmed(PANEL_MAIN, MAIN_DESIGN)) << c.text;
            EXPECT_EQ(press(PANEL_MAIN, MAIN_CALCULATE), UserResult::Dimmed);
            set(PANEL_MAIN, c.ctrl, c.good);
            EXPECT_EQ(note(PANEL_MAIN), "") << c.text;
            EXPECT_FALSE(dimmed(PANEL_MAIN, MAIN_CALCULATE)) << c.text;
            // Design comes back only through the operating currents.
            EXPECT_TRUE(dimmed(PANEL_MAIN, MAIN_DESIGN));
            set(PANEL_MAIN, c.ctrl, before);
        }
        EXPECT_TRUE(popups().empty()) << lastPopup();
    });
}

// The trap: -100 W gave negative currents, a step that could not close
// and no way back. Now it never reaches a step.
TEST_F(K7350, NegativePowerNeverReachesTheSteps) {
    runWith([&] {
        set(PANEL_MAIN, MAIN_POUT, -100);
        EXPECT_EQ(press(PANEL_MAIN, MAIN_CALCULATE), UserResult::Dimmed);
        EXPECT_FALSE(shown(PANEL_CURR));
        EXPECT_TRUE(noteSays(PANEL_MAIN, "Output power must be \nhigher than 0W"));
        set(PANEL_MAIN, MAIN_POUT, 100);
        startDesign();
        EXPECT_FALSE(dimmed(PANEL_MAIN, MAIN_STEP1));
    });
}

// Two refusals at once are both shown; the note clears as each is mended.
TEST_F(K7350, TheMainNoteListsEveryRefusal) {
    runWith([&] {
        set(PANEL_MAIN, MAIN_EFFIC, 50);
        set(PANEL_MAIN, MAIN_PFC, 0.5);
        EXPECT_TRUE(noteSays(PANEL_MAIN, "Expected efficiency must be \nbetween 60% and 100%"));
        EXPECT_TRUE(noteSays(PANEL_MAIN, "Expected PF are in the range \nbetween 0.7 and 1"));
        set(PANEL_MAIN, MAIN_EFFIC, 90);
        EXPECT_EQ(note(PANEL_MAIN), words("Expected PF are in the range \nbetween 0.7 and 1"));
        // A combination: a higher line range refuses the 400 V bus until it is raised.
        set(PANEL_MAIN, MAIN_PFC, 0.9);
        set(PANEL_MAIN, MAIN_VINMAX, 300);
        EXPECT_EQ(note(PANEL_MAIN), words("output voltage value\nmust be higher than\nsqrt(2)*Vin(max)"));
        set(PANEL_MAIN, MAIN_VOUT, 430);
        EXPECT_EQ(note(PANEL_MAIN), "");
        EXPECT_TRUE(popups().empty());
    });
}

TEST_F(K7350, CalculateComesBackOnlyWhenAllNineFieldsPass) {
    runWith([&] {
        set(PANEL_MAIN, MAIN_EFFIC, 50);
        set(PANEL_MAIN, MAIN_PFC, 0.5);
        set(PANEL_MAIN, MAIN_EFFIC, 90);
        EXPECT_TRUE(dimmed(PANEL_MAIN, MAIN_CALCULATE)); // the power factor is still wrong
        set(PANEL_MAIN, MAIN_PFC, 0.9);
        EXPECT_FALSE(dimmed(PANEL_MAIN, MAIN_CALCULATE));
        // Minimum above maximum: fixing the maximum clears both.
        set(PANEL_MAIN, MAIN_VINMIN, 300);
        EXPECT_TRUE(dimmed(PANEL_MAIN, MAIN_CALCULATE));
        set(PANEL_MAIN, MAIN_VINMAX, 320);
        EXPECT_TRUE(dimmed(PANEL_MAIN, MAIN_CALCULATE)); // 400 V is below sqrt(2)*320
        set(PANEL_MAIN, MAIN_VOUT, 460);
        EXPECT_FALSE(dimmed(PANEL_MAIN, MAIN_CALCULATE));
    });
}

// ---- operating currents --------------------------------------------------------------------

TEST_F(K7350, OperatingCurrentsOfTheWorkedExample) {
    runWith([&] {
        press(PANEL_MAIN, MAIN_CALCULATE);
        const double Pin = val(PANEL_CURR, CURR_PIN), Iin = val(PANEL_CURR, CURR_IINRMS);
        const double ILpk = val(PANEL_CURR, CURR_ILPK), ILrms = val(PANEL_CURR, CURR_ILRMS);
        EXPECT_NEAR(Pin, 105.26, 0.01);
        EXPECT_NEAR(Pin * 0.95, 100, 1e-9); // power balance
        EXPECT_NEAR(val(PANEL_CURR, CURR_IOUT), 250, 1e-9);
        EXPECT_NEAR(Iin, 1.18, 0.005);
        EXPECT_NEAR(Iin * 90 * 0.99, Pin, 1e-9);
        EXPECT_NEAR(ILpk, 3.3415, 1e-4);
        // Inductor rms = line part and ripple part; switch and diode share the inductor's HF current.
        EXPECT_NEAR(ILrms * ILrms, Iin * Iin + std::pow(val(PANEL_CURR, CURR_ILAC), 2), 1e-9);
        EXPECT_NEAR(std::pow(val(PANEL_CURR, CURR_ISWRMS), 2) + std::pow(val(PANEL_CURR, CURR_IDRMS), 2),
                    ILpk * ILpk / 6, 1e-9);
        // A division by zero shows "---", never inf or nan.
        press(PANEL_CURR, CURR_CLOSE);
        set(PANEL_MAIN, MAIN_EFFIC, 0);
        set(PANEL_MAIN, MAIN_POUT, 0);
        conti();
        EXPECT_EQ(text(PANEL_CURR, CURR_PIN), "---");
        EXPECT_EQ(text(PANEL_CURR, CURR_IOUT), "0");
    });
}

TEST_F(K7350, OperatingCurrentsWithANegativeRadicandShowDashes) {
    runWith([&] {
        set(PANEL_MAIN, MAIN_VOUT, 100); // rejected, stays: below 1.2·Vin_min the switch radicand is negative
        press(PANEL_MAIN, MAIN_CALCULATE); // dimmed: does nothing
        EXPECT_FALSE(shown(PANEL_CURR));
        conti();
        EXPECT_EQ(text(PANEL_CURR, CURR_ISWRMS), "---");
        EXPECT_NE(text(PANEL_CURR, CURR_IDRMS), "---");
    });
}

// ---- step 1 --------------------------------------------------------------------------------

TEST_F(K7350, SenseResistorLimitsAndPowers) {
    runWith([&] {
        startDesign();
        press(PANEL_MAIN, MAIN_STEP1);
        const double Rsx = val(PANEL_SENSE, SENSE_RSX);
        EXPECT_NEAR(Rsx, 479, 0.5);
        EXPECT_NEAR(Rsx * val(PANEL_CURR, CURR_ILPK), 1600, 1e-9);
        EXPECT_TRUE(dimmed(PANEL_SENSE, SENSE_CLOSE)); // nothing chosen yet
        EXPECT_TRUE(popups().empty());
        set(PANEL_SENSE, SENSE_SINGLE, Rsx); // equal to the limit: accepted
        EXPECT_TRUE(popups().empty());
        EXPECT_FALSE(dimmed(PANEL_SENSE, SENSE_CLOSE));
        EXPECT_EQ(dv.ant[0], 1);
        set(PANEL_SENSE, SENSE_SINGLE, Rsx * (1 + 1e-12));
        EXPECT_EQ(note(PANEL_SENSE), "reduce Rsense value");
        EXPECT_EQ(noteColor(PANEL_SENSE), VAL_DK_RED);
        EXPECT_TRUE(dimmed(PANEL_SENSE, SENSE_CLOSE));
        // From 1 × 479 mΩ to 2 × 940 mΩ through a refused 940 mΩ: nothing is
        // reverted, the refusal shows until the second entry mends it.
        set(PANEL_SENSE, SENSE_SINGLE, 940);
        EXPECT_EQ(val(PANEL_SENSE, SENSE_SINGLE), 940);
        EXPECT_EQ(note(PANEL_SENSE), "reduce Rsense value");
        set(PANEL_SENSE, SENSE_PARALLEL, 2);
        EXPECT_EQ(note(PANEL_SENSE), "");
        EXPECT_FALSE(dimmed(PANEL_SENSE, SENSE_CLOSE));
        EXPECT_TRUE(popups().empty()) << lastPopup();
        const double Rs = val(PANEL_SENSE, SENSE_RSENSE);
        EXPECT_DOUBLE_EQ(Rs, 470);
        EXPECT_NEAR(val(PANEL_SENSE, SENSE_MAXIPK) * Rs, 1800, 1e-9);
        // Each of the two resistors takes half of the switch current's power.
        EXPECT_NEAR(2 * val(PANEL_SENSE, SENSE_PS), std::pow(val(PANEL_CURR, CURR_ISWRMS), 2) * Rs, 1e-9);
        // No resistors or no resistance: the step cannot close.
        set(PANEL_SENSE, SENSE_PARALLEL, 0);
        EXPECT_TRUE(dimmed(PANEL_SENSE, SENSE_CLOSE));
        EXPECT_EQ(text(PANEL_SENSE, SENSE_MAXIPK), "0");
        EXPECT_EQ(note(PANEL_SENSE), "The number of resistors in parallel must be a whole number from 1 up");
        set(PANEL_SENSE, SENSE_PARALLEL, 1.5);
        EXPECT_TRUE(dimmed(PANEL_SENSE, SENSE_CLOSE));
        set(PANEL_SENSE, SENSE_PARALLEL, 1);
        set(PANEL_SENSE, SENSE_SINGLE, 0);
        EXPECT_TRUE(dimmed(PANEL_SENSE, SENSE_CLOSE));
        EXPECT_EQ(text(PANEL_SENSE, SENSE_MAXIPK), "---");
    });
}

// ---- step 2 --------------------------------------------------------------------------------

TEST_F(K7350, BoostInductorLimitsAndTheFrequencyGraph) {
    runWith([&] {
        startDesign();
        press(PANEL_MAIN, MAIN_STEP1);
        set(PANEL_SENSE, SENSE_SINGLE, 470);
        press(PANEL_SENSE, SENSE_CLOSE);
        press(PANEL_MAIN, MAIN_STEP2);
        const double L = val(PANEL_IND, IND_L);
        EXPECT_NEAR(L, 0.551, 0.0005);
        EXPECT_TRUE(popups().empty());
        // The largest inductance runs at exactly the minimum switching frequency.
        set(PANEL_IND, IND_TRUEL, L);
        EXPECT_TRUE(popups().empty());
        EXPECT_NEAR(val(PANEL_IND, IND_F), 40, 1e-9);
        set(PANEL_IND, IND_TRUEL, 0.001);
        EXPECT_TRUE(popups().empty());
        for (double bad : {0.000999, L * (1 + 1e-9)}) {
            set(PANEL_IND, IND_TRUEL, bad);
            EXPECT_EQ(note(PANEL_IND), "check L value");
            EXPECT_TRUE(dimmed(PANEL_IND, IND_CLOSE));
            EXPECT_TRUE(dimmed(PANEL_IND, IND_CHOKE));
        }
        EXPECT_EQ(press(PANEL_IND, IND_CLOSE), UserResult::Dimmed);
        EXPECT_TRUE(shown(PANEL_IND));
        EXPECT_TRUE(popups().empty()) << lastPopup();
        set(PANEL_IND, IND_TRUEL, 0.5);
        EXPECT_FALSE(dimmed(PANEL_IND, IND_CLOSE));
        EXPECT_EQ(note(PANEL_IND), "");
        // Two curves of 10 000 points over the line angle, red at high line and
        // blue at low line, named in the legend; their lowest points are the
        // frequencies at the crest (90°), the smaller one shown as f.
        const auto& g = graph(PANEL_IND, IND_GRAPH);
        ASSERT_EQ(g.series().size(), 2u);
        EXPECT_EQ(g.series()[0].color, 0xFF0000u);
        EXPECT_EQ(g.series()[1].color, 0x0000FFu);
        EXPECT_EQ(g.gridColor, 0x00FF00u);
        EXPECT_TRUE(g.legend);
        EXPECT_EQ(g.series()[0].name, "at 264 V rms");
        EXPECT_EQ(g.series()[1].name, "at 90 V rms");
        double low = 1e300;
        for (const auto& s : g.series()) {
            EXPECT_EQ(s.y.size(), 10000u);
            for (double v : s.y) low = std::min(low, v);
            EXPECT_EQ(s.x.front(), 0);
            EXPECT_GT(s.x.back(), 179.5);
            EXPECT_LT(s.x.back(), 180);
            const auto crest = std::min_element(s.y.begin(), s.y.end()) - s.y.begin();
            EXPECT_NEAR(s.x[std::size_t(crest)], 90, 0.1);
        }
        EXPECT_NEAR(low, val(PANEL_IND, IND_F), 1e-5 * low);
        EXPECT_NEAR(val(PANEL_IND, IND_F), 40 * L / 0.5, 1e-9); // f·L is constant
        // No inductance: "---" and a graph of gaps that keeps its points.
        set(PANEL_IND, IND_TRUEL, 0);
        EXPECT_EQ(text(PANEL_IND, IND_F), "---");
        ASSERT_EQ(g.series().size(), 2u);
        EXPECT_EQ(g.series()[0].y.size(), 10000u);
        EXPECT_FALSE(kv::plot::Plot::summarize(g.series()[0]).first);
        set(PANEL_IND, IND_TRUEL, 0.5);
        press(PANEL_IND, IND_CLOSE);
        EXPECT_FALSE(shown(PANEL_IND));
        EXPECT_FALSE(dimmed(PANEL_MAIN, MAIN_STEP3));
    });
}

TEST_F(K7350, CoreAndWindingChecks) {
    runWith([&] {
        walkChain(1);
        press(PANEL_MAIN, MAIN_STEP2);
        set(PANEL_IND, IND_TRUEL, 0.0001);
        press(PANEL_IND, IND_CHOKE);
        EXPECT_FALSE(shown(PANEL_CORE));
        EXPECT_TRUE(dimmed(PANEL_IND, IND_CHOKE));
        set(PANEL_IND, IND_TRUEL, 0.5);
        press(PANEL_IND, IND_CHOKE);
        ASSERT_TRUE(shown(PANEL_CORE));
        EXPECT_TRUE(panel(hp[PANEL_IND])->dimmed);
        set(PANEL_CORE, CORE_AE, 1);
        const double np1 = val(PANEL_CORE, CORE_NP);
        set(PANEL_CORE, CORE_AE, 2);
        EXPECT_NEAR(val(PANEL_CORE, CORE_NP), np1 / 2, 1e-9); // twice the area, half the turns
        // Flux linkage: N·B·Ae = L·I with B = 0.35 T at the current-limit trip.
        const double ipk = val(PANEL_SENSE, SENSE_MAXIPK);
        EXPECT_NEAR(val(PANEL_CORE, CORE_NP) * 0.35 * 2e-4, 0.5e-3 * ipk, 1e-12);
        set(PANEL_CORE, CORE_AE, 0); // accepted, no finite number of turns
        EXPECT_EQ(text(PANEL_CORE, CORE_NP), "---");
        set(PANEL_CORE, CORE_AE, 2);
        set(PANEL_CORE, CORE_GAP, 0); // accepted, the volume has no value
        EXPECT_EQ(text(PANEL_CORE, CORE_VMIN), "---");
        set(PANEL_CORE, CORE_ML, 100);
        set(PANEL_CORE, CORE_GAP, 1);
        const double v1 = val(PANEL_CORE, CORE_VMIN);
        set(PANEL_CORE, CORE_GAP, 2);
        EXPECT_NEAR(val(PANEL_CORE, CORE_VMIN), v1 / 2, 1e-12);
        // The gapped core (μe = le/g = 50) stores ½·L·I² at the current-limit trip with the
        // 0.35 T the turns are sized for: B²·Ve/(2·μ0·μe).
        const double ve = val(PANEL_CORE, CORE_VMIN) * 1e-6;
        EXPECT_NEAR(0.35 * 0.35 * ve / (2 * 4e-7 * M_PI * 50), 0.5 * 0.5e-3 * ipk * ipk, 1e-9);
        EXPECT_NEAR(val(PANEL_CORE, CORE_VMIN), 3.76, 0.01); // 3.83 A through 0.5 mH
        EXPECT_TRUE(popups().empty()) << lastPopup();
        struct {
            int ctrl;
            double bad;
            const char* text;
        } rejects[] = {{CORE_AE, 4.1, "Core effective area value \nmust be between 0 and 4"},
                       {CORE_GAP, -1, "gap lenght must be\nbetween 0mm and 4mm"},
                       {CORE_ML, 401, "Effective magnetic lenght \nmust be between 0 and 400"}};
        for (auto r : rejects) {
            const double good = val(PANEL_CORE, r.ctrl);
            set(PANEL_CORE, r.ctrl, r.bad);
            EXPECT_EQ(note(PANEL_CORE), words(r.text));
            EXPECT_TRUE(dimmed(PANEL_CORE, CORE_CLOSE));
            set(PANEL_CORE, r.ctrl, good);
            EXPECT_EQ(note(PANEL_CORE), "");
            EXPECT_FALSE(dimmed(PANEL_CORE, CORE_CLOSE)) << r.text;
        }
        // Two entries out of range: both are named; fixing one does not free the close control.
        set(PANEL_CORE, CORE_AE, 9);
        set(PANEL_CORE, CORE_GAP, 9);
        EXPECT_TRUE(noteSays(PANEL_CORE, rejects[0].text));
        EXPECT_TRUE(noteSays(PANEL_CORE, rejects[1].text));
        set(PANEL_CORE, CORE_AE, 1);
        EXPECT_TRUE(dimmed(PANEL_CORE, CORE_CLOSE));
        // The close box backs out to the inductor, the entries stay.
        userClose(hp[PANEL_CORE]);
        EXPECT_FALSE(shown(PANEL_CORE));
        EXPECT_FALSE(panel(hp[PANEL_IND])->dimmed);
        press(PANEL_IND, IND_CHOKE);
        EXPECT_EQ(val(PANEL_CORE, CORE_GAP), 9);
        EXPECT_TRUE(dimmed(PANEL_CORE, CORE_CLOSE));
        set(PANEL_CORE, CORE_GAP, 1);
        EXPECT_FALSE(dimmed(PANEL_CORE, CORE_CLOSE));
        press(PANEL_CORE, CORE_CLOSE);
        EXPECT_FALSE(shown(PANEL_CORE));
        EXPECT_FALSE(panel(hp[PANEL_IND])->dimmed);
    });
}

TEST_F(K7350, HelpPanelsOpenOverTheirParents) {
    runWith([&] {
        press(PANEL_MAIN, MAIN_HELP);
        EXPECT_TRUE(shown(PANEL_HIN));
        EXPECT_TRUE(panel(hp[PANEL_MAIN])->dimmed);
        press(PANEL_HIN, HELP_CLOSE);
        EXPECT_FALSE(shown(PANEL_HIN));
        EXPECT_FALSE(panel(hp[PANEL_MAIN])->dimmed);
        walkChain(1);
        press(PANEL_MAIN, MAIN_STEP1);
        press(PANEL_SENSE, HELP_BUTTON);
        EXPECT_TRUE(shown(PANEL_HRSNS));
        EXPECT_TRUE(panel(hp[PANEL_SENSE])->dimmed);
        userClose(hp[PANEL_HRSNS]);
        EXPECT_FALSE(panel(hp[PANEL_SENSE])->dimmed);
        // Every help panel has a text of its own.
        for (int id : {12, 15, 6, 7, 13, 10, 8, 9, 14, 16, 11}) {
            std::size_t longest = 0;
            for (const Ctrl& c : panel(hp[id])->ctrls) longest = std::max(longest, c.def.caption.size());
            EXPECT_GT(longest, 400u) << id;
        }
    });
}

} // namespace
} // namespace k7350::test

namespace k7350::test {
namespace {

// Walker finding: printing frees the main panel while the bill of materials
// stays open, so a step could be opened again over its own help panel; it came
// on top dimmed, and neither its close box nor Esc did anything:
// k7350-cli --file design.ini --commit 18:24 --file design.ini --commit 18:23 --commit 18:22
//   --escape --commit 18:22 --commit 24:3 --commit 18:18 --commit 2:30 --commit 24:3 --commit 24:3
//   --commit 18:18 --commit 24:3 --commit 18:21 --commit 4:30 --commit 24:3 --close 10 --close 4 --close 2
TEST_F(K7350, AStepOpenedAgainOverItsOwnHelpLeavesTheHelpOnTopAndEscLeavesBoth) {
    runWith([&] {
        walkChain(4);
        press(PANEL_MAIN, MAIN_BOM);
        press(PANEL_BOM, BOM_PRINT); // frees the main panel
        press(PANEL_MAIN, MAIN_STEP5);
        press(PANEL_INCAP, HELP_BUTTON);
        ASSERT_TRUE(panel(hp[PANEL_INCAP])->dimmed);
        press(PANEL_BOM, BOM_PRINT);
        ASSERT_EQ(press(PANEL_MAIN, MAIN_STEP5), UserResult::Done);
        // The help stays on top of its step, usable.
        ASSERT_NE(topPanel(), nullptr);
        EXPECT_EQ(topPanel()->def.id, PANEL_HCIN);
        EXPECT_FALSE(topPanel()->dimmed);
        // Esc leaves the help, then the step, keeping what was typed.
        const double ripple = val(PANEL_INCAP, INCAP_RIP);
        EXPECT_EQ(userEscape(), UserResult::Done);
        EXPECT_FALSE(shown(PANEL_HCIN));
        EXPECT_FALSE(panel(hp[PANEL_INCAP])->dimmed);
        EXPECT_EQ(topPanel()->def.id, PANEL_INCAP);
        EXPECT_EQ(userEscape(), UserResult::Done);
        EXPECT_FALSE(shown(PANEL_INCAP));
        EXPECT_EQ(val(PANEL_INCAP, INCAP_RIP), ripple);
        // Every panel shown can be left down to the main panel.
        for (int guard = 0; guard < 8 && topPanel()->def.id != PANEL_MAIN; ++guard)
            EXPECT_EQ(userClose(topPanel()->handle), UserResult::Done) << topPanel()->def.id;
        EXPECT_EQ(topPanel()->def.id, PANEL_MAIN);
    });
}

} // namespace
} // namespace k7350::test
