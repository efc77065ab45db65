#include "toolbox/ToolPages.h"

#include "toolbox/CEditPage.h"
#include "toolbox/CoreDatabase.h"

namespace kv::toolbox {

std::unique_ptr<ui::Dialog> createPage(int templateId, ui::Dialog* parent) {
    switch (templateId) {
    case 220: return std::make_unique<CEditPage>(parent);
    case 262: return std::make_unique<CoreDatabaseDialog>(parent);
    default: break;
    }
    (void)parent;
    return nullptr;
}

} // namespace kv::toolbox
