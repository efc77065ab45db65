// What a pure calculation reports besides its results: a stop (nothing is
// shown; the window shows the message of the code) or notices (shown, the
// results stand), and the message table that gives each code its text. No
// window types here: the *Calc files return these.
#pragma once

#include <cmath>
#include <type_traits>
#include <vector>

namespace kv::form {

struct Outcome {
    int stop = 0;             // 0: the results stand
    std::vector<int> notices; // message codes, in the order they arose

    static Outcome stopped(int code) { return Outcome{code, {}}; }
    Outcome& notice(int code) {
        notices.push_back(code);
        return *this;
    }
};

// The text of a code. "{Name}" in a text stands for the label the field with
// formula name Name shows when the message is said.
struct Message {
    int code;
    const char* text;
};

// True when every value is a finite number.
template <class... T>
    requires(std::is_arithmetic_v<T> && ...)
bool allFinite(T... v) {
    return (std::isfinite(v) && ...);
}

} // namespace kv::form
