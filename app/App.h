// The program's composition: the one place that knows every part of Korvane.
#pragma once

#include "platform/ui/Dialog.h"

#include <memory>

namespace kv::app {

// Registers every window and sheet of this build by template.
void registerAll();
// Any window of this build by template, for the command-line driver and the
// picture gallery; nullptr for an unknown template.
std::unique_ptr<ui::Dialog> createDialog(int templateId, ui::Dialog* parent);

} // namespace kv::app
