// The PWM flyback designer for OB2269-class controllers (dialog 281,
// flyback mode 3).
#pragma once

#include "ic_designers/Ob2269Calc.h"
#include "ic_designers/RecordDesigner.h"
#include "services/Templates.h"

namespace kv::ic {

class Ob2269Designer : public RecordDesigner<Ob2269Design> {
public:
    static constexpr int kTemplate = tpl::kOb2269;
    static constexpr int kCalculate = 1416; // "计算(&C)"
    static constexpr int kCore = 1071;      // "选取磁芯"
    static constexpr int kAe = 1038;
    static constexpr int kCin = 1371;
    static constexpr const char* kBadInput = "注意：输入参数错误!请更正后重新计算!";
    static constexpr const char* kNoHoldUp =
        "注意：最低电解电压已达到或超过90Vac输入的峰值电压(127.26V)，无法计算输入电解，其余结果有效！";

    explicit Ob2269Designer(ui::Dialog* parent);
};

} // namespace kv::ic
