// A plot as data: named series of points, two axes, markers. Rendered with
// Qt Charts in windows (qt/PlotWidget.h) and read back as it stands by the
// headless backend and the command-line drivers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kv::plot {

// 0xRRGGBB
using Rgb = std::uint32_t;

enum class LineStyle { Solid, Dash, Dot };

struct Series {
    int handle = 0;
    std::string name;
    std::vector<double> x, y;   // same length; a point that is not finite is a gap
    Rgb color = 0xFF0000;
    int width = 1;              // line width in pixels
    LineStyle line = LineStyle::Solid;
    bool points = false;        // draw the samples as dots instead of a line
};

struct Axis {
    std::string title;
    bool log = false;
    bool autoScale = true;
    double min = 0, max = 1;    // used when autoScale is off
};

// A vertical cursor with a dot where it crosses a series, or a free point.
struct Marker {
    int id = 0;
    double x = 0, y = 0;
    bool visible = true;
    bool snap = false;          // placed on the nearest point of the first series
    Rgb color = 0x000000;
    std::string label;
};

// What a driver reports of one series.
struct SeriesSummary {
    std::size_t points = 0;
    std::optional<std::pair<double, double>> first, last; // first and last finite points
};

class Plot {
public:
    std::string title;
    Axis x, y;
    Rgb background = 0xFFFFFF;
    Rgb gridColor = 0xC8C8C8;
    bool grid = true;
    bool legend = false;

    // Adds a series and returns its handle (> 0).
    int add(Series s);
    // Plots y against its index 0, 1, ... n-1.
    int addY(const double* y, std::size_t n, Rgb color, int width = 1, std::string name = {});
    int addXY(const double* x, const double* y, std::size_t n, Rgb color, int width = 1,
              std::string name = {});
    bool remove(int handle);
    bool rename(int handle, std::string name);
    void clear();
    const std::vector<Series>& series() const { return series_; }
    const Series* find(int handle) const;

    Marker& marker(int id);       // created on first use
    const std::vector<Marker>& markers() const { return markers_; }
    void clearMarkers() { markers_.clear(); ++revision_; }

    // Range of the finite points over all series (positive ones on a log
    // axis); the axis limits when the axis is not auto-scaled. A plot with no
    // points gives 0..1 (1..10 on a log axis).
    std::pair<double, double> xRange() const;
    std::pair<double, double> yRange() const;

    // Moves the snapping markers onto the first series.
    void placeMarkers();

    // Bumped on every change, so views redraw only what moved.
    std::uint64_t revision() const { return revision_; }
    void touch() { ++revision_; }

    static SeriesSummary summarize(const Series& s);

private:
    std::pair<double, double> range(bool xAxis) const;
    std::vector<Series> series_;
    std::vector<Marker> markers_;
    int next_ = 1;
    std::uint64_t revision_ = 1;
};

} // namespace kv::plot
