// The quasi-resonant flyback designer (dialog 297, flyback mode 4).
#pragma once

#include "ic_designers/QrCalc.h"
#include "ic_designers/RecordDesigner.h"
#include "services/Templates.h"

namespace kv::ic {

class QrDesigner : public RecordDesigner<QrDesign> {
public:
    static constexpr int kTemplate = tpl::kQr;
    static constexpr int kCalculate = 1466; // "计算(&C)"
    static constexpr int kCore = 1000;      // "选择磁芯"
    static constexpr int kAe = 1037;
    static constexpr int kLowLine = 1044;   // Fsw at V_L
    static constexpr int kHighLine = 1045;  // Fsw at V_H
    static constexpr const char* kBadInput = "参数错误，请检查!";

    explicit QrDesigner(ui::Dialog* parent);

    static ui::Color colorOf(Band b);

protected:
    void opened() override { refreshColours(); }
    void finished(const form::Run&) override { refreshColours(); }

private:
    // The two frequencies coloured by their band.
    void refreshColours();
};

} // namespace kv::ic
