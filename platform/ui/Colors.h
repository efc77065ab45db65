// Colours of the windows: the colour type and the colours the program names,
// each named once.
#pragma once

#include <cstdint>

namespace kv::ui {

struct Color {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Color&) const = default;
};

inline constexpr Color kBlack{0, 0, 0};
inline constexpr Color kWhite{255, 255, 255};
inline constexpr Color kGrey{128, 128, 128};
inline constexpr Color kSilver{192, 192, 192};
inline constexpr Color kRed{255, 0, 0};
inline constexpr Color kDarkRed{160, 0, 0};
inline constexpr Color kOrange{255, 128, 0};
inline constexpr Color kGreen{0, 255, 0};
inline constexpr Color kLeafGreen{0, 200, 0};
inline constexpr Color kDarkGreen{0, 128, 0};
inline constexpr Color kBlue{0, 0, 255};
inline constexpr Color kMagenta{255, 0, 255};
inline constexpr Color kPurple{64, 0, 128};
inline constexpr Color kViolet{137, 11, 155};

} // namespace kv::ui
