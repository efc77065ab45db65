// The DC-DC designer: buck, boost or buck-boost in CCM or DCM, each with its
// own formula file and the converter's picture; the inductor's losses and rise.
#pragma once

#include "designers/DcdcCalc.h"
#include "designers/LossDesigner.h"

namespace kv::designers {

class DcdcDesigner : public TableDesigner<dcdc::Design, LossDesigner> {
public:
    enum : int { kConverter = 1083, kMode = 1084, kCalculate = 3, kPictureGroup = 1078, kTips = 1306 };
    // Repainted when the converter changes.
    static constexpr ui::Rect kPictureArea{365, 18, 590, 150};

    static const script::DesignerFiles kFiles;
    static std::vector<form::Field> fieldsOf(dcdc::Design& d);

    explicit DcdcDesigner(ui::Dialog* parent);
    int converter() const;
    bool dcm() const { return selected(kMode) == 1; }

private:
    int mode() const override { return dcdc::modeOf(converter(), dcm()); }
    void fillModes() override;
    void modeChanged() override;
    bool onOtherCommand(int id, ui::Notify code) override;
    // Results of the built-in formulas add the output capacitor's ESR to the tips.
    void finished(const form::Run& r) override;
    void showTips(bool withEsr);
    std::optional<magnetics::MagneticDesign> magnetic() const override;
    CoreEdits coreEdits() const override { return {controlOf(design.Ae), 0, kCalculate}; }
};

} // namespace kv::designers
