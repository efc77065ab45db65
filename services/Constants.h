// The numbers Korvane's formulas are written with, each variant named once.
// No window types here.
#pragma once

#include <numbers>

namespace kv::services {

inline constexpr double kPi = std::numbers::pi;
// π and 2π as some formulas write them, to eight and to six figures (in
// single precision the first is the float just below π).
inline constexpr double kPi8 = 3.1415926;
inline constexpr double kTwoPi6 = 6.28318;
// π to seven figures: K7350's 9π, 2π and degrees per radian are formed with
// it; to three, its line half-cycle in the frequency curves.
inline constexpr double kPi7 = 3.141592;
inline constexpr double kPi3 = 3.14;
inline constexpr double kRoot2 = std::numbers::sqrt2;
// The mains peak is formed with 1.414, not with √2: the convention of the
// flyback, RCC and graphical flyback formulas.
inline constexpr double kMainsRoot2 = 1.414;

} // namespace kv::services
