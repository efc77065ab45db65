#include "magnetics/Thermal.h"

#include <cmath>
#include <limits>

namespace kv::magnetics {

double thermalResistance(double veM3) {
    if (!(veM3 > 0) || !std::isfinite(veM3))
        return std::numeric_limits<double>::quiet_NaN();
    return 53 / std::sqrt(veM3 * 1e6);
}

} // namespace kv::magnetics
