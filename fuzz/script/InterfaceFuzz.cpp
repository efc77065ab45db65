// Interface files of any bytes: checked all or nothing, never a crash.
#include "platform/ui/headless/HeadlessBackend.h"
#include "script/InterfaceLoader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static kv::ui::HeadlessBackend hb;
    kv::ui::setBackend(&hb);
    hb.messages.clear();
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    bytes = bytes.substr(0, bytes.find('#'));
    std::vector<kv::script::InterfaceLoader::Entry> entries;
    const int count = 40;
    static kv::script::BoxReporter boxes;
    bool ok = kv::script::InterfaceLoader(boxes).parse(bytes, count, entries);
    if (ok != hb.messages.empty()) std::abort();
    for (const auto& e : entries)
        if (e.number < 1 || e.number > count) std::abort();
    if (!ok && !entries.empty()) std::abort();
    return 0;
}
