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

std::string belowMessage(const std::string& upper, const std::string& lower) {
    return "输入有误：“" + upper + "”低于“" + lower + "”，请检查输入！";
}

std::string crestMessage(const std::string& label, const std::string& mains, bool above) {
    return "输入有误：“" + label + "”必须" + (above ? "高于" : "低于") + "“" + mains + "”的峰值（1.414倍），请检查输入！";
}

std::string notANumberMessage(const std::string& label, std::string_view typed) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!typed.empty() && blank(typed.front())) typed.remove_prefix(1);
    while (!typed.empty() && blank(typed.back())) typed.remove_suffix(1);
    const std::string named = "输入有误：“" + label + "”";
    if (typed.empty()) return named + "还没有填写数值，请检查输入！";
    // A long text is cut at a whole character (UTF-8) after about twelve bytes.
    constexpr std::size_t kShown = 12;
    std::string shown(typed);
    if (shown.size() > kShown) {
        std::size_t cut = kShown;
        while (cut < shown.size() && (static_cast<unsigned char>(shown[cut]) & 0xC0) == 0x80) ++cut;
        if (cut < shown.size()) shown = shown.substr(0, cut) + "…";
    }
    return named + "中的“" + shown + "”不是一个数字，请检查输入！";
}

std::string tooLargeMessage(const std::string& label) { return "输入有误：“" + label + "”的数值太大，请检查输入！"; }

std::string noResultMessage(const std::string& label) {
    return "输入有误：“" + label + "”超出了公式的适用范围，得不到有效的结果！";
}

} // namespace kv::services
