// The toolbox: its sheet and every page, for the launcher and korvane-cli.
#pragma once

#include "platform/ui/Dialog.h"

#include <memory>

namespace kv::toolbox {

// Registers every toolbox page (each can also stand alone) and the core database.
void registerWindows();

} // namespace kv::toolbox
