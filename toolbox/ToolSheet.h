// The toolbox sheet of the launcher's "Kit" button: the calculator pages in
// one modal property sheet, closed with the close box.
#pragma once

#include "services/Windows.h"

namespace kv::toolbox {

// CTool: the toolbox, the property sheet of the toolbox pages.
class CTool : public services::PageSheet {
public:
    explicit CTool(ui::Dialog* parent = nullptr);
};

} // namespace kv::toolbox
