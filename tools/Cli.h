// korvane-cli: runs any window of the program headless, drives it with
// actions and prints its state as one JSON object.
#pragma once

#include <string>
#include <vector>

namespace kv::tools {

// Returns the exit code: 0 when every action ran, 2 with a message in `err`
// for an unknown template, control or malformed action.
int runCli(const std::vector<std::string>& args, std::string& out, std::string& err);

extern const char* const kCliUsage;

} // namespace kv::tools
