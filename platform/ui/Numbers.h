// Numbers as the windows show and read them: the one formatter of the program
// ("%.<digits>g" and its fixed and scientific forms) and the strict parsers of
// typed text. No window types here.
#pragma once

#include <string>
#include <string_view>

namespace kv::ui {

enum class Notation {
    General,    // "%.<digits>g"
    Fixed,      // "%.<digits>f"
    Scientific, // "%.<digits>e"
    Shortest,   // the shortest text that reads back to the same double; digits unused
};

// The digits of the data exchange: single precision shows 6, double 15.
inline constexpr int kSingleDigits = 6;
inline constexpr int kDoubleDigits = 15;

// The number as the windows show it ("inf" and "nan" as they come: a window never shows those).
std::string formatNumber(double v, int digits = kSingleDigits, Notation n = Notation::General);

// Axis ticks at a "nice" step (1, 2, 2.5 or 5 times a power of ten): from the
// last multiple of the step at or below lo to the first at or above hi, in at
// most maxIntervals steps (the smallest such step).
struct Ticks {
    long firstIndex = 0; // the first tick is firstIndex * step
    double step = 1;
    int intervals = 1;
    int decimals = 0;    // digits after the point the step needs
    double at(int i) const { return double(firstIndex + i) * step; }
    double lo() const { return at(0); }
    double hi() const { return at(intervals); }
    // Tick i as a short decimal: no more digits than the step needs.
    std::string label(int i) const;
};
Ticks niceTicks(double lo, double hi, int maxIntervals);

// Strict number parse: optional surrounding blanks, the whole text a number.
bool parseNumber(std::string_view text, double& v);
bool parseInteger(std::string_view text, int& v);

} // namespace kv::ui
