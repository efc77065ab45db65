#include "toolbox/ToolSheet.h"

#include "toolbox/CEditPage.h"

namespace kv::toolbox {

namespace {
template <class Page>
std::unique_ptr<ui::Dialog> make(ui::Dialog* sheet) {
    return std::make_unique<Page>(sheet);
}

using PageMaker = std::unique_ptr<ui::Dialog> (*)(ui::Dialog*);

// The pages in tab order, one line each; a page joins here once it is built.
const PageMaker kPages[] = {
    make<CEditPage>,
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
