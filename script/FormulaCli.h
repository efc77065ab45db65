// The formula checker behind `korvane-cli formula FILE [--set NAME=VALUE]...`.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kv::script {

struct FormulaCliResult {
    bool returned = false;                           // what the runner returned
    std::vector<std::pair<std::string, float>> fields; // every bound field, table order
    std::string error; // a malformed preset (the file was not run); empty otherwise
};

// Runs the formula file `path` against a field set of the binding table its
// name selects: fields named in `presets` (name, number text) start with that
// value, the others with 0. Messages go to the current backend.
FormulaCliResult runFormulaFile(const std::string& path,
                                const std::vector<std::pair<std::string, std::string>>& presets);

} // namespace kv::script
