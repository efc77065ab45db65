// The single-stage PFC designer's plot: the switching frequency over half a
// mains cycle at the lowest and the highest input, in client pixels.
#pragma once

#include "ic_designers/SinglePfcCalc.h"

#include <vector>

namespace kv::ic::singlepfc {

// Frame of the plot in client pixels: θ from 0° at the left to 180° at the
// right, f from fmin at the bottom to fmax at the top.
struct PlotFrame {
    static constexpr int left = 400, right = 736, bottom = 204, height = 156;
    static constexpr int top = bottom - height;
};

struct Segment {
    int x1, y1, x2, y2;
};

struct Plot {
    bool drawable = false; // fmax above fmin and every value finite
    float fmax = 0, fmin = 0;
    std::vector<Segment> low, high; // clipped to the frame
};

// The coarse pass, or the fine one.
Plot frequencyPlot(const Inputs& in, const Results& r, bool fine);

} // namespace kv::ic::singlepfc
