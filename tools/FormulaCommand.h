// korvane-cli formula FILE [--set NAME=VALUE]...: checks a formula file
// against the binding table its name selects.
#pragma once

#include "platform/ui/headless/HeadlessBackend.h"

#include <string>
#include <utility>
#include <vector>

namespace kv::tools {

int runFormulaCommand(const std::string& file,
                      const std::vector<std::pair<std::string, std::string>>& presets,
                      std::string& out, std::string& err);
std::string messagesJson(const std::vector<ui::RecordedMessage>& messages);

} // namespace kv::tools
