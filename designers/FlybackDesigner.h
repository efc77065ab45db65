// The classic flyback designer: CCM or DCM transformer, component ratings and
// the RCD leakage snubber; the transformer's losses and rise, and the core
// adviser in the core database.
#pragma once

#include "designers/FlybackCalc.h"
#include "designers/LossDesigner.h"

namespace kv::designers {

class FlybackDesigner : public TableDesigner<flyback::Design, LossDesigner> {
public:
    enum : int {
        kMode = 1035, kEstimate = 3, kVerify = 4, kSnubber = 1047,
        kEstimateGroup = 1051, kVeLabel = 1052, kVeNote = 1086, kPictureGroup = 1078,
    };
    static constexpr int kPicture = 320;
    static const script::DesignerFiles kFiles;
    // The fields over design `d`, in the order the interface file numbers the labels.
    static std::vector<form::Field> fieldsOf(flyback::Design& d);

    explicit FlybackDesigner(ui::Dialog* parent);
    bool dcm() const { return selected(kMode) == 1; }
    // The conditions as typed, through the built-in verify.
    std::optional<magnetics::FlybackPoint> adviserPoint() override;

private:
    std::optional<magnetics::MagneticDesign> magnetic() const override;
    CoreEdits coreEdits() const override;
    int mode() const override { return dcm() ? flyback::kDcm : flyback::kCcm; }
    void fillModes() override;
    void modeChanged() override;
    void labelsApplied(bool custom) override;
    bool onOtherCommand(int id, ui::Notify code) override;
};

} // namespace kv::designers
