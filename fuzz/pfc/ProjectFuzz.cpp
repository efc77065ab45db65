// The K7350 project-file reader on arbitrary bytes.
#include "pfc_designer/ProjectFile.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    k7350::Slots s{};
    std::string error;
    const bool ok = k7350::parseProject(std::string_view(reinterpret_cast<const char*>(data), size), s, error);
    if (ok) {
        for (double v : s)
            if (!std::isfinite(v)) std::abort();
        if (s[k7350::kSlotTop] != 0 && s[k7350::kSlotTop] != 1 && s[k7350::kSlotTop] != 2) std::abort();
        if (s[k7350::kSlotLoad] != 0 && s[k7350::kSlotLoad] != 1) std::abort();
        if (s[k7350::kSlotZcd] != 0 && s[k7350::kSlotZcd] != 1) std::abort();
    } else if (error.empty()) {
        std::abort();
    }
    return 0;
}
