// Why a magnetics loss figure cannot be given. A window names the input the
// reason points at in its own words; `describe` gives a plain English text.
#pragma once

namespace kv::magnetics {

enum class Reason {
    None,
    BadInput,            // a number that is missing, not finite or not above zero
    UnknownMaterial,     // no loss data for the core's material
    FrequencyOutside,    // outside the frequencies of the material's loss data
    FluxOutside,         // peak flux outside the material's loss data
    TemperatureOutside,  // core temperature outside the material's loss data
    UnknownShape,        // no IEC shape of that name
    ShapeNotSupported,   // a shape whose winding geometry is not modelled
    WindingDoesNotFit,   // the windings need more room than the window has
};

const char* describe(Reason r);

} // namespace kv::magnetics
