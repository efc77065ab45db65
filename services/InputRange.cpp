#include "services/InputRange.h"

#include <cmath>

namespace kv::services {

bool inRange(Range r, double v) {
    if (std::isnan(v)) return r == Range::Any;
    switch (r) {
    case Range::Any: return true;
    case Range::Positive: return v > 0;
    case Range::NonNegative: return v >= 0;
    case Range::Percent: return v > 0 && v <= 100;
    case Range::Share: return v >= 0 && v < 100;
    case Range::Fraction: return v > 0 && v < 1;
    case Range::ZeroToOne: return v >= 0 && v < 1;
    }
    return true;
}

std::string rangeMessage(Range r, const std::string& label) {
    const std::string named = "输入有误：“" + label + "”";
    switch (r) {
    case Range::Positive: return named + "必须大于0，请检查输入！";
    case Range::NonNegative: return named + "不能小于0，请检查输入！";
    case Range::Percent: return named + "应大于0且不超过100，请检查输入！";
    case Range::Share: return named + "应不小于0且小于100，请检查输入！";
    case Range::Fraction: return named + "应大于0且小于1，请检查输入！";
    case Range::ZeroToOne: return named + "应不小于0且小于1，请检查输入！";
    case Range::Any: break;
    }
    return named + "有误，请检查输入！";
}

std::string orderMessage(const std::string& greater, const std::string& lesser) {
    return "输入有误：“" + greater + "”必须大于“" + lesser + "”，请检查输入！";
}

std::string noResultMessage(const std::string& label) {
    return "输入有误：“" + label + "”超出了公式的适用范围，得不到有效的结果！";
}

} // namespace kv::services
