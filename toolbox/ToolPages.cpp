#include "toolbox/ToolPages.h"

#include "toolbox/CEditPage.h"
#include "toolbox/CoreDatabase.h"

#include "toolbox/CCore.h"
#include "toolbox/CCore2.h"
#include "toolbox/CCore3.h"
#include "toolbox/CEMI.h"
#include "toolbox/CEMIDM.h"
#include "toolbox/CJifu.h"
#include "toolbox/CWire.h"

namespace kv::toolbox {

std::unique_ptr<ui::Dialog> createPage(int templateId, ui::Dialog* parent) {
    switch (templateId) {
    case 220: return std::make_unique<CEditPage>(parent);
    case 262: return std::make_unique<CoreDatabaseDialog>(parent);
    case 222: return std::make_unique<CEMI>(parent);
    case 224: return std::make_unique<CCore>(parent);
    case 228: return std::make_unique<CWire>(parent);
    case 231: return std::make_unique<CCore2>(parent);
    case 233: return std::make_unique<CCore3>(parent);
    case 234: return std::make_unique<CJifu>(parent);
    case 261: return std::make_unique<CEMIDM>(parent);
    default: break;
    }
    (void)parent;
    return nullptr;
}

} // namespace kv::toolbox
