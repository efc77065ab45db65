#include "tools/FormulaCommand.h"

#include "platform/ui/Dialog.h"
#include "script/FormulaCli.h"
#include "tools/Json.h"

#include <charconv>
#include <cmath>

namespace kv::tools {
namespace {

// Shortest text that reads back to the same single-precision number.
std::string roundTrip(float v) {
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return ec == std::errc() ? std::string(buf, end) : std::string("null");
}

} // namespace

int runFormulaCommand(const std::string& file,
                      const std::vector<std::pair<std::string, std::string>>& presets,
                      std::string& out, std::string& err) {
    const script::FormulaCliResult r = script::runFormulaFile(file, presets);
    if (!r.error.empty()) {
        err = r.error + "\n";
        return 2;
    }
    out = std::string("{\"returned\": ") + (r.returned ? "true" : "false") + ",\n \"fields\": {";
    for (size_t i = 0; i < r.fields.size(); ++i) {
        const auto& [name, value] = r.fields[i];
        out += (i ? ", " : "") + jsonString(name) + ": ";
        // JSON has no infinities: a result that is not finite shows as null.
        out += std::isfinite(value) ? roundTrip(value) : std::string("null");
    }
    out += "},\n \"messages\": [";
    for (size_t i = 0; i < r.reports.size(); ++i) {
        const script::Report& m = r.reports[i];
        out += (i ? ", " : "");
        out += "{\"caption\": " + jsonString(m.caption) + ", \"text\": " + jsonString(m.text) +
               ", \"icon\": \"" + iconText(m.icon) + "\"}";
    }
    out += "]}\n";
    return 0;
}

} // namespace kv::tools
