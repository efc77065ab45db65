// The toolbox sheet of the launcher's "Kit" button: the calculator pages in
// one modal property sheet, closed with the close box.
#pragma once

#include "platform/ui/Dialog.h"

#include <memory>
#include <vector>

namespace kv::toolbox {

class CTool : public ui::PropertySheet {
public:
    explicit CTool(ui::Dialog* parent = nullptr);
    // Templates of the pages in tab order.
    std::vector<int> pageTemplates() const;

private:
    std::vector<std::unique_ptr<ui::Dialog>> pages_;
};

// Builds the sheet over `parent` and runs it modally.
void runToolSheet(ui::Dialog* parent);

} // namespace kv::toolbox
