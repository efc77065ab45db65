// The small modal boxes of the start-up: loading splash, welcome notice and
// the about box.
#pragma once

#include "platform/ui/Dialog.h"
#include "services/Templates.h"

namespace kv::shell {

class LoadingSplash : public ui::Dialog {
public:
    explicit LoadingSplash(Dialog* parent) : Dialog(tpl::kSplash, parent) {}
    void onInitDialog() override;
    void onTimer(int id) override;
    void onPaint(ui::Canvas& c) override;
    int progress = 1;
    bool finished = false;
};

class WelcomeDialog : public ui::Dialog {
public:
    explicit WelcomeDialog(Dialog* parent) : Dialog(tpl::kWelcome, parent) {}
    void onInitDialog() override;
    void onTimer(int id) override;
    void onPaint(ui::Canvas& c) override;
    int counter = 0;
};

class AboutDialog : public ui::Dialog {
public:
    explicit AboutDialog(Dialog* parent) : Dialog(tpl::kAbout, parent) {}
};

} // namespace kv::shell
