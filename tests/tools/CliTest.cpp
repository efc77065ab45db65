#include "tools/Cli.h"

#include "tests/common/CliRun.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

using kv::test::readFile;
using kv::test::writeFile;

namespace {
using Cli = kv::test::CliRun;
} // namespace

TEST_F(Cli, LauncherStateAsJson) {
    ASSERT_EQ(run({"102"}), 0) << err;
    EXPECT_TRUE(has("\"template\": 102, \"title\": \"KORVANE  V9.7 \""));
    EXPECT_TRUE(has("\"1015\": {\"text\": \"反激\", \"enabled\": true, \"visible\": true}"));
    EXPECT_TRUE(has("\"opened\": [102, 216]"));
    EXPECT_TRUE(has("{\"text\": \"Topology\", \"x\": 22, \"y\": 7, \"font\": \"华文行楷\", \"size\": 13, \"color\": \"#ff0000\"}"));
    EXPECT_TRUE(has("\"messages\": []"));
}

TEST_F(Cli, DirSelectsTheWorkingFolder) {
    std::filesystem::create_directory("prog");
    writeFile("prog/System.cfg", "1");
    ASSERT_EQ(run({"--dir", "prog", "102"}), 0) << err;
    EXPECT_TRUE(has("\"opened\": [102, 216, 218]"));
    EXPECT_EQ(readFile("prog/System.cfg"), "0");
    EXPECT_TRUE(std::filesystem::exists("prog/RCC cfg.txt"));
    EXPECT_FALSE(std::filesystem::exists("RCC cfg.txt"));
}

TEST_F(Cli, ScriptedChooserAndClicks) {
    ASSERT_EQ(run({"102", "--on", "253", "--check", "1358=1", "--press", "1", "--end", "--press", "1015",
                   "--click", "50,128"}),
              0)
        << err;
    // Mode 4 opens the quasi-resonant designer.
    EXPECT_TRUE(has("\"opened\": [102, 216, 253, 297, 100]"));
    EXPECT_TRUE(has("\"messages\": []"));
}

TEST_F(Cli, FontDialogThroughTheCommandLine) {
    ASSERT_EQ(run({"265", "--select", "1378=3", "--set", "1379=64", "--press", "1"}), 0) << err;
    EXPECT_EQ(readFile("System.cfg"), "0364&#");
    ASSERT_EQ(run({"265"}), 0);
    EXPECT_TRUE(has("\"1378\": {\"text\": \"宋体\", \"enabled\": true, \"visible\": true, \"items\": "
                    "[[\"黑体\"], [\"华文行楷\"], [\"楷体\"], [\"宋体\"]], \"selected\": 3}"));
    ASSERT_EQ(run({"--dir", ".", "265", "--set", "1379=5", "--answer", "ok", "--press", "1"}), 0);
    EXPECT_TRUE(has("\"text\": \"错误：字体大小超出范围!\", \"icon\": \"warning\", \"answer\": \"ok\""));
}

TEST_F(Cli, MalformedRunsExitTwoWithAMessage) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"999"},
        {"abc"},
        {"102", "--press", "4242"},
        {"102", "--set", "1016"},
        {"102", "--frobnicate", "1"},
        {"102", "--check", "1016=2"},
        {"102", "--on", "253", "--press", "1"},
        {"102", "--end"},
        {"102", "--answer", "maybe"},
        {"265", "--select", "1378=9"},
        {"102", "--click", "5"},
        {"--dir"},
        {"--dir", "/no/such/folder", "102"},
        {"formula"},
    };
    for (const auto& args : bad) {
        EXPECT_EQ(run(args), 2) << (args.empty() ? "(none)" : args[0]);
        EXPECT_FALSE(err.empty());
    }
}

TEST_F(Cli, CloseBoxAndEscLeaveAWindowWithoutItsChanges) {
    // A new System.cfg: the first schematic, the face and size the dialog
    // stores, the handshake slot's '#'.
    const std::string saved = "0364&#";
    for (const char* leave : {"--close", "--escape"}) {
        std::filesystem::remove("System.cfg");
        ASSERT_EQ(run({"265", "--select", "1378=3", "--set", "1379=64", leave}), 0) << err;
        EXPECT_NE(readFile("System.cfg"), saved) << leave;
    }
    // OK keeps the choice.
    ASSERT_EQ(run({"265", "--select", "1378=3", "--set", "1379=64", "--press", "1"}), 0) << err;
    EXPECT_EQ(readFile("System.cfg"), saved);
}

TEST_F(Cli, UnknownControlInsideAScriptIsReported) {
    EXPECT_EQ(run({"102", "--on", "253", "--press", "77", "--end", "--press", "1015"}), 2);
    EXPECT_NE(err.find("template 253 has no control 77"), std::string::npos);
}

TEST_F(Cli, WaitLetsTimersRun) {
    ASSERT_EQ(run({"216", "--wait", "300"}), 0);
    EXPECT_TRUE(has("\" (41)% ...\""));
    ASSERT_EQ(run({"236", "--wait", "50"}), 0);
    EXPECT_TRUE(has("\"1412\": {\"text\": \"\", \"enabled\": true, \"visible\": true, \"pos\": 30}"));
}

TEST_F(Cli, FormulaCheckerPrintsFieldsAndMessages) {
    writeFile("CCM反激变换器 cfg.txt", "Lp = pow(Vo, 2) / 3;\r\nNp = Lp / 0;\r\n#");
    ASSERT_EQ(run({"formula", "CCM反激变换器 cfg.txt", "--set", "Vo=6"}), 0) << err;
    EXPECT_TRUE(has("\"returned\": true"));
    EXPECT_TRUE(has("\"Vo\": 6,"));
    EXPECT_TRUE(has("\"Lp\": 12,")); // 6 x 6 / 3, written before the failing statement
    EXPECT_TRUE(has("\"caption\": \"计算出错\""));
    EXPECT_EQ(run({"formula", "CCM反激变换器 cfg.txt", "--set", "Vo"}), 2);
    EXPECT_EQ(run({"formula", "CCM反激变换器 cfg.txt", "--set", "Vo=abc"}), 2);
}

// Every printed number reads back to the single-precision value the runner stored.
TEST_F(Cli, FormulaFieldsReadBackExactly) {
    writeFile("CCM反激变换器 cfg.txt", "Np = 16777216;\r\nNs = Vo / 3;\r\nLp = 0.1 + 0.2;\r\nZc = -1 / 7000000;\r\n#");
    ASSERT_EQ(run({"formula", "CCM反激变换器 cfg.txt", "--set", "Vo=2"}), 0) << err;
    const auto number = [&](const std::string& name) {
        const std::size_t at = out.find("\"" + name + "\": ");
        EXPECT_NE(at, std::string::npos) << name;
        return std::strtof(out.c_str() + at + name.size() + 4, nullptr);
    };
    EXPECT_EQ(number("Np"), 16777216.0f);
    EXPECT_TRUE(has("\"Np\": 16777216,"));
    EXPECT_EQ(number("Ns"), 2.0f / 3.0f);
    EXPECT_EQ(number("Lp"), 0.1f + 0.2f);
    EXPECT_EQ(number("Zc"), -1.0f / 7000000.0f);
}

TEST_F(Cli, FlybackModesOpenTheirDesigners) {
    ASSERT_EQ(run({"102", "--on", "253", "--check", "1355=1", "--press", "1", "--end", "--press", "1015",
                   "--on", "253", "--check", "1356=1", "--press", "1", "--end", "--press", "1015"}),
              0)
        << err;
    EXPECT_TRUE(has("\"opened\": [102, 216, 253, 129, 253, 238]"));
}

TEST_F(Cli, FlybackDesignerThroughTheCommandLine) {
    writeFile("Flyback Interface.txt", "#");
    writeFile("CCM反激变换器 cfg.txt", "#");
    ASSERT_EQ(run({"129", "--set", "1029=52.5", "--set", "1031=57.5", "--press", "4"}), 0) << err;
    EXPECT_TRUE(has("\"title\": \"反激变换器 Flyback   <界面:系统   公式:内置>\""));
    EXPECT_TRUE(has("\"1034\": {\"text\": \"79\""));  // Np
    EXPECT_TRUE(has("\"1036\": {\"text\": \"6\""));   // Ns
    EXPECT_TRUE(has("\"opened\": [129, 217]"));
}
