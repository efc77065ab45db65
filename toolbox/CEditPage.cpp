#include "toolbox/CEditPage.h"

#include "platform/ui/Backend.h"
#include "platform/io/Files.h"
#include "script/DesignerFiles.h"

#include <filesystem>

namespace kv::toolbox {

namespace {
// The rows of the two lists: every formula file of every designer, and every interface file.
struct Row {
    const script::DesignerFiles* designer;
    int mode; // -1: the interface file
};

std::vector<Row> rows(bool formulas) {
    std::vector<Row> out;
    for (const auto& d : script::designerFiles()) {
        if (!formulas) out.push_back({&d, -1});
        else
            for (int m = 0; m < int(d.formulas.size()); ++m) out.push_back({&d, m});
    }
    return out;
}
} // namespace

using P = CEditPage;
const ui::MessageEntry<P> P::kMessageMap[] = {
    {P::kOpenFormula, ui::Notify::Clicked, &P::onOpenFormula},
    {P::kOpenInterface, ui::Notify::Clicked, &P::onOpenInterface},
};

bool CEditPage::onCommand(int id, ui::Notify code) { return ui::dispatchMap(this, kMessageMap, id, code); }

void CEditPage::onInitDialog() {
    setTextColor(kFormulaGroup, ui::kBlue);
    setTextColor(kInterfaceGroup, ui::kBlue);
    setTextColor(kTitle, {200, 0, 200});
    setTextColor(kHelpNote, {200, 0, 0});
    if (filled_) return;
    filled_ = true;
    for (const Row& r : rows(true)) addItem(kFormulaList, std::string(r.designer->formulas[size_t(r.mode)].entry));
    for (const Row& r : rows(false)) addItem(kInterfaceList, std::string(r.designer->interfaceEntry));
    select(kFormulaList, 0);
    select(kInterfaceList, 0);
}

void CEditPage::onOpenFormula() {
    const int i = selected(kFormulaList);
    const std::vector<Row> list = rows(true);
    if (i >= 0 && i < int(list.size()))
        open(list[size_t(i)].designer->formulas[size_t(list[size_t(i)].mode)].file, list[size_t(i)].designer->picture);
}

void CEditPage::onOpenInterface() {
    const int i = selected(kInterfaceList);
    const std::vector<Row> list = rows(false);
    if (i >= 0 && i < int(list.size())) open(list[size_t(i)].designer->interfaceFile, list[size_t(i)].designer->picture);
}

void CEditPage::open(std::string_view fileName, std::string_view pictureName) {
    std::error_code ec;
    const std::filesystem::path cwd = std::filesystem::current_path(ec);
    const std::string file = (cwd / fileName).string();
    const std::string picture = (std::filesystem::path(io::programDir()) / "Code" / pictureName).string();
    std::string failed;
    if (!ui::backend().shellOpen(file)) failed += "\n" + file;
    if (!ui::backend().shellOpen(picture)) failed += "\n" + picture;
    // The desktop does not report a file it cannot open: say so here.
    if (!failed.empty()) messageBox("无法打开文件:" + failed, ui::kAppName, ui::Icon::Warning);
}

} // namespace kv::toolbox
