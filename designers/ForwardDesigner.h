// The single-switch forward designer: the core's area product, then the
// transformer and output inductor on the chosen core, and the transformer's
// losses and rise.
#pragma once

#include "designers/ForwardCalc.h"
#include "designers/LossDesigner.h"

namespace kv::designers {

class ForwardDesigner : public TableDesigner<forward::Design, LossDesigner> {
public:
    enum : int { kAreaProduct = 1096, kVerify = 1095, kNote = 1306, kPictureGroup = 1114 };
    static constexpr int kPicture = 173;
    static const script::DesignerFiles kFiles;
    static std::vector<form::Field> fieldsOf(forward::Design& d);

    explicit ForwardDesigner(ui::Dialog* parent);

private:
    // The note speaks of the built-in formulas only.
    void formulasChosen(bool custom) override { enable(kNote, !custom); }
    std::optional<magnetics::MagneticDesign> magnetic() const override;
    CoreEdits coreEdits() const override { return {controlOf(design.Ae), 0, kVerify}; }
};

} // namespace kv::designers
