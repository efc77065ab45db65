#include "toolbox/ToolSheet.h"

#include "toolbox/ToolPages.h"

namespace kv::toolbox {

CTool::CTool(ui::Dialog* parent) : PageSheet("Korvanes", parent, toolPages()) {}

} // namespace kv::toolbox
