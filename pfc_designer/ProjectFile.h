// The project file: 100 numbers, one per line, then a section that a reader
// of the 100 numbers leaves alone.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace k7350 {

constexpr int kSlots = 100;
constexpr int kUsedSlots = 41;          // 0 … 40 carry the design
constexpr int kFieldWidth = 10;
constexpr std::size_t kMaxProjectBytes = 64 * 1024;
constexpr int kSlotZcd = 21, kSlotLoad = 29, kSlotTop = 30;
using Slots = std::array<double, kSlots>;

// After the slots: the tag, the count of values that follow, the values.
// A later layout appends values and keeps the tag; a reader takes the values
// it knows and leaves the rest.
constexpr double kMoreTag = 73501;
enum MoreValue {
    MORE_ML, MORE_AE, MORE_GAP, MORE_RIP, MORE_THOLD, MORE_VOMIN, MORE_DELTA,
    MORE_MATERIAL, MORE_SHAPE, MORE_AMBIENT, // the inductor's loss inputs (rings as indices)
    kMoreValues
};
constexpr int kMaxMoreValues = 1000;

struct Project {
    // The 100 slots (not "slots": Qt's headers make that word a macro).
    Slots slot{};
    // The values the file holds after its slots (none in an older file).
    std::vector<double> more;
};

// Checks a whole file before anything is used: at most 64 KiB, at least 41
// numbers, each line a finite decimal number, a topology of 0, 1 or 2 and a
// load of 0 or 1 (after truncation), and a section after the slots that is
// whole when it is there. Missing slots 41 … 99 become 0, the topology and
// load are truncated and the ZCD choice becomes 0 or 1.
bool parseProject(std::string_view text, Project& out, std::string& error);

// The numbers of a project file, in file order.
std::vector<double> projectNumbers(const Project& p);

} // namespace k7350
