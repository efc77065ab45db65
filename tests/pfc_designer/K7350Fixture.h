// Runs K7350 headless inside a test: the script runs while the event loop does.
#pragma once

#include "pfc_designer/Program.h"
#include "platform/panels/HeadlessHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

namespace k7350::test {

using namespace kv::panels;

class K7350 : public ::testing::Test {
protected:
    HeadlessHost host;
    int exitCode = 0;

    void SetUp() override {
        resetProgram();
        setHost(&host);
        setResourceDir(KV_SOURCE_DIR "/pfc_designer");
        registerCallbacks(callbackTable());
    }
    void TearDown() override {
        resetProgram();
        setHost(nullptr);
    }
    // Starts the program and runs `script` inside its event loop.
    int runWith(std::function<void()> script) {
        host.script = std::move(script);
        exitCode = run();
        return exitCode;
    }

    static UserResult set(int p, int c, double v) { return userSet(hp[p], c, v); }
    static UserResult press(int p, int c) { return userCommit(hp[p], c); }
    static double val(int p, int c) {
        double v = 0;
        EXPECT_EQ(GetCtrlVal(hp[p], c, &v), 0) << p << ":" << c;
        return v;
    }
    static bool dimmed(int p, int c) {
        int v = 0;
        EXPECT_EQ(GetCtrlAttribute(hp[p], c, ATTR_DIMMED, &v), 0) << p << ":" << c;
        return v != 0;
    }
    static bool ctrlVisible(int p, int c) {
        int v = 0;
        EXPECT_EQ(GetCtrlAttribute(hp[p], c, ATTR_VISIBLE, &v), 0) << p << ":" << c;
        return v != 0;
    }
    static bool shown(int p) { return panel(hp[p])->visible; }
    static const kv::plot::Plot& graph(int p, int c) { return *panel(hp[p])->find(c)->plot; }
    static std::string text(int p, int c) { return panel(hp[p])->find(c)->text(); }
    static std::size_t popupCount() { return popups().size(); }
    // The note of a panel, its words separated by single spaces.
    static std::string note(int p) { return words(panel(hp[p])->find(NOTE)->caption); }
    static int noteColor(int p) { return panel(hp[p])->find(NOTE)->textColor; }
    // A message as words: the popup texts break their lines where a note need not.
    static std::string words(const std::string& s) {
        std::string out;
        for (char c : s) {
            const bool blank = c == ' ' || c == '\n';
            if (blank && (out.empty() || out.back() == ' ')) continue;
            out += blank ? ' ' : c;
        }
        while (!out.empty() && out.back() == ' ') out.pop_back();
        return out;
    }
    static bool noteSays(int p, const std::string& message) {
        return note(p).find(words(message)) != std::string::npos;
    }
    static std::string lastPopup() { return popups().empty() ? "" : popups().back().text; }
    static std::string lastTitle() { return popups().empty() ? "" : popups().back().title; }

    // Calculate, close the currents, Design: step 1 is usable.
    static void startDesign() {
        press(PANEL_MAIN, MAIN_CALCULATE);
        press(PANEL_CURR, CURR_CLOSE);
        press(PANEL_MAIN, MAIN_DESIGN);
    }
    // Walks the nine steps with the worked example's choices.
    static void walkChain(int upTo = 9) {
        startDesign();
        press(PANEL_MAIN, MAIN_STEP1);
        set(PANEL_SENSE, SENSE_SINGLE, 470);
        press(PANEL_SENSE, SENSE_CLOSE);
        if (upTo < 2) return;
        press(PANEL_MAIN, MAIN_STEP2);
        set(PANEL_IND, IND_TRUEL, 0.5);
        press(PANEL_IND, IND_CLOSE);
        if (upTo < 3) return;
        press(PANEL_MAIN, MAIN_STEP3);
        set(PANEL_MOS, MOS_RON, 500);
        set(PANEL_MOS, MOS_TF, 50);
        set(PANEL_MOS, MOS_CD, 100);
        press(PANEL_MOS, MOS_CLOSE);
        if (upTo < 4) return;
        press(PANEL_MAIN, MAIN_STEP4);
        set(PANEL_DIODE, DIODE_VF, 0.9);
        set(PANEL_DIODE, DIODE_RD, 50);
        press(PANEL_DIODE, DIODE_CLOSE);
        if (upTo < 5) return;
        press(PANEL_MAIN, MAIN_STEP5);
        set(PANEL_INCAP, INCAP_RIP, 10);
        set(PANEL_INCAP, INCAP_TRUCIN, 1000);
        press(PANEL_INCAP, INCAP_CLOSE);
        if (upTo < 6) return;
        press(PANEL_MAIN, MAIN_STEP6);
        set(PANEL_OUTCAP, OUTCAP_THOLD, 10);
        set(PANEL_OUTCAP, OUTCAP_VOMIN, 340);
        set(PANEL_OUTCAP, OUTCAP_DELTA, 8);
        set(PANEL_OUTCAP, OUTCAP_TRUCOUT, 100);
        press(PANEL_OUTCAP, OUTCAP_CLOSE);
        if (upTo < 7) return;
        press(PANEL_MAIN, MAIN_STEP7);
        set(PANEL_MULT, MULT_RLOW, 13.96);
        set(PANEL_MULT, MULT_RUP, 1900);
        press(PANEL_MULT, MULT_CLOSE);
        if (upTo < 8) return;
        press(PANEL_MAIN, MAIN_STEP8);
        set(PANEL_ZCD, ZCD_ACTR, 10);
        set(PANEL_ZCD, ZCD_RZCD, 15);
        press(PANEL_ZCD, ZCD_CLOSE);
        if (upTo < 9) return;
        press(PANEL_MAIN, MAIN_STEP9);
    }
};

} // namespace k7350::test
