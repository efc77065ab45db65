// Toolbox page that opens a formula or interface file in the desktop's text
// editor, with the picture of its topology beside it.
#pragma once

#include "platform/ui/Dialog.h"

#include <string>

namespace kv::toolbox {

struct ScriptEntry {
    const char* entry;   // list text
    const char* file;    // in the current directory
    const char* picture; // in the Code folder beside the program
};
extern const ScriptEntry kFormulaEntries[13];
extern const ScriptEntry kInterfaceEntries[7];

class CEditPage : public ui::Dialog {
public:
    enum : int {
        kFormulaList = 1314, kOpenFormula = 1000, kInterfaceList = 1316, kOpenInterface = 1001,
        kFormulaGroup = 1315, kInterfaceGroup = 1317, kTitle = 1313, kHelpNote = 1227,
    };
    explicit CEditPage(ui::Dialog* parent = nullptr) : Dialog(220, parent) {}
    void onInitDialog() override;
    bool onCommand(int id, ui::Notify code) override;

private:
    static const ui::MessageEntry<CEditPage> kMessageMap[];
    void onOpenFormula();
    void onOpenInterface();
    void open(const ScriptEntry& e);
    bool filled_ = false;
};

} // namespace kv::toolbox
