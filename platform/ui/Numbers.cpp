#include "platform/ui/Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kv::ui {

std::string formatNumber(double v, int digits, Notation n) {
    char buf[64];
    const std::chars_format f = n == Notation::Fixed        ? std::chars_format::fixed
                                : n == Notation::Scientific ? std::chars_format::scientific
                                                            : std::chars_format::general;
    const auto r = n == Notation::Shortest ? std::to_chars(buf, buf + sizeof buf, v)
                                           : std::to_chars(buf, buf + sizeof buf, v, f, digits);
    return std::string(buf, r.ec == std::errc() ? r.ptr : buf);
}

namespace {
std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }
} // namespace

bool parseNumber(std::string_view text, double& v) {
    std::string_view s = trimBlanks(text);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    // sign, digits, optional fraction, optional exponent; no inf, nan or hex
    size_t i = 0;
    if (i < s.size() && s[i] == '-') ++i;
    size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        size_t e = 0;
        while (i < s.size() && isDigit(s[i])) ++i, ++e;
        if (e == 0) return false;
    }
    if (i != s.size()) return false;
    double d = 0;
    auto r = std::from_chars(s.data(), s.data() + s.size(), d);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(d)) return false;
    v = d;
    return true;
}

bool parseInteger(std::string_view text, int& v) {
    std::string_view s = trimBlanks(text);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty()) return false;
    int i = 0;
    auto r = std::from_chars(s.data(), s.data() + s.size(), i);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return false;
    v = i;
    return true;
}

std::string Ticks::label(int i) const {
    const double v = at(i);
    return formatNumber(std::abs(v) < step * 1e-6 ? 0.0 : v, decimals, Notation::Fixed);
}

Ticks niceTicks(double lo, double hi, int maxIntervals) {
    if (!std::isfinite(lo) || !std::isfinite(hi)) lo = 0, hi = 1;
    if (hi < lo) std::swap(lo, hi);
    if (hi == lo) {
        const double d = lo == 0 ? 1 : std::abs(lo) * 0.1;
        lo -= d, hi += d;
    }
    maxIntervals = std::max(1, maxIntervals);
    const int e = int(std::floor(std::log10((hi - lo) / maxIntervals)));
    for (int k = e - 1;; ++k)
        for (const double m : {1.0, 2.0, 2.5, 5.0}) {
            const double step = m * std::pow(10.0, k);
            // A bound within rounding of a tick is that tick.
            const auto snap = [](double v) { return std::abs(v - std::round(v)) < 1e-9 ? std::round(v) : v; };
            const double first = std::floor(snap(lo / step)), last = std::ceil(snap(hi / step));
            if (last - first > maxIntervals) continue;
            Ticks t;
            t.firstIndex = long(first);
            t.step = step;
            t.intervals = std::max(1, int(last - first));
            t.decimals = std::max(0, m == 2.5 ? 1 - k : -k);
            return t;
        }
}

} // namespace kv::ui
