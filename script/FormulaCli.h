// The formula checker behind `korvane-cli formula FILE [--set NAME=VALUE]...`.
#pragma once

#include "script/Reporter.h"

#include <string>
#include <utility>
#include <vector>

namespace kv::script {

struct FormulaCliResult {
    bool returned = false;                           // what the runner returned
    std::vector<std::pair<std::string, float>> fields; // every bound field, table order
    std::string error; // a malformed preset (the file was not run); empty otherwise
    std::vector<Report> reports; // the runner's messages, in order
};

// Runs the formula file `path` against a field set of the binding table its
// name selects: fields named in `presets` (name, number text) start with that
// value, the others with 0.
FormulaCliResult runFormulaFile(const std::string& path,
                                const std::vector<std::pair<std::string, std::string>>& presets);

} // namespace kv::script
