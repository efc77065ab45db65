// Toolbox page "磁芯计算1": core cross-section from the input power, any topology.
#pragma once

#include "toolbox/CalcPage.h"

namespace kv::toolbox {

class CCore : public CalcPage {
public:
    enum : int { kCalc = 1000, kPower = 1030, kArea = 1031 };

    explicit CCore(ui::Dialog* parent = nullptr);
    bool onCommand(int id, ui::Notify code) override;

    float power = 80; // W
    float area = 0;   // mm²

private:
    static const ui::MessageEntry<CCore> kMessageMap[];
    void onCalc();
};

} // namespace kv::toolbox
