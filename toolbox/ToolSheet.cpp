#include "toolbox/ToolSheet.h"

#include "toolbox/CCore.h"
#include "toolbox/CCore2.h"
#include "toolbox/CCore3.h"
#include "toolbox/CEMI.h"
#include "toolbox/CEMIDM.h"
#include "toolbox/CEditPage.h"
#include "toolbox/CICMODE.h"
#include "toolbox/CPFC.h"
#include "toolbox/CJifu.h"
#include "toolbox/CWire.h"
#include "toolbox/CYIJIE.h"

namespace kv::toolbox {

namespace {
template <class Page>
std::unique_ptr<ui::Dialog> make(ui::Dialog* sheet) {
    return std::make_unique<Page>(sheet);
}

using PageMaker = std::unique_ptr<ui::Dialog> (*)(ui::Dialog*);

// The pages in tab order, one line each; a page joins here once it is built.
const PageMaker kPages[] = {
    make<CICMODE>,   // 257 常用方案
    make<CCore>,     // 224 磁芯计算1
    make<CCore2>,    // 231 磁芯计算2
    make<CCore3>,    // 233 磁芯计算3
    make<CJifu>,     // 234 集肤效应
    make<CWire>,     // 228 导线计算
    make<CPFC>,      // 229 PFC设计(7350/7351)
    make<CEMI>,      // 222 EMI参数计算
    make<CEMIDM>,    // 261 DM饱和电流计算
    make<CYIJIE>,    // 235 一阶电路
    make<CEditPage>, // 220 公式界面自定义
};
} // namespace

CTool::CTool(ui::Dialog* parent) : PropertySheet("Korvanes", parent) {
    hideApply = true;
    hideHelp = true;
    hideButtons = true;
    for (PageMaker m : kPages) {
        pages_.push_back(m(this));
        addPage(*pages_.back());
    }
}

std::vector<int> CTool::pageTemplates() const {
    std::vector<int> ids;
    for (const auto& p : pages_) ids.push_back(p->templateId());
    return ids;
}

void runToolSheet(ui::Dialog* parent) {
    CTool sheet(parent);
    sheet.run();
}

} // namespace kv::toolbox
