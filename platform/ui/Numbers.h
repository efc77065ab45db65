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

// Strict number parse: optional surrounding blanks, the whole text a number.
bool parseNumber(std::string_view text, double& v);
bool parseInteger(std::string_view text, int& v);

} // namespace kv::ui
