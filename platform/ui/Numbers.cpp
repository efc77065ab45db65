#include "platform/ui/Numbers.h"

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

} // namespace kv::ui
