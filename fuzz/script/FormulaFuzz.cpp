// Formula texts of any bytes: the runner must refuse or run them, never crash.
#include "designers/Designers.h"
#include "platform/ui/headless/HeadlessBackend.h"
#include "script/FormulaRunner.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static kv::ui::HeadlessBackend hb;
    kv::ui::setBackend(&hb);
    // The classic designers' formula names, registered as at start-up.
    static const bool registered = (kv::designers::registerWindows(), true);
    (void)registered;
    hb.messages.clear();
    // the first byte picks one of the tables, or none
    const auto tables = kv::script::bindingTables();
    const kv::script::BindingTable* table = nullptr;
    if (size > 0) {
        std::size_t pick = data[0] % (tables.size() + 1);
        if (pick < tables.size()) table = &tables[pick];
        ++data;
        --size;
    }
    static kv::script::BoxReporter boxes;
    kv::script::FieldStore fields;
    kv::script::FormulaRunner(boxes).runText(
        std::string_view(reinterpret_cast<const char*>(data), size), table, fields);
    return 0;
}
