// The project file: 100 numbers, one per line.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace k7350 {

constexpr int kSlots = 100;
constexpr int kUsedSlots = 41;          // 0 … 40 carry the design
constexpr int kFieldWidth = 10;
constexpr std::size_t kMaxProjectBytes = 64 * 1024;
constexpr int kSlotZcd = 21, kSlotLoad = 29, kSlotTop = 30;
using Slots = std::array<double, kSlots>;

// Checks a whole file before anything is used: at most 64 KiB, at least 41
// numbers, each line a finite decimal number, a topology of 0, 1 or 2 and a
// load of 0 or 1 (after truncation). Missing slots 41 … 99 become 0, the
// topology and load are truncated and the ZCD choice becomes 0 or 1.
bool parseProject(std::string_view text, Slots& out, std::string& error);

} // namespace k7350
