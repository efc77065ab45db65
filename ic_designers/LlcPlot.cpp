#include "ic_designers/LlcPlot.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kv::ic {

namespace {

const ui::Rect kClip{kLlcFrame.left, kLlcFrame.top, kLlcFrame.right + 1, kLlcFrame.bottom + 1};

// At most this many steps on an axis: ticks about 70 px apart across, 50 px up.
constexpr int kMostFrequencySteps = 10, kMostGainSteps = 10;

// Frequency and gain to pixels over the axes, in double so that nothing overflows before clipping.
struct Mapping {
    double fmin, fspan, gmin, gspan;
    explicit Mapping(const LlcAxes& a)
        : fmin(a.f.lo()), fspan(a.f.hi() - a.f.lo()), gmin(a.g.lo()), gspan(a.g.hi() - a.g.lo()) {}
    explicit Mapping(const LlcDesign& d) : Mapping(llcAxes(d)) {}
    double x(double f) const { return kLlcFrame.left + (f - fmin) / fspan * kLlcFrame.width(); }
    double y(double g) const { return kLlcFrame.bottom - (g - gmin) / gspan * kLlcFrame.height(); }
};

// Cuts segment (x0,y0)-(x1,y1) to the frame; false when nothing is left.
bool clip(double& x0, double& y0, double& x1, double& y1) {
    return ui::clipSegment(x0, y0, x1, y1, {double(kLlcFrame.left), double(kLlcFrame.top), double(kLlcFrame.right),
                                            double(kLlcFrame.bottom)});
}

ui::Point pixel(double x, double y) { return {int(std::lround(x)), int(std::lround(y))}; }

// A line of the plot, cut to the frame.
void frameLine(ui::Canvas& c, double x0, double y0, double x1, double y1) {
    if (!form::allFinite(x0, y0, x1, y1) || !clip(x0, y0, x1, y1)) return;
    const ui::Point a = pixel(x0, y0), b = pixel(x1, y1);
    c.line(a.x, a.y, b.x, b.y);
}

void drawCurve(ui::Canvas& c, const LlcDesign& d, double qc) {
    for (const auto& run : llcCurve(d, qc)) c.polyline(run);
}

} // namespace

LlcAxes llcAxes(const LlcDesign& d) {
    return {ui::niceTicks(d.fmin, d.fmax, kMostFrequencySteps), ui::niceTicks(d.gmin, d.gmax, kMostGainSteps)};
}

std::vector<std::vector<ui::Point>> llcCurve(const LlcDesign& d, double qc) {
    std::vector<std::vector<ui::Point>> runs;
    const LlcAxes axes = llcAxes(d);
    const Mapping m(axes);
    const Sweep s = llcSweep(d.fmin, d.fmax);
    const double gmin = axes.g.lo(), gmax = axes.g.hi();
    bool open = false; // the last segment ended inside the frame: the next one continues it
    double f0 = s.from, g0 = llcGain(f0, d.fr, d.k, qc);
    for (long i = 0; i < s.count; ++i) {
        const double f1 = s.from + double(i + 1) * s.step;
        const double g1 = llcGain(f1, d.fr, d.k, qc);
        // A segment is drawn only when the gain at its end lies within the plot's range.
        if (g1 >= gmin && g1 <= gmax && std::isfinite(g0)) {
            double x0 = m.x(f0), y0 = m.y(g0), x1 = m.x(f1), y1 = m.y(g1);
            const double sx = x0, sy = y0, ex = x1, ey = y1;
            if (form::allFinite(x0, y0, x1, y1) && clip(x0, y0, x1, y1)) {
                const bool startCut = x0 != sx || y0 != sy;
                const ui::Point a = pixel(x0, y0), b = pixel(x1, y1);
                if (open && !startCut) {
                    if (!(runs.back().back() == b)) runs.back().push_back(b);
                } else {
                    runs.push_back({a, b});
                }
                open = x1 == ex && y1 == ey;
            } else {
                open = false;
            }
        } else {
            open = false;
        }
        f0 = f1;
        g0 = g1;
    }
    return runs;
}

void paintLlcPlot(ui::Canvas& c, const LlcDesign& d, const LlcView& v) {
    if (!v.plot) return;
    const ui::Rect& fr = kLlcFrame;
    const LlcAxes axes = llcAxes(d);
    const Mapping m(axes);
    const auto xAt = [&](double f) { return int(std::lround(m.x(f))); };
    const auto yAt = [&](double g) { return int(std::lround(m.y(g))); };

    c.setPen(ui::kBlack, 1);
    c.line(fr.left, fr.top, fr.right, fr.top);
    c.line(fr.right, fr.top, fr.right, fr.bottom);
    c.line(fr.right, fr.bottom, fr.left, fr.bottom);
    c.line(fr.left, fr.bottom, fr.left, fr.top);
    c.setPen(ui::kBlack, 1, ui::PenStyle::Dot);
    for (int i = 1; i < axes.f.intervals; ++i) c.line(xAt(axes.f.at(i)), fr.top, xAt(axes.f.at(i)), fr.bottom);
    for (int i = 1; i < axes.g.intervals; ++i) c.line(fr.left, yAt(axes.g.at(i)), fr.right, yAt(axes.g.at(i)));

    c.setTransparent(true);
    c.setFont("宋体", 100);
    c.setTextColor(ui::kRed);
    const char* axis[4] = {"电", "压", "增", "益"};
    for (int i = 0; i < 4; ++i) c.text(570, 290 + 20 * i, axis[i]);
    c.text(920, 650, "开关频率f(kHz)");
    // fmin and fmax under their frequencies, kept inside the plot's box.
    const auto under = [&](double f) { return std::clamp(xAt(f) - 20, 610, 1275); };
    c.text(under(d.fmin), 638, "fmin(kHz)");
    c.text(under(d.fmax), 638, "fmax(kHz)");

    c.setFont("宋体", 105);
    c.setTextColor(ui::kBlack);
    // Gain labels left of the frame, frequency labels centred under their ticks (digits about 7 px wide).
    for (int k = 0; k <= axes.g.intervals; ++k) {
        const std::string s = axes.g.label(k);
        c.text(fr.left - 4 - 7 * int(s.size()), yAt(axes.g.at(k)) - 8, s);
    }
    for (int i = 0; i <= axes.f.intervals; ++i) {
        const std::string s = axes.f.label(i);
        c.text(xAt(axes.f.at(i)) - 7 * int(s.size()) / 2, 612, s);
    }

    c.setClip(&kClip);
    c.setPen(ui::kBlue, 2);
    for (double times : kLlcFamily) drawCurve(c, d, d.q * times);
    c.setPen(ui::kRed, 2);
    drawCurve(c, d, d.qMax);

    // Resonance: gain 1 at fr.
    const double xr = m.x(d.fr), y1 = m.y(1);
    c.setPen(ui::kMagenta, 1, ui::PenStyle::Dot);
    frameLine(c, xr, fr.bottom, xr, y1);
    frameLine(c, fr.left, y1, fr.right, y1);
    c.setClip(nullptr);
    // Gain 1 named where no gain label is already beside it.
    bool labelled = false;
    for (int k = 0; k <= axes.g.intervals; ++k) labelled = labelled || std::abs(m.y(axes.g.at(k)) - y1) < 14;
    if (y1 >= fr.top && y1 <= fr.bottom && !labelled) c.text(608, int(std::lround(y1)) - 8, "1");
    c.setFont("楷体", 110);
    c.setTextColor(ui::kRed);
    if (xr >= fr.left && xr <= fr.right) c.text(int(std::lround(xr)) - 10, 638, "fr(kHz)");
    c.setTextColor(ui::kDarkRed);
    c.text(834, 181, "Q=2*πfr*Ls/Rac");

    c.setFont("宋体", 100);
    c.setTextColor(ui::kRed);
    // The red curve's legend: the largest Q of the design.
    c.text(kLlcRedLegendText.x, kLlcRedLegendText.y, "Qmax=Q/q=" + ui::formatNumber(d.qMax, 5));
    c.setPen(ui::kRed, 2);
    c.line(kLlcRedLegend.left, kLlcRedLegend.top, kLlcRedLegend.right, kLlcRedLegend.top);
    // The tank with the preset capacitor: its Lr and Lm named so, apart from the designed tank's.
    const std::string preset = "设定Cr时";
    c.text(615, 680, preset + "谐振电感Lr:" + ui::formatNumber(d.lrPre, 8) + "uH");
    c.text(615, 700, preset + "励磁电感Lm:" + ui::formatNumber(d.lmPre, 8) + "uH");
    c.text(615, 720, "谐振腔最低频率Fr2:" + ui::formatNumber(d.fr2Pre, 8) + "kHz");
    if (v.controller) {
        c.text(617, 740, "Rfmin=:" + ui::formatNumber(d.rfmin, 5) + "kΩ");
        c.text(855, 680, "Rfmax=:" + ui::formatNumber(d.rfmax, 5) + "kΩ");
        c.text(855, 700, "Rss=:" + ui::formatNumber(d.rss, 5) + "kΩ");
        c.text(855, 720, "Css=:" + ui::formatNumber(d.css, 5) + "μF");
        c.text(855, 740, "(BOOST模式下)Rfmax=" + ui::formatNumber(d.rfmaxBoost, 5) + "kΩ");
    }

    if (v.scanQ) {
        c.setClip(&kClip);
        c.setPen(ui::kLeafGreen, 2, ui::PenStyle::Dot);
        drawCurve(c, d, *v.scanQ);
        c.setClip(nullptr);
        c.line(1266, 730, 1300, 730);
    }
}

std::string llcReadout(const LlcDesign& d, bool plot, int x, int y) {
    const ui::Rect& fr = kLlcFrame;
    if (!plot || x < fr.left || x > fr.right || y < fr.top || y > fr.bottom) return "invalid";
    const Mapping m(d);
    const double f = m.fmin + double(x - fr.left) / fr.width() * m.fspan;
    const double g = m.gmin + m.gspan * (fr.bottom - y) / fr.height();
    return "Current Coordinate:" + std::to_string(x) + "," + std::to_string(y) + "   " + "Gain :" +
           ui::formatNumber(g, 5) + ", " + "Frequency" + ":" + ui::formatNumber(f, 5) + "kHz";
}

} // namespace kv::ic
