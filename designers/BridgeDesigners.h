// The push-pull, half-bridge and full-bridge designers: one layout, one design
// record and one calculation (designers/BridgeCalc), each with its own
// controls, picture and start values.
#pragma once

#include "designers/BridgeCalc.h"
#include "designers/DesignerFrame.h"

namespace kv::designers {

// What tells the three windows apart besides their controls.
struct BridgeLayout {
    const script::DesignerFiles& files;
    std::vector<form::Field> (*fields)(bridge::Design&);
    const char* title;
    bridge::Topology topology;
    std::span<const GroupColor> colors;
    Picture picture;
};

class BridgeDesigner : public TableDesigner<bridge::Design> {
public:
    enum : int { kCalculate = 3 };

protected:
    BridgeDesigner(const BridgeLayout& layout, ui::Dialog* parent);
};

class PushPullDesigner : public BridgeDesigner {
public:
    static const script::DesignerFiles kFiles;
    static std::vector<form::Field> fieldsOf(bridge::Design& d);
    explicit PushPullDesigner(ui::Dialog* parent);
};

class HalfBridgeDesigner : public BridgeDesigner {
public:
    static const script::DesignerFiles kFiles;
    static std::vector<form::Field> fieldsOf(bridge::Design& d);
    explicit HalfBridgeDesigner(ui::Dialog* parent);
};

class FullBridgeDesigner : public BridgeDesigner {
public:
    static const script::DesignerFiles kFiles;
    static std::vector<form::Field> fieldsOf(bridge::Design& d);
    explicit FullBridgeDesigner(ui::Dialog* parent);
};

} // namespace kv::designers
