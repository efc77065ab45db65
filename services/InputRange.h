// What a formula needs of an input, and the message that names an input
// outside its range.
#pragma once

#include <string>
#include <string_view>

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
// The same for a range that may be a single value: "输入有误：“<upper>”低于“<lower>”，请检查输入！"
std::string belowMessage(const std::string& upper, const std::string& lower);
// A voltage on the wrong side of the mains crest:
// "输入有误：“<label>”必须高于（低于）“<mains>”的峰值（1.414倍），请检查输入！"
std::string crestMessage(const std::string& label, const std::string& mains, bool above);
// A field that holds no number, naming it and what it holds:
// "输入有误：“<label>”中的“<typed>”不是一个数字，请检查输入！", or "……还没有填写数值……" when blank.
std::string notANumberMessage(const std::string& label, std::string_view typed);
// A number too large for the field: "输入有误：“<label>”的数值太大，请检查输入！"
std::string tooLargeMessage(const std::string& label);
// A result that would not be finite although every input is in range.
std::string noResultMessage(const std::string& label);

} // namespace kv::services
