// The loop-compensation sheet of the launcher's "环路补偿" button.
#pragma once

#include "platform/ui/Dialog.h"

namespace kv::loop {
// Registers the loop pages by their templates.
void registerWindows();
} // namespace kv::loop
