// The panel run-time on its own: values, dimming, quitting, graphs, popups,
// files, and the resource parser.
#include "platform/panels/ArrayFile.h"
#include "platform/panels/HeadlessHost.h"
#include "platform/panels/Panels.h"
#include "platform/panels/Uir.h"
#include "platform/ui/Dialog.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>

namespace {

using namespace kv::panels;

int g_commits = 0, g_lastCtrl = 0;
int countCommit(int, int control, int event, void*, int, int) {
    if (event == EVENT_COMMIT) {
        ++g_commits;
        g_lastCtrl = control;
    }
    return 0;
}
int quitNow(int, int, int, void*, int, int) {
    QuitUserInterface(0);
    ++g_commits; // still runs to its end
    return 0;
}

const char* kPanels = R"(# test panels
PANEL 1 200 100 "one" close=3
  NUMERIC 2 60 10 40 12 "" label="x" unit="V" callback=count value=1.5
  BUTTON 3 10 40 40 14 "Close" callback=quit
  BUTTON 4 60 40 40 14 "Go" callback=count dimmed
  RING 5 60 60 60 50 "" items="a|b|c" callback=count int
  GRAPH 6 10 70 100 30 "g"
END
)";

class Panels : public ::testing::Test {
protected:
    kv::test::TempDir dir;
    HeadlessHost host;
    int h = 0;
    void SetUp() override {
        resetRuntime();
        setHost(&host);
        static const CallbackEntry table[] = {{"count", countCommit}, {"quit", quitNow}};
        registerCallbacks(table);
        std::ofstream("t.uir") << kPanels;
        setResourceDir(dir.path().string());
        h = LoadPanel(0, "t.uir", 1);
        ASSERT_GT(h, 0);
        DisplayPanel(h);
        g_commits = 0;
    }
    void TearDown() override {
        resetRuntime();
        setHost(nullptr);
    }
};

TEST_F(Panels, ValuesAreStoredWholeAndShownWithDashesWhenNotFinite) {
    double v = 0;
    GetCtrlVal(h, 2, &v);
    EXPECT_EQ(v, 1.5);
    SetCtrlVal(h, 2, std::numeric_limits<double>::infinity()); // no clamping, no callback
    EXPECT_EQ(panel(h)->find(2)->text(), "---");
    SetCtrlVal(h, 2, 0.1 + 0.2);
    GetCtrlVal(h, 2, &v);
    EXPECT_EQ(v, 0.1 + 0.2);
    EXPECT_EQ(g_commits, 0);
    EXPECT_EQ(panel(h)->find(2)->text(), "0.3");
    // Typed text is read in the C locale; a text that is no number is refused.
    EXPECT_EQ(userSetText(h, 2, " 2.25 "), UserResult::Done);
    EXPECT_EQ(g_commits, 1);
    EXPECT_EQ(userSetText(h, 2, "2,5"), UserResult::NotANumber);
    EXPECT_EQ(userSetText(h, 2, "inf"), UserResult::NotANumber);
    GetCtrlVal(h, 2, &v);
    EXPECT_EQ(v, 2.25);
    EXPECT_EQ(g_commits, 1);
    // Integer controls keep whole numbers.
    userSet(h, 5, 2.9);
    int i = 0;
    GetCtrlVal(h, 5, &i);
    EXPECT_EQ(i, 2);
    EXPECT_EQ(g_lastCtrl, 5);
    SetCtrlVal(h, 5, 1e300); // no such entry: the ring shows none
    EXPECT_EQ(panel(h)->dialog->selected(1005), -1);
    SetCtrlVal(h, 5, 1);
    EXPECT_EQ(panel(h)->dialog->selected(1005), 1);
    EXPECT_EQ(GetCtrlVal(h, 99, &v), UIEBadControl);
    EXPECT_EQ(SetCtrlVal(h + 5, 2, 1.0), UIEBadPanel);
}

TEST_F(Panels, DimmedControlsAndPanelsFireNothingAndUndimmingRestores) {
    EXPECT_EQ(userCommit(h, 4), UserResult::Dimmed);
    SetCtrlAttribute(h, 4, ATTR_DIMMED, 0);
    SetCtrlAttribute(h, 2, ATTR_DIMMED, 1);
    SetPanelAttribute(h, ATTR_DIMMED, 1);
    EXPECT_EQ(userCommit(h, 4), UserResult::Dimmed);
    SetPanelAttribute(h, ATTR_DIMMED, 0);
    EXPECT_EQ(userCommit(h, 4), UserResult::Done);
    EXPECT_EQ(userSet(h, 2, 3), UserResult::Dimmed); // its own state came back
    EXPECT_FALSE(panel(h)->dialog->enabled(1002));
    EXPECT_TRUE(panel(h)->dialog->enabled(1004));
    EXPECT_EQ(g_commits, 1);
    // A hidden panel is read and written, but nobody can operate it.
    SetPanelAttribute(h, ATTR_VISIBLE, 0);
    EXPECT_EQ(SetCtrlVal(h, 2, 7.0), 0);
    EXPECT_EQ(userCommit(h, 4), UserResult::Hidden);
}

TEST_F(Panels, QuitTakesEffectAfterTheCallbackAndHidesEveryPanel) {
    host.script = [&] {
        userClose(h); // the close box commits control 3
        EXPECT_EQ(g_commits, 1);
        EXPECT_TRUE(host.quitCalled);
    };
    RunUserInterface();
    EXPECT_FALSE(panel(h)->visible);
}

TEST_F(Panels, GraphsPopupsAndFiles) {
    const double y[] = {1, 2, 3};
    const int p1 = PlotY(h, 6, y, 3, VAL_DOUBLE, VAL_THIN_LINE, 0, VAL_SOLID, 1, VAL_RED);
    const int p2 = PlotY(h, 6, y, 3, VAL_DOUBLE, VAL_FAT_LINE, 0, VAL_SOLID, 1, VAL_BLACK);
    const auto& g = *panel(h)->find(6)->plot;
    ASSERT_EQ(g.series().size(), 2u);
    EXPECT_GT(g.series()[1].width, g.series()[0].width);
    DeleteGraphPlot(h, 6, p1, VAL_IMMEDIATE_DRAW);
    ASSERT_EQ(g.series().size(), 1u);
    EXPECT_EQ(g.series()[0].handle, p2);
    EXPECT_EQ(PlotY(h, 2, y, 3, VAL_DOUBLE, 0, 0, 0, 1, 0), UIEBadControl);
    DeleteGraphPlot(h, 6, VAL_DELETE_ALL, VAL_IMMEDIATE_DRAW);
    EXPECT_TRUE(g.series().empty());

    host.backend.answers = {kv::ui::IdYes};
    MessagePopup("T", "a\nb");
    EXPECT_EQ(ConfirmPopup("Q", "sure?"), 1); // the message did not take the "yes"
    EXPECT_EQ(ConfirmPopup("Q", "again?"), 0);
    host.backend.answers = {kv::ui::IdCancel};
    EXPECT_EQ(ConfirmCancelPopup("Q", "save?"), -1);
    ASSERT_EQ(popups().size(), 4u);
    EXPECT_EQ(popups()[0].text, "a\nb");
    EXPECT_EQ(popups()[1].answer, "yes");
    EXPECT_EQ(popups()[3].answer, "cancel");
    // They are the backend's message boxes, owned by the panel on top: a
    // message without an icon, questions with Yes and No (and Cancel).
    const auto& boxes = host.backend.messages;
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].caption, "T");
    EXPECT_EQ(boxes[0].owner, 1);
    EXPECT_EQ(boxes[0].icon, kv::ui::Icon::None);
    EXPECT_EQ(boxes[0].buttons, kv::ui::Buttons::Ok);
    EXPECT_EQ(boxes[1].icon, kv::ui::Icon::Question);
    EXPECT_EQ(boxes[1].buttons, kv::ui::Buttons::YesNo);
    EXPECT_EQ(boxes[3].buttons, kv::ui::Buttons::YesNoCancel);
    std::string path;
    EXPECT_EQ(FileSelectPopup("", "*.ini", "*.ini;*.txt", "Load", VAL_LOAD_BUTTON, 0, 0, 1, 1, path),
              VAL_NO_FILE_SELECTED);
    host.backend.files = {"new.ini"};
    EXPECT_EQ(FileSelectPopup("", "*.ini", "*.ini", "Save", VAL_SAVE_BUTTON, 0, 0, 1, 1, path),
              VAL_NEW_FILE_SELECTED);
    EXPECT_EQ(path, "new.ini");
    // The file popups are the backend's file dialogs: the types offered and the
    // extension a typed name gets.
    const auto& asked = host.backend.fileRequests;
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_FALSE(asked[0].save);
    EXPECT_EQ(asked[0].title, "Load");
    EXPECT_EQ(asked[0].filter, "Project files (*.ini *.txt);;All files (*)");
    EXPECT_EQ(asked[0].defaultExt, "ini");
    EXPECT_TRUE(asked[1].save);

    EXPECT_EQ(SplitPathFileName("/a/b/c.ini"), "c.ini");
    EXPECT_EQ(SplitPathFileName("C:\\x\\y.txt"), "y.txt");
    EXPECT_EQ(formatArrayNumber(0, 10), "         0");
    EXPECT_EQ(formatArrayNumber(6.289308176100629, 10), "6.289308176100629");
    EXPECT_EQ(std::stod(formatArrayNumber(1.0 / 3, 10)), 1.0 / 3);
}

TEST(PanelResources, ParserRejectsBrokenFiles) {
    std::vector<PanelDef> out;
    std::string error;
    const char* broken[] = {
        "PANEL 1 10 10 \"a\"\n",                                      // no END
        "PANEL 1 10 10 \"a\"\nEND\nPANEL 1 10 10 \"b\"\nEND\n",       // duplicate panel
        "PANEL 1 10 10 \"a\"\n BUTTON 2 0 0 1 1 \"x\"\n BUTTON 2 0 0 1 1 \"y\"\nEND\n",
        "PANEL 1 10 10 \"a\" close=9\nEND\n",                          // close control missing
        "PANEL 1 10 10 \"a\"\n NUMERIC 2 0 0 1 1 \"\" value=nan\nEND\n",
        "PANEL 1 10 10 \"a\"\n BUTTON -1 0 0 1 1 \"x\"\nEND\n",       // only texts go unnamed
        "PANEL 1 10 10 \"a\n",                                         // open string
        "BUTTON 2 0 0 1 1 \"x\"\n",                                    // outside a panel
        "PANEL 1 99999 10 \"a\"\nEND\n",
    };
    for (const char* t : broken) {
        EXPECT_FALSE(parseUir(t, out, error)) << t;
        EXPECT_NE(error.find("line "), std::string::npos);
        EXPECT_TRUE(out.empty());
    }
}

} // namespace
