#include "toolbox/ToolPages.h"

#include "toolbox/CEditPage.h"
#include "toolbox/CoreDatabase.h"

#include "toolbox/CCore.h"
#include "toolbox/CCore2.h"
#include "toolbox/CCore3.h"
#include "toolbox/CEMI.h"
#include "toolbox/CEMIDM.h"
#include "toolbox/CICMODE.h"
#include "toolbox/CPFC.h"
#include "toolbox/CJifu.h"
#include "toolbox/CWire.h"
#include "toolbox/CYIJIE.h"
#include "services/Windows.h"

namespace kv::toolbox {

void registerWindows() {
    services::registerWindow<CEditPage>(220);
    services::registerWindow<CoreDatabaseDialog>(services::kCoreDatabaseTemplate);
    services::registerWindow<CEMI>(222);
    services::registerWindow<CCore>(224);
    services::registerWindow<CWire>(228);
    services::registerWindow<CPFC>(229);
    services::registerWindow<CCore2>(231);
    services::registerWindow<CCore3>(233);
    services::registerWindow<CJifu>(234);
    services::registerWindow<CYIJIE>(235);
    services::registerWindow<CICMODE>(257);
    services::registerWindow<CEMIDM>(261);
}

} // namespace kv::toolbox
