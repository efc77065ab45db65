// The words of the loss figures in Korvane's windows: the note that says why
// they are blank (or that the core loss is an upper bound), the figures as
// text and the caption of the core they were worked out on.
#pragma once

#include "magnetics/DesignLoss.h"

#include <string>
#include <string_view>
#include <vector>

namespace kv::services {

// Significant digits of a loss figure: the model is good to some ten per cent.
inline constexpr int kLossDigits = 3;

// Why the figures of `w` are blank, "" when they stand; a note when the core
// loss is taken at the lowest flux of the data. `pick` is the label of the
// window's button that picks a core from the database.
std::string lossNote(const magnetics::WindowLoss& w, const magnetics::TableCore* core, std::string_view pick);
// A loss (W) or a rise (K) as the windows show it; "" when not finite.
std::string lossText(double v);

// `text` in lines of at most `perLine` characters (UTF-8 code points), for a
// note drawn in a narrow column.
std::vector<std::string> wrapped(std::string_view text, int perLine);

// "磁芯:" with the core's type and material, or "磁芯:用户输入" for a typed core.
inline constexpr const char* kTypedCore = "磁芯:用户输入";
std::string coreCaption(const magnetics::TableCore* core);

// Why a design file's line `name` = `value` is not a picked core as the files
// keep it ("ETD44; N87; Ae; Aw; AL; le; Ve").
std::string coreLineMisfit(std::string_view name, std::string_view value);

} // namespace kv::services
