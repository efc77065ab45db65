#include "toolbox/CICMODE.h"

#include "platform/ui/Backend.h"
#include "platform/io/Files.h"
#include "services/Templates.h"
#include "services/Windows.h"

#include <filesystem>

namespace kv::toolbox {

const CICMODE::Solution CICMODE::kSolutions[6] = {
    {"SD670x降压低PF", tpl::kSd670x}, {"LED隔离低P/高P", tpl::kIsolatedLed}, {"K7350单级PFC", tpl::kSinglePfc},
    {"K7350升压PFC", kProgram},       {"美芯晟MT7930", tpl::kMt7930},        {"SD690x降压高PF", tpl::kSd690x},
};

CICMODE::CICMODE(ui::Dialog* parent) : Dialog(tpl::kSolutions, parent) {
    // Headings before any window is built, so that the list shows its header.
    setColumns(kList, {"类型"}, {90});
}

void CICMODE::onInitDialog() {
    setTextColor(kHint, {0, 180, 0});
    if (filled_) return;
    filled_ = true;
    for (const Solution& s : kSolutions) addItem(kList, s.text);
}

bool CICMODE::onCommand(int id, ui::Notify code) {
    if (id != kList || code != ui::Notify::Clicked) return false;
    onClick();
    return true;
}

std::string CICMODE::programPath() {
    return (std::filesystem::path(io::programDir()) / "K7350" / "K7350").string();
}

void CICMODE::onClick() {
    const int row = selected(kList);
    if (row >= 0 && row < int(std::size(kSolutions))) {
        const Solution& s = kSolutions[row];
        if (s.templateId == kProgram) startProgram();
        else services::openModelessWindow(s.templateId, *this);
    }
    select(kList, -1);
}

void CICMODE::startProgram() {
    const std::string path = programPath();
    if (!ui::backend().startDetached(path))
        messageBox("无法启动程序:\n" + path, ui::kAppName, ui::Icon::Warning);
}

} // namespace kv::toolbox
