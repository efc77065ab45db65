#include "toolbox/ToolSheet.h"

#include "toolbox/ToolPages.h"

namespace kv::toolbox {

CTool::CTool(ui::Dialog* parent) : PageSheet("Korvanes", parent, toolPages()) {}

void runToolSheet(ui::Dialog* parent) {
    CTool sheet(parent);
    sheet.run();
}

} // namespace kv::toolbox
