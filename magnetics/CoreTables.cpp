#include "magnetics/CoreTables.h"

namespace kv::magnetics {

namespace {

struct TypeShape {
    const char* type;
    const char* shape;
};

constexpr TypeShape kTypeShapes[] = {
#include "magnetics/CoreShapeNames.inc"
};

constexpr Saturation kSaturations[] = {
#include "magnetics/Saturation.inc"
};

} // namespace

const char* iecShapeOfType(std::string_view type) {
    for (const auto& t : kTypeShapes) {
        if (type == t.type)
            return t.shape;
    }
    return nullptr;
}

std::span<const Saturation> saturations() {
    return kSaturations;
}

const Saturation* saturationOf(std::string_view material) {
    for (const auto& s : kSaturations) {
        if (material == s.material)
            return &s;
    }
    return nullptr;
}

} // namespace kv::magnetics
