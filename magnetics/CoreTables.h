// What the core adviser knows of a row of the core database beyond the
// workbook's columns: the IEC shape of its type (from data/cores.csv) and the
// saturation flux density of its material (from the MAS material data).
#pragma once

#include <span>
#include <string_view>

namespace kv::magnetics {

// The IEC 63093 shape of a core type as the workbook names it ("ETD34" →
// "ETD 34/17/11"); "" for a type of the table that has no IEC shape (EI,
// EPC ...), nullptr for a type the table does not know.
const char* iecShapeOfType(std::string_view type);

struct Saturation {
    const char* material;
    double at25C, at100C; // T
};
std::span<const Saturation> saturations();
// nullptr for a material without saturation data.
const Saturation* saturationOf(std::string_view material);

} // namespace kv::magnetics
