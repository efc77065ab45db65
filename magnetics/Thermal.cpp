#include "magnetics/Thermal.h"

#include <cmath>
#include <limits>

namespace kv::magnetics {

double thermalResistance(double surfaceM2) {
    if (!(surfaceM2 > 0) || !std::isfinite(surfaceM2))
        return std::numeric_limits<double>::quiet_NaN();
    return kRthCoefficient * std::pow(surfaceM2, kRthExponent);
}

} // namespace kv::magnetics
