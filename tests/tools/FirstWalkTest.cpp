// A newcomer's first hour in a new program folder: every launcher button,
// every page and designer with its defaults, pressed in the order a user
// would. Nothing the user did not cause may speak up, and the first
// computation of every designer gives its built-in results.
#include "tests/common/CliRun.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <sstream>

using kv::test::readFile;

namespace {

struct FirstWalk : kv::test::CliRun {
    // korvane-cli in a new folder holding nothing but the core workbook.
    int fresh(const std::string& args) {
        const std::filesystem::path folder = dir.path() / ("walk" + std::to_string(++runs));
        std::filesystem::create_directory(folder);
        std::filesystem::copy_file(std::filesystem::path(KV_SOURCE_DIR) / "data" / "CoreList.xls", folder / "CoreList.xls");
        std::vector<std::string> argv = {"--dir", folder.string()};
        std::istringstream words(args);
        for (std::string w; words >> w;) argv.push_back(w);
        return run(argv);
    }
    // The messages of the last run, as printed.
    std::string messages() const {
        const auto at = out.find("\"messages\": [");
        if (at == std::string::npos) return "(none printed)";
        return out.substr(at, out.find("]", at) - at + 1);
    }
    // The text of control `id` in the last run's output.
    std::string text(int id) const {
        const std::string key = "\"" + std::to_string(id) + "\": {\"text\": \"";
        const auto at = out.find(key);
        if (at == std::string::npos) return "(no control)";
        const auto from = at + key.size();
        return out.substr(from, out.find('"', from) - from);
    }
    int runs = 0;
};

} // namespace

TEST_F(FirstWalk, EveryLauncherButtonOpensWithoutANotice) {
    for (const char* args : {
             "102",
             "102 --press 1016",
             "102 --on 253 --check 1355=1 --press 1 --end --press 1015",
             "102 --on 253 --check 1356=1 --press 1 --end --press 1015",
             "102 --on 253 --press 1 --end --press 1015",
             "102 --on 253 --check 1358=1 --press 1 --end --press 1015",
             "102 --press 1006",
             "102 --press 1008",
             "102 --press 1187",
             "102 --press 1017",
             "102 --press 1002",
             "102 --press 1014",
             "102 --press 57671",
             "102 --press 1186",
             "102 --sys 16",
             "102 --click 50,128",
         }) {
        ASSERT_EQ(fresh(args), 0) << args << ": " << err;
        EXPECT_EQ(messages(), "\"messages\": []") << args;
    }
}

TEST_F(FirstWalk, EveryDesignerAndPageComputesItsDefaultsWithoutANotice) {
    for (const char* args : {
             // classic designers, each mode, estimate then a typed core
             "129 --press 3 --set 1029=52.5 --set 1031=57.5 --press 4 --press 1047",
             "129 --select 1035=1 --press 3 --set 1029=52.5 --set 1031=57.5 --press 4 --press 1047",
             "130 --press 1096 --set 1046=127 --press 1095",
             "135 --press 3",
             "136 --press 3",
             "137 --press 3",
             "134 --press 3",
             "165 --press 3",
             "165 --select 1084=1 --press 3",
             "165 --select 1083=2 --press 3",
             "165 --select 1083=2 --select 1084=1 --press 3",
             // the graphical flyback, a parameter dialog, the background and the font
             "238 --click 20,70 --click 700,25 --press 1347 --press 1348",
             // toolbox pages
             "224 --press 1000", "231 --press 1000", "233 --press 1000", "234 --press 1000",
             "228 --press 1000", "229 --press 1000", "222 --press 1000", "261 --press 1328",
             "235 --press 1328", "220", "262",
             "257 --row 1436=0", "257 --row 1436=1", "257 --row 1436=2", "257 --row 1436=4", "257 --row 1436=5",
             // loop pages
             "106 --press 1000", "107 --press 1000 --press 1001", "205 --press 1235",
             // controller designers
             "282 --press 1444 --press 1446", "297 --press 1466", "281 --press 1416", "271", "276",
             "280 --press 1416", "295 --press 1363", "294 --press 1",
         }) {
        ASSERT_EQ(fresh(args), 0) << args << ": " << err;
        EXPECT_EQ(messages(), "\"messages\": []") << args;
    }
}

TEST_F(FirstWalk, TheFirstComputationOfEveryModeGivesTheBuiltInResults) {
    // Started by the launcher, as a user starts it: every file holds the mark.
    ASSERT_EQ(fresh("102"), 0) << err;
    const std::filesystem::path folder = dir.path() / "walk1";
    for (const char* f : {"CCM反激变换器 cfg.txt", "DCM反激变换器 cfg.txt", "Flyback Interface.txt", "RCC cfg.txt"})
        EXPECT_EQ(readFile(folder / f), "#") << f;
    struct Case {
        std::string args;
        int result; // a result control that the computation fills
    };
    for (const Case& c : std::vector<Case>{
             {"129 --press 3", 1049},                                        // CCM core volume
             {"129 --set 1029=52.5 --set 1031=57.5 --press 4", 1022},        // CCM primary inductance
             {"129 --select 1035=1 --set 1029=52.5 --set 1031=57.5 --press 4", 1022},
             {"134 --press 3", 1091},
             {"165 --press 3", 1031},
         }) {
        std::vector<std::string> argv = {"--dir", folder.string()};
        std::istringstream words(c.args);
        for (std::string w; words >> w;) argv.push_back(w);
        ASSERT_EQ(run(argv), 0) << c.args << ": " << err;
        EXPECT_EQ(messages(), "\"messages\": []") << c.args;
        const std::string shown = text(c.result);
        EXPECT_FALSE(shown.empty() || shown == "0" || shown == "(no control)") << c.args << ": " << shown;
        EXPECT_NE(out.find("公式:内置>"), std::string::npos) << c.args;
    }
    // Files the user already has are never touched.
    EXPECT_EQ(readFile(folder / "CCM反激变换器 cfg.txt"), "#");
}
