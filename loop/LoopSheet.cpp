#include "loop/LoopSheet.h"

#include "loop/CICtrl.h"
#include "loop/CType3.h"
#include "loop/CVCtrl.h"
#include "services/Templates.h"

namespace kv::loop {

namespace {
using services::make;

// The pages in tab order.
const services::SheetPage kPages[] = {
    {tpl::kCurrentMode, make<CICtrl>},
    {tpl::kTypeTwo, make<CVCtrl>},
    {tpl::kTypeThree, make<CType3>},
};
} // namespace

CLoop::CLoop(ui::Dialog* parent) : PageSheet("环路补偿 Feedback Loop   <内置算法>", parent, kPages) {}

std::span<const services::SheetPage> loopPages() { return kPages; }

void registerWindows() { services::registerPages(kPages); }

} // namespace kv::loop
