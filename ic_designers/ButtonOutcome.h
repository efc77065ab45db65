// What a controller designer's calculation reports besides its results: a
// stop (nothing is shown; the designer shows the message of the code) or
// notices (shown after the results). No user-interface types here.
#pragma once

#include <cmath>
#include <vector>

namespace kv::ic {

struct ButtonOutcome {
    int stop = 0;             // 0: the results stand
    std::vector<int> notices; // message codes, in the order they arose

    static ButtonOutcome stopped(int code) { return ButtonOutcome{code, {}}; }
};

// True when every value is a finite number.
template <class... T>
bool allFinite(T... v) {
    return (std::isfinite(v) && ...);
}

} // namespace kv::ic
