// Whole turns of a transformer that must deliver its output at the lowest
// input and the largest duty: the primary has at least the turns Faraday's
// law asks for that volt-second product and at most n·Ns, the turns of the
// ratio the output needs. No user-interface types here.
#pragma once

#include "services/Magnetics.h"

#include <cmath>

namespace kv::designers {

struct Turns {
    float np, ns;
};

// Single-precision slack, so that a product that is whole on paper stays whole.
inline constexpr float kTurnSlack = 1e-5f;

// The fewest secondary turns that leave a whole primary between `np0` (the
// flux minimum) and n·Ns (the output reached), with the primary the nearest
// to n·Ns not above it. With `keepHalf`, a primary of exactly k + ½ turns
// stays as it is.
inline Turns reachingTurns(float np0, float n, bool keepHalf = false) {
    namespace mag = services::magnetics;
    const float npMin = mag::roundUp(np0 * (1.0f - kTurnSlack));
    Turns t{0, mag::roundUp(npMin / n * (1.0f - kTurnSlack))};
    // n·Ns reaches npMin already; a turn more covers what single precision lost.
    for (int more = 0;; ++more) {
        const float x = n * t.ns;
        t.np = std::floor(x * (1.0f + kTurnSlack));
        if (!(t.np < npMin) || more == 2) {
            if (keepHalf && x - std::floor(x) == 0.5f) t.np = x;
            return t;
        }
        t.ns += 1;
    }
}

} // namespace kv::designers
