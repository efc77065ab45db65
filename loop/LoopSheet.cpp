#include "loop/LoopSheet.h"

#include "loop/CICtrl.h"
#include "loop/CType3.h"
#include "loop/CVCtrl.h"
#include "services/Windows.h"

namespace kv::loop {

CLoop::CLoop(ui::Dialog* parent) : PropertySheet("环路补偿 Feedback Loop   <内置算法>", parent) {
    hideApply = true;
    hideHelp = true;
    hideButtons = true;
    pages_.push_back(std::make_unique<CICtrl>(this));
    pages_.push_back(std::make_unique<CVCtrl>(this));
    pages_.push_back(std::make_unique<CType3>(this));
    for (auto& p : pages_) addPage(*p);
}

std::vector<int> CLoop::pageTemplates() const {
    std::vector<int> ids;
    for (const auto& p : pages_) ids.push_back(p->templateId());
    return ids;
}

void runLoopSheet(ui::Dialog* parent) {
    CLoop sheet(parent);
    sheet.run();
}

void registerWindows() {
    services::registerWindow<CICtrl>(106);
    services::registerWindow<CVCtrl>(107);
    services::registerWindow<CType3>(205);
}

} // namespace kv::loop
