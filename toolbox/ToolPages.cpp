#include "toolbox/ToolPages.h"

#include "services/Templates.h"
#include "toolbox/CCore.h"
#include "toolbox/CCore2.h"
#include "toolbox/CCore3.h"
#include "toolbox/CEMI.h"
#include "toolbox/CEMIDM.h"
#include "toolbox/CEditPage.h"
#include "toolbox/CICMODE.h"
#include "toolbox/CJifu.h"
#include "toolbox/CPFC.h"
#include "toolbox/CWire.h"
#include "toolbox/CYIJIE.h"
#include "toolbox/CoreDatabase.h"

namespace kv::toolbox {

namespace {
using services::make;

// The pages in tab order, one line each; a page joins here once it is built.
const services::SheetPage kPages[] = {
    {tpl::kSolutions, make<CICMODE>},         // 常用方案
    {tpl::kCoreArea, make<CCore>},            // 磁芯计算1
    {tpl::kCoreVolume, make<CCore2>},         // 磁芯计算2
    {tpl::kForwardCoreVolume, make<CCore3>},  // 磁芯计算3
    {tpl::kSkinDepth, make<CJifu>},           // 集肤效应
    {tpl::kWire, make<CWire>},                // 导线计算
    {tpl::kPfc, make<CPFC>},                  // PFC设计(7350/7351)
    {tpl::kEmi, make<CEMI>},                  // EMI参数计算
    {tpl::kRectifierCurrent, make<CEMIDM>},   // DM饱和电流计算
    {tpl::kFirstOrder, make<CYIJIE>},         // 一阶电路
    {tpl::kEditPage, make<CEditPage>},        // 公式界面自定义
};
} // namespace

std::span<const services::SheetPage> toolPages() { return kPages; }

void registerWindows() {
    services::registerPages(kPages);
    services::registerWindow<CoreDatabaseDialog>(tpl::kCoreDatabase);
}

} // namespace kv::toolbox
