#include "pfc_designer/ProjectFile.h"

#include "platform/panels/ArrayFile.h"

#include <cmath>
#include <vector>

namespace k7350 {

bool parseProject(std::string_view text, Slots& out, std::string& error) {
    if (text.size() > kMaxProjectBytes) {
        error = "the file is larger than 64 KiB";
        return false;
    }
    std::vector<double> v;
    if (!kv::panels::parseArrayText(text, v, error)) return false;
    if (v.size() < std::size_t(kUsedSlots)) {
        error = "it holds " + std::to_string(v.size()) + " numbers, a project has at least " +
                std::to_string(kUsedSlots);
        return false;
    }
    Slots s{};
    for (std::size_t i = 0; i < s.size() && i < v.size(); ++i) s[i] = v[i];
    s[kSlotTop] = std::trunc(s[kSlotTop]);
    s[kSlotLoad] = std::trunc(s[kSlotLoad]);
    if (s[kSlotTop] < 0 || s[kSlotTop] > 2) {
        error = "the compensation topology is not 0, 1 or 2";
        return false;
    }
    if (s[kSlotLoad] < 0 || s[kSlotLoad] > 1) {
        error = "the load type is not 0 or 1";
        return false;
    }
    s[kSlotZcd] = s[kSlotZcd] != 0 ? 1 : 0;
    out = s;
    return true;
}

} // namespace k7350
