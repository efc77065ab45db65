// The ringing-choke (RCC) designer: transformer of a self-oscillating flyback
// and its frequency range.
#pragma once

#include "designers/DesignerFrame.h"
#include "designers/RccCalc.h"

namespace kv::designers {

class RccDesigner : public TableDesigner<rcc::Design> {
public:
    enum : int { kCalculate = 3, kPictureGroup = 1093 };
    static constexpr int kPicture = 209;

    static const script::DesignerFiles kFiles;
    static std::vector<form::Field> fieldsOf(rcc::Design& d);

    explicit RccDesigner(ui::Dialog* parent);
};

} // namespace kv::designers
