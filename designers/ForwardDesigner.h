// The single-switch forward designer: the core's area product, then the
// transformer and output inductor on the chosen core.
#pragma once

#include "designers/DesignerFrame.h"
#include "designers/ForwardCalc.h"

namespace kv::designers {

class ForwardDesigner : public TableDesigner<forward::Design> {
public:
    enum : int { kAreaProduct = 1096, kVerify = 1095, kNote = 1306, kPictureGroup = 1114 };
    static constexpr int kPicture = 173;
    static const script::DesignerFiles kFiles;
    static std::vector<form::Field> fieldsOf(forward::Design& d);

    explicit ForwardDesigner(ui::Dialog* parent);

private:
    // The note speaks of the built-in formulas only.
    void formulasChosen(bool custom) override { enable(kNote, !custom); }
};

} // namespace kv::designers
