// A fixture for korvane-cli runs in a fresh current folder: the printed
// output and errors of the last run.
#pragma once

#include "tests/common/TempDir.h"
#include "tools/Cli.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kv::test {

struct CliRun : ::testing::Test {
    TempDir dir;
    std::string out, err;
    int run(std::vector<std::string> args) {
        out.clear();
        err.clear();
        return tools::runCli(args, out, err);
    }
    bool has(const std::string& s) const { return out.find(s) != std::string::npos; }
};

} // namespace kv::test
