// The toolbox: every page in the sheet's tab order, for the sheet, the
// launcher and korvane-cli.
#pragma once

#include "services/Windows.h"

#include <span>

namespace kv::toolbox {

// The pages in tab order.
std::span<const services::SheetPage> toolPages();
// Registers every toolbox page (each can also stand alone) and the core database.
void registerWindows();

} // namespace kv::toolbox
