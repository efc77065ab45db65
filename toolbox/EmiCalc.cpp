#include "toolbox/EmiCalc.h"

#include "services/Constants.h"

#include <cmath>

namespace kv::toolbox::emi {

namespace {
// π and 2π as the filter formulas write them, in single precision.
constexpr float kPi = float(services::kPi8);
constexpr float kTwoPi = float(2 * services::kPi8);
} // namespace

FilterResults filter(const FilterInputs& in) {
    FilterResults r;
    r.fc = in.fs * std::pow(10.0f, in.A / 40.0f);
    r.L = in.zeta * in.Z * 1000.0f / (r.fc * (in.commonMode ? kPi : kTwoPi));
    const float w = kTwoPi * r.fc;
    r.C = 1e6f / (w * w * r.L);
    return r;
}

bool capacitorTooSmall(const RectifierInputs& in) { return in.P * 1.24 >= in.Cin; }

RectifierResults rectifier(const RectifierInputs& in) {
    RectifierResults r;
    r.x = std::sqrt(1.0 - in.P / (in.V * (in.Cin * 2.0 * 1e-6 * in.f * in.V)));
    const double angle = std::acos(r.x);
    r.tc = angle / (2 * services::kPi8 * in.f);
    r.Ih = in.P * (services::kMainsRoot2 * services::kPi8) / (angle * (r.x + 1.0) * in.V);
    r.Ipk = 2.0 * r.Ih;
    const double a = std::sqrt(1.5) * r.Ipk / 2.0;
    r.Irms = std::sqrt(a * a * 2.0 * r.tc * in.f);
    r.Iavg = float(r.Ih * 2.0 * r.tc * in.f);
    return r;
}

} // namespace kv::toolbox::emi
