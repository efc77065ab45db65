#include "platform/plot/Plot.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kv::plot {

int Plot::add(Series s) {
    s.handle = next_++;
    s.y.resize(s.x.size(), std::numeric_limits<double>::quiet_NaN());
    series_.push_back(std::move(s));
    ++revision_;
    return series_.back().handle;
}

int Plot::addY(const double* y, std::size_t n, Rgb color, int width, std::string name) {
    Series s;
    s.name = std::move(name);
    s.color = color;
    s.width = width;
    s.x.resize(n);
    s.y.assign(y, y + n);
    for (std::size_t i = 0; i < n; ++i) s.x[i] = double(i);
    return add(std::move(s));
}

int Plot::addXY(const double* x, const double* y, std::size_t n, Rgb color, int width,
                std::string name) {
    Series s;
    s.name = std::move(name);
    s.color = color;
    s.width = width;
    s.x.assign(x, x + n);
    s.y.assign(y, y + n);
    return add(std::move(s));
}

bool Plot::remove(int handle) {
    auto it = std::find_if(series_.begin(), series_.end(),
                           [&](const Series& s) { return s.handle == handle; });
    if (it == series_.end()) return false;
    series_.erase(it);
    ++revision_;
    return true;
}

bool Plot::rename(int handle, std::string name) {
    for (auto& s : series_)
        if (s.handle == handle) {
            s.name = std::move(name);
            ++revision_;
            return true;
        }
    return false;
}

void Plot::clear() {
    series_.clear();
    ++revision_;
}

const Series* Plot::find(int handle) const {
    for (const auto& s : series_)
        if (s.handle == handle) return &s;
    return nullptr;
}

Marker& Plot::marker(int id) {
    ++revision_;
    for (auto& m : markers_)
        if (m.id == id) return m;
    markers_.push_back(Marker{});
    markers_.back().id = id;
    return markers_.back();
}

std::pair<double, double> Plot::range(bool xAxis) const {
    const Axis& a = xAxis ? x : y;
    if (!a.autoScale) return {a.min, a.max};
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    for (const auto& s : series_) {
        for (std::size_t i = 0; i < s.x.size(); ++i) {
            const double px = s.x[i], py = s.y[i];
            if (!std::isfinite(px) || !std::isfinite(py)) continue;
            const double v = xAxis ? px : py;
            if (a.log && v <= 0) continue;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    }
    if (lo > hi) return a.log ? std::pair{1.0, 10.0} : std::pair{0.0, 1.0};
    if (lo == hi) {
        if (a.log) return {lo / 10, hi * 10};
        const double d = lo == 0 ? 1 : std::abs(lo) * 0.1;
        return {lo - d, hi + d};
    }
    return {lo, hi};
}

std::pair<double, double> Plot::xRange() const { return range(true); }
std::pair<double, double> Plot::yRange() const { return range(false); }

void Plot::placeMarkers() {
    if (series_.empty()) return;
    const Series& s = series_.front();
    for (auto& m : markers_) {
        if (!m.snap || s.x.empty()) continue;
        std::size_t best = s.x.size();
        double bestD = std::numeric_limits<double>::infinity();
        for (std::size_t i = 0; i < s.x.size(); ++i) {
            if (!std::isfinite(s.x[i]) || !std::isfinite(s.y[i])) continue;
            const double d = std::abs(s.x[i] - m.x);
            if (d < bestD) {
                bestD = d;
                best = i;
            }
        }
        if (best < s.x.size()) {
            m.x = s.x[best];
            m.y = s.y[best];
        }
    }
    ++revision_;
}

SeriesSummary Plot::summarize(const Series& s) {
    SeriesSummary r;
    r.points = s.x.size();
    for (std::size_t i = 0; i < s.x.size(); ++i)
        if (std::isfinite(s.x[i]) && std::isfinite(s.y[i])) {
            r.first = std::pair{s.x[i], s.y[i]};
            break;
        }
    for (std::size_t i = s.x.size(); i-- > 0;)
        if (std::isfinite(s.x[i]) && std::isfinite(s.y[i])) {
            r.last = std::pair{s.x[i], s.y[i]};
            break;
        }
    return r;
}

} // namespace kv::plot
