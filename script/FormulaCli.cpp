#include "script/FormulaCli.h"

#include "script/Bindings.h"
#include "script/FieldTarget.h"
#include "script/FormulaRunner.h"

#include <charconv>
#include <cmath>

namespace kv::script {
namespace {

// The whole text, blanks around it allowed, must be a finite number.
bool parseValue(const std::string& text, float& v) {
    std::size_t b = text.find_first_not_of(" \t");
    std::size_t e = text.find_last_not_of(" \t");
    if (b == std::string::npos) return false;
    const char* first = text.data() + b;
    const char* last = text.data() + e + 1;
    if (*first == '+') ++first;
    auto [ptr, ec] = std::from_chars(first, last, v);
    return ec == std::errc() && ptr == last && std::isfinite(v);
}

} // namespace

FormulaCliResult runFormulaFile(const std::string& path,
                                const std::vector<std::pair<std::string, std::string>>& presets) {
    FormulaCliResult result;
    const BindingTable* table = bindingTableForFile(path);
    FieldStore store;
    for (const auto& [name, text] : presets) {
        const Binding* b = table ? table->lookup(name) : nullptr;
        if (!b) {
            result.error = table ? "unknown field \"" + name + "\" for this formula file"
                                 : "\"" + path + "\" is not a formula file name of any designer";
            return result;
        }
        float v = 0.0f;
        if (!parseValue(text, v)) {
            result.error = "\"" + text + "\" is not a number (field " + name + ")";
            return result;
        }
        store.set(b->control, v);
    }
    ReportList reports;
    result.returned = FormulaRunner(reports).run(path, store);
    result.reports = std::move(reports.reports);
    if (table)
        for (const Binding& b : table->rows) result.fields.emplace_back(std::string(b.name), store.get(b.control));
    return result;
}

} // namespace kv::script
