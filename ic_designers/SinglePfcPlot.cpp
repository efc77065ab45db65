#include "ic_designers/SinglePfcPlot.h"

#include "platform/ui/Canvas.h"

#include <cmath>

namespace kv::ic::singlepfc {

namespace {
std::vector<Segment> segments(const std::vector<double>& f, const FrequencyCurves& c) {
    using F = PlotFrame;
    const double span = double(c.fmax) - c.fmin;
    const auto x = [&](std::size_t i) { return F::left + double(i) * c.step * (F::right - F::left) / 180; };
    const auto y = [&](std::size_t i) { return F::bottom - (f[i] - c.fmin) * F::height / span; };
    std::vector<Segment> out;
    out.reserve(f.size());
    for (std::size_t i = 1; i < f.size(); ++i) {
        double x1 = x(i - 1), y1 = y(i - 1), x2 = x(i), y2 = y(i);
        if (!std::isfinite(y1) || !std::isfinite(y2)) continue;
        // Whatever rounds onto the frame's pixels is inside it.
        constexpr double m = 0.49;
        if (!ui::clipSegment(x1, y1, x2, y2, {F::left - m, F::top - m, F::right + m, F::bottom + m})) continue;
        out.push_back({int(std::lround(x1)), int(std::lround(y1)), int(std::lround(x2)), int(std::lround(y2))});
    }
    return out;
}
} // namespace

Plot frequencyPlot(const Inputs& in, const Results& r, bool fine) {
    const FrequencyCurves c = frequencyCurves(in, r, fine);
    Plot p;
    p.drawable = c.drawable;
    p.fmax = c.fmax;
    p.fmin = c.fmin;
    if (!c.drawable) return p;
    p.low = segments(c.low, c);
    p.high = segments(c.high, c);
    return p;
}

} // namespace kv::ic::singlepfc
