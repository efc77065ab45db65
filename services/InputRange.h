// What a formula needs of an input, and the message that names an input
// outside its range.
#pragma once

#include <string>

namespace kv::services {

enum class Range {
    Any,
    Positive,    // > 0
    NonNegative, // >= 0
    Percent,     // > 0 and <= 100 (efficiency)
    Share,       // >= 0 and < 100 (a share of the period in %)
    Fraction,    // > 0 and < 1 (a duty cycle)
    ZeroToOne,   // >= 0 and < 1 (a duty cycle that may be 0)
};

bool inRange(Range r, double v);
// "输入有误：“<label>”必须大于0，请检查输入！" and the like.
std::string rangeMessage(Range r, const std::string& label);
// Two inputs out of order: "输入有误：“<greater>”必须大于“<lesser>”，请检查输入！"
std::string orderMessage(const std::string& greater, const std::string& lesser);
// A result that would not be finite although every input is in range.
std::string noResultMessage(const std::string& label);

} // namespace kv::services
