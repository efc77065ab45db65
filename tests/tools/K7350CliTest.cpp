// k7350-cli's actions, as the command line and the fuzz walker run them.
#include "pfc_designer/Program.h"
#include "platform/panels/HeadlessHost.h"
#include "tools/K7350Cli.h"

#include <gtest/gtest.h>

namespace kv::tools {
namespace {

using namespace kv::panels;

TEST(K7350Actions, EscapeTakesNoValueAndEveryOtherActionOne) {
    std::vector<PanelAction> a;
    std::string err;
    ASSERT_TRUE(parsePanelActions({"--commit", "18:calcola", "--escape", "--set", "23:8=470"}, a, err)) << err;
    ASSERT_EQ(a.size(), 3u);
    EXPECT_EQ(a[1].kind, "--escape");
    EXPECT_EQ(a[1].arg, "");
    EXPECT_EQ(a[2].arg, "23:8=470");

    a.clear();
    EXPECT_FALSE(parsePanelActions({"--set"}, a, err));
    EXPECT_EQ(err, "missing value after --set");
    EXPECT_FALSE(parsePanelActions({"--press", "1"}, a, err));
    EXPECT_EQ(err, "unknown action --press");
    EXPECT_FALSE(parsePanelActions({"--answer", "maybe"}, a, err));
}

TEST(K7350Actions, EscapeClosesThePanelOnTopButNeverTheMainPanel) {
    HeadlessHost host;
    k7350::resetProgram();
    setHost(&host);
    setResourceDir(KV_SOURCE_DIR "/pfc_designer");
    registerCallbacks(k7350::callbackTable());
    bool currentsShown = false, currentsAfterEsc = true, mainAfterEsc = false;
    std::vector<std::string> notes;
    host.script = [&] {
        PanelRun run{host, {}, {}, {}};
        ASSERT_TRUE(run.act({"--commit", "18:calcola"})) << run.error;
        currentsShown = run.panelOf(22)->visible;
        ASSERT_TRUE(run.act({"--escape", ""})) << run.error;
        currentsAfterEsc = run.panelOf(22)->visible;
        ASSERT_TRUE(run.act({"--escape", ""})) << run.error;
        mainAfterEsc = run.panelOf(18)->visible;
        // A dimmed button does nothing and says so.
        ASSERT_TRUE(run.act({"--commit", "18:12"})) << run.error;
        notes = run.notes;
        EXPECT_FALSE(run.act({"--commit", "18:nothing"}));
        EXPECT_EQ(run.error, "unknown control 18:nothing");
    };
    k7350::run();
    k7350::resetProgram();
    setHost(nullptr);
    EXPECT_TRUE(currentsShown);
    EXPECT_FALSE(currentsAfterEsc);
    EXPECT_TRUE(mainAfterEsc);
    EXPECT_FALSE(notes.empty());
}

} // namespace
} // namespace kv::tools
