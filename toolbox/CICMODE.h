// Toolbox page "常用方案": the list of ready-made solutions. A click on a row
// opens its designer, or starts the boost PFC program K7350 beside Korvane.
#pragma once

#include "platform/ui/Dialog.h"

#include <string>

namespace kv::toolbox {

// CICMODE (IC modes): the common-solutions page, the list of controller designers.
class CICMODE : public ui::Dialog {
public:
    enum : int { kList = 1436, kHint = 1459 };
    // A row that starts a program instead of opening a window.
    static constexpr int kProgram = 0;

    struct Solution {
        const char* text;
        int templateId; // kProgram: K7350
    };
    // The rows, top first.
    static const Solution kSolutions[6];

    explicit CICMODE(ui::Dialog* parent = nullptr);
    void onInitDialog() override;
    bool onCommand(int id, ui::Notify code) override;

    // The K7350 program beside this one.
    static std::string programPath();

private:
    void onClick();
    void startProgram();
    bool filled_ = false;
};

} // namespace kv::toolbox
