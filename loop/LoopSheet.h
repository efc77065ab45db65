// The loop-compensation sheet of the launcher's "环路补偿" button: the
// current-mode, type II and type III pages in one modal property sheet,
// closed with the close box.
#pragma once

#include "services/Windows.h"

namespace kv::loop {

// CLoop: the loop sheet, the property sheet of the three loop pages.
class CLoop : public services::PageSheet {
public:
    explicit CLoop(ui::Dialog* parent = nullptr);
};

// The pages in tab order.
std::span<const services::SheetPage> loopPages();

// Registers the loop pages by their templates (each can also stand alone).
void registerWindows();

} // namespace kv::loop
