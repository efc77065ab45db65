#include "toolbox/CEditPage.h"

#include "platform/ui/Backend.h"
#include "platform/ui/Files.h"

#include <filesystem>

namespace kv::toolbox {

const ScriptEntry kFormulaEntries[13] = {
    {"CCM Buck", "CCM Buck cfg.txt", "DC-DC变换器.JPG"},
    {"DCM Buck", "DCM Buck cfg.txt", "DC-DC变换器.JPG"},
    {"CCM Boost", "CCM Boost cfg.txt", "DC-DC变换器.JPG"},
    {"DCM Boost", "DCM Boost cfg.txt", "DC-DC变换器.JPG"},
    {"CCM Buck-Boost", "CCM Buck-Boost cfg.txt", "DC-DC变换器.JPG"},
    {"DCM Buck-Boost", "DCM Buck-Boost cfg.txt", "DC-DC变换器.JPG"},
    {"CCM 反激", "CCM反激变换器 cfg.txt", "反激变换器.JPG"},
    {"DCM 反激", "DCM反激变换器 cfg.txt", "反激变换器.JPG"},
    {"RCC 变换器", "RCC cfg.txt", "RCC变换器.JPG"},
    {"正激变换器", "正激变换器 cfg.txt", "正激变换器.JPG"},
    {"推挽变换器", "推挽变换器 cfg.txt", "推挽变换器.JPG"},
    {"半桥变换器", "半桥变换器 cfg.txt", "半桥变换器.JPG"},
    {"全桥变换器", "全桥变换器 cfg.txt", "全桥变换器.JPG"},
};

const ScriptEntry kInterfaceEntries[7] = {
    {"DC-DC变换器", "DC-DC Interface.txt", "DC-DC变换器.JPG"},
    {"反激变换器", "Flyback Interface.txt", "反激变换器.JPG"},
    {"RCC变换器", "RCC Interface.txt", "RCC变换器.JPG"},
    {"正激变换器", "Forward Interface.txt", "正激变换器.JPG"},
    {"推挽变换器", "Push-Pull Interface.txt", "推挽变换器.JPG"},
    {"半桥变换器", "Half Bridge Interface.txt", "半桥变换器.JPG"},
    {"全桥变换器", "Full Bridge Interface.txt", "全桥变换器.JPG"},
};

using P = CEditPage;
const ui::MessageEntry<P> P::kMessageMap[] = {
    {P::kOpenFormula, ui::Notify::Clicked, &P::onOpenFormula},
    {P::kOpenInterface, ui::Notify::Clicked, &P::onOpenInterface},
};

bool CEditPage::onCommand(int id, ui::Notify code) { return ui::dispatchMap(this, kMessageMap, id, code); }

void CEditPage::onInitDialog() {
    const ui::Color blue{0, 0, 255};
    setTextColor(kFormulaGroup, blue);
    setTextColor(kInterfaceGroup, blue);
    setTextColor(kTitle, {200, 0, 200});
    setTextColor(kHelpNote, {200, 0, 0});
    if (filled_) return;
    filled_ = true;
    for (const ScriptEntry& e : kFormulaEntries) addItem(kFormulaList, e.entry);
    for (const ScriptEntry& e : kInterfaceEntries) addItem(kInterfaceList, e.entry);
    select(kFormulaList, 0);
    select(kInterfaceList, 0);
}

void CEditPage::onOpenFormula() {
    const int i = selected(kFormulaList);
    if (i >= 0 && i < int(std::size(kFormulaEntries))) open(kFormulaEntries[i]);
}

void CEditPage::onOpenInterface() {
    const int i = selected(kInterfaceList);
    if (i >= 0 && i < int(std::size(kInterfaceEntries))) open(kInterfaceEntries[i]);
}

void CEditPage::open(const ScriptEntry& e) {
    std::error_code ec;
    const std::filesystem::path cwd = std::filesystem::current_path(ec);
    const std::string file = (cwd / e.file).string();
    const std::string picture =
        (std::filesystem::path(ui::programDir()) / "Code" / e.picture).string();
    std::string failed;
    if (!ui::backend().shellOpen(file)) failed += "\n" + file;
    if (!ui::backend().shellOpen(picture)) failed += "\n" + picture;
    // The desktop does not report a file it cannot open: say so here.
    if (!failed.empty()) messageBox("无法打开文件:" + failed, ui::kAppName, ui::Icon::Warning);
}

} // namespace kv::toolbox
