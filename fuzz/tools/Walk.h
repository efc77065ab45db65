// What both walkers share: the bytes they decode, the value dictionary typed
// into fields, the check for numbers that are not numbers, the scratch folder
// and the fault report with the command line that replays it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kv::walk {

// The input, read one byte at a time; 0 once it is used up.
class Bytes {
public:
    Bytes(const std::uint8_t* p, std::size_t n) : p_(p), n_(n) {}
    bool empty() const { return n_ == 0; }
    std::uint8_t next() {
        if (!n_) return 0;
        --n_;
        return *p_++;
    }
    // One of `count` choices (count > 0).
    std::size_t pick(std::size_t count) { return next() % count; }

private:
    const std::uint8_t* p_;
    std::size_t n_;
};

// At most this many user actions per input, nested windows included.
constexpr int kMaxActions = 40;

// What a user types: negative, zero, tiny, huge, ordinary, not a number,
// empty, very long.
const std::vector<std::string>& typedValues();

// True when `text` shows "nan" or "inf" as a word (any case, "-nan" too).
bool showsNonNumber(const std::string& text);

// A scratch folder of the process's own; reset() empties it and copies
// `seedFiles` in again before each input.
class Scratch {
public:
    explicit Scratch(std::vector<std::string> seedFiles);
    ~Scratch();
    const std::string& path() const { return path_; }
    void reset();

private:
    std::string path_;
    std::vector<std::string> seeds_;
};

// Prints the fault and the command line that replays it, then traps.
[[noreturn]] void fault(const std::string& what, const std::string& commandLine);

// A watchdog on the process's CPU time: an action that runs longer than
// `seconds` prints `commandLine` (kept up to date by the caller) and aborts.
void armWatchdog(const std::string* commandLine, int seconds);
void disarmWatchdog();

// Words joined for a shell, quoted where needed.
std::string shellLine(const std::vector<std::string>& words);

} // namespace kv::walk
