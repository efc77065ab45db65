// The panel resource-file reader on arbitrary bytes.
#include "platform/panels/Uir.h"

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<kv::panels::PanelDef> panels;
    std::string error;
    if (!kv::panels::parseUir(std::string_view(reinterpret_cast<const char*>(data), size), panels, error)) {
        if (error.empty() || !panels.empty()) std::abort();
        return 0;
    }
    std::set<int> ids;
    for (const auto& p : panels) {
        if (!ids.insert(p.id).second) std::abort();
        std::set<int> ctrls;
        for (const auto& c : p.ctrls)
            if (c.id != -1 && !ctrls.insert(c.id).second) std::abort();
        if (p.closeCtrl != -1 && !ctrls.count(p.closeCtrl)) std::abort();
    }
    return 0;
}
