// The toolbox: its sheet and every page, for the launcher and korvane-cli.
#pragma once

#include "platform/ui/Dialog.h"

#include <memory>

namespace kv::toolbox {

// A toolbox page or dialog by template, standing alone; nullptr when unknown.
std::unique_ptr<ui::Dialog> createPage(int templateId, ui::Dialog* parent);

} // namespace kv::toolbox
