// Toolbox page that opens a formula or interface file in the desktop's text
// editor, with the picture of its topology beside it.
#pragma once

#include "platform/ui/Dialog.h"
#include "services/Templates.h"

#include <string>
#include <string_view>

namespace kv::toolbox {

// CEditPage: the toolbox page that opens the formula and interface files.
class CEditPage : public ui::Dialog {
public:
    enum : int {
        kFormulaList = 1314, kOpenFormula = 1000, kInterfaceList = 1316, kOpenInterface = 1001,
        kFormulaGroup = 1315, kInterfaceGroup = 1317, kTitle = 1313, kHelpNote = 1227,
    };
    explicit CEditPage(ui::Dialog* parent = nullptr) : Dialog(tpl::kEditPage, parent) {}
    void onInitDialog() override;
    bool onCommand(int id, ui::Notify code) override;

private:
    static const ui::MessageEntry<CEditPage> kMessageMap[];
    void onOpenFormula();
    void onOpenInterface();
    // Opens `file` of the current folder and `picture` of the Code folder.
    void open(std::string_view file, std::string_view picture);
    bool filled_ = false;
};

} // namespace kv::toolbox
