#include "pfc_designer/ProjectFile.h"

#include "pfc_designer/PfcCalc.h"
#include "platform/panels/ArrayFile.h"

#include <cmath>

namespace k7350 {

bool parseProject(std::string_view text, Project& out, std::string& error) {
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
    Project p;
    Slots& s = p.slot;
    for (std::size_t i = 0; i < s.size() && i < v.size(); ++i) s[i] = v[i];
    s[kSlotTop] = std::trunc(s[kSlotTop]);
    s[kSlotLoad] = std::trunc(s[kSlotLoad]);
    if (s[kSlotTop] < kTopC1 || s[kSlotTop] > kTopR1C1C2) {
        error = "the compensation topology is not 0, 1 or 2";
        return false;
    }
    if (s[kSlotLoad] != kConstantPowerLoad && s[kSlotLoad] != kResistiveLoad) {
        error = "the load type is not 0 or 1";
        return false;
    }
    s[kSlotZcd] = s[kSlotZcd] != kZcdWinding ? kZcdRcNetwork : kZcdWinding;
    // Numbers after the slots without the tag belong to no layout of ours: an
    // older reader never looked at them, and neither do we.
    if (v.size() > std::size_t(kSlots) && v[kSlots] == kMoreTag) {
        const std::size_t head = kSlots + 2;
        const double n = v.size() > kSlots + 1 ? v[kSlots + 1] : -1;
        if (!(n >= 0 && n <= kMaxMoreValues && n == std::trunc(n))) {
            error = "the count of the values after line 100 is not a whole number from 0 to " +
                    std::to_string(kMaxMoreValues);
            return false;
        }
        if (v.size() < head + std::size_t(n)) {
            error = "line 102 announces " + std::to_string(int(n)) + " more values, the file holds " +
                    std::to_string(v.size() - head);
            return false;
        }
        p.more.assign(v.begin() + head, v.begin() + head + std::ptrdiff_t(n));
    }
    out = std::move(p);
    return true;
}

std::vector<double> projectNumbers(const Project& p) {
    std::vector<double> v(p.slot.begin(), p.slot.end());
    v.push_back(kMoreTag);
    v.push_back(double(p.more.size()));
    v.insert(v.end(), p.more.begin(), p.more.end());
    return v;
}

} // namespace k7350
