// Recorded korvane-cli runs of the classic designers and the toolbox pages:
// every run must print what it printed when it was recorded. Re-record with
// tests/golden/record.sh BUILD_DIR after a change meant to alter an output.
#include "app/App.h"
#include "script/DesignerFiles.h"
#include "tests/common/TempDir.h"
#include "tools/Cli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

const std::filesystem::path kHere = std::filesystem::path(KV_SOURCE_DIR) / "tests/golden";

struct Recorded {
    std::string name;
    std::vector<std::string> args;
    std::string formula; // text of the CCM formula file, or empty
};

std::string trim(const std::string& s) {
    const auto b = s.find_first_not_of(' ');
    const auto e = s.find_last_not_of(' ');
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// "\r" and "\n" in a formula field stand for the bytes.
std::string unescape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == 'r' || s[i + 1] == 'n')) {
            out += s[++i] == 'r' ? '\r' : '\n';
        } else {
            out += s[i];
        }
    }
    return out;
}

std::vector<Recorded> runs() {
    std::vector<Recorded> out;
    std::ifstream f(kHere / "runs.txt");
    std::string line;
    while (std::getline(f, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> parts;
        std::size_t at = 0;
        for (int k = 0; k < 2; ++k) {
            const std::size_t bar = line.find('|', at);
            parts.push_back(line.substr(at, bar == std::string::npos ? std::string::npos : bar - at));
            at = bar == std::string::npos ? line.size() : bar + 1;
        }
        Recorded r;
        r.name = trim(parts[0]);
        std::istringstream words(parts[1]);
        for (std::string w; words >> w;) r.args.push_back(w);
        if (at < line.size()) r.formula = unescape(trim(line.substr(at)));
        out.push_back(std::move(r));
    }
    return out;
}

} // namespace

TEST(GoldenRuns, EveryRecordedRunPrintsTheSame) {
    const std::vector<Recorded> all = runs();
    ASSERT_GE(all.size(), 12u);
    kv::app::registerAll(); // the classic designers' files, as korvane-cli knows them
    for (const Recorded& r : all) {
        kv::test::TempDir dir;
        std::filesystem::copy_file(std::filesystem::path(KV_SOURCE_DIR) / "data/CoreList.xls", "CoreList.xls");
        for (std::string_view f : kv::script::allScriptFiles()) kv::test::writeFile(std::string(f), "#");
        if (!r.formula.empty()) kv::test::writeFile("CCM反激变换器 cfg.txt", r.formula);
        std::string out, err;
        ASSERT_EQ(kv::tools::runCli(r.args, out, err), 0) << r.name << ": " << err;
        EXPECT_EQ(out, kv::test::readFile(kHere / "runs" / (r.name + ".json"))) << r.name;
    }
}
