// Display font of the graphical flyback: face and size in System.cfg.
#pragma once

#include "platform/ui/Dialog.h"
#include "services/Templates.h"

namespace kv::shell {

class FontDialog : public ui::Dialog {
public:
    static constexpr int kFace = 1378;
    static constexpr int kSize = 1379;
    explicit FontDialog(Dialog* parent) : Dialog(tpl::kFont, parent) {}
    void onInitDialog() override;
    void onOk() override;
    int size = 100;
};

} // namespace kv::shell
