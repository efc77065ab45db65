// The K7350 project-file reader on arbitrary bytes.
#include "pfc_designer/ProjectFile.h"
#include "platform/panels/ArrayFile.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    k7350::Project p;
    std::string error;
    const bool ok = k7350::parseProject(std::string_view(reinterpret_cast<const char*>(data), size), p, error);
    if (!ok) {
        if (error.empty()) std::abort();
        return 0;
    }
    const k7350::Slots& s = p.slot;
    for (double v : s)
        if (!std::isfinite(v)) std::abort();
    if (s[k7350::kSlotTop] != 0 && s[k7350::kSlotTop] != 1 && s[k7350::kSlotTop] != 2) std::abort();
    if (s[k7350::kSlotLoad] != 0 && s[k7350::kSlotLoad] != 1) std::abort();
    if (s[k7350::kSlotZcd] != 0 && s[k7350::kSlotZcd] != 1) std::abort();
    if (p.more.size() > std::size_t(k7350::kMaxMoreValues)) std::abort();
    for (double v : p.more)
        if (!std::isfinite(v)) std::abort();
    // What the program writes of it reads back the same.
    std::string text;
    for (double v : k7350::projectNumbers(p)) text += kv::panels::formatArrayNumber(v, k7350::kFieldWidth) + "\n";
    k7350::Project again;
    if (!k7350::parseProject(text, again, error)) {
        // Only a file grown past the size limit may fail.
        if (text.size() <= k7350::kMaxProjectBytes) std::abort();
        return 0;
    }
    if (again.slot != p.slot || again.more != p.more) std::abort();
    return 0;
}
