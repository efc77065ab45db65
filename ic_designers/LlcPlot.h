// The LLC designer's DC characteristic: the gain family over the switching
// frequency range with its grid, labels and resonance marker, the text lines
// of the preset tank and the K7395 parts, and the cursor readout.
#pragma once

#include "ic_designers/LlcCalc.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/Numbers.h"

#include <optional>
#include <string>
#include <vector>

namespace kv::ic {

// The plot frame in client pixels (edges included).
inline constexpr ui::Rect kLlcFrame{630, 100, 1332, 604};
// Areas repainted after a computation.
inline constexpr ui::Rect kLlcPlotArea{590, 80, 1355, 705};
inline constexpr ui::Rect kLlcTextArea{610, 672, 1107, 760};
inline constexpr ui::Rect kLlcControllerArea{600, 675, 1108, 758};
// The red curve's legend stroke and its label, inside the plot area.
inline constexpr ui::Rect kLlcRedLegend{1266, 690, 1300, 690};
inline constexpr ui::Point kLlcRedLegendText{1150, 683};

// What the paint shows besides the circuit picture.
struct LlcView {
    bool plot = false;              // the tank results are valid: frame, family, marker, text
    bool controller = false;        // the K7395 parts are valid: their text lines
    std::optional<double> scanQ;    // the extra green curve
};

// The plot's axes: frequency (kHz) and gain at nice steps covering fmin..fmax
// and gmin..gmax; the frame spans them from the first tick to the last.
struct LlcAxes {
    ui::Ticks f, g;
};
LlcAxes llcAxes(const LlcDesign& d);

// The polylines of the gain curve for quality factor `qc`, clipped to the frame.
std::vector<std::vector<ui::Point>> llcCurve(const LlcDesign& d, double qc);
void paintLlcPlot(ui::Canvas& c, const LlcDesign& d, const LlcView& v);
// Static 1464 for the cursor at (x, y): frequency and gain under it, or
// "invalid" outside the frame or without a plot.
std::string llcReadout(const LlcDesign& d, bool plot, int x, int y);

} // namespace kv::ic
