// What a designer's built-in calculation reports besides its results: a stop
// (the results are discarded and the designer shows the message of the code)
// or notices (shown, the results stand). No user-interface types here.
#pragma once

#include <vector>

namespace kv::designers {

struct Outcome {
    int stop = 0;              // 0: the results stand
    std::vector<int> notices;  // message codes, in the order they arose

    static Outcome stopped(int code) { return Outcome{code, {}}; }
    Outcome& notice(int code) {
        notices.push_back(code);
        return *this;
    }
};

} // namespace kv::designers
