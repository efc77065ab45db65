#include "tools/FormulaCommand.h"

namespace kv::tools {

int runFormulaCommand(const std::string& file,
                      const std::vector<std::pair<std::string, std::string>>&,
                      ui::HeadlessBackend&, std::string&, std::string& err) {
    err = "formula: the formula engine is not in this build (" + file + ")\n";
    return 2;
}

} // namespace kv::tools
