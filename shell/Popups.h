// The small modal boxes of the shell: loading splash, welcome notice, about
// box, tips, and the two pauses shown before results are written.
#pragma once

#include "platform/ui/Dialog.h"

#include <functional>

namespace kv::shell {

// "( 4 2 )% ..." text of the progress boxes: first digits of p/10 and p%10.
std::string percentText(int progress);

class LoadingSplash : public ui::Dialog {
public:
    explicit LoadingSplash(Dialog* parent) : Dialog(216, parent) {}
    void onInitDialog() override;
    void onTimer(int id) override;
    void onPaint(ui::Canvas& c) override;
    int progress = 1;
    bool finished = false;
};

class WelcomeDialog : public ui::Dialog {
public:
    explicit WelcomeDialog(Dialog* parent) : Dialog(218, parent) {}
    void onInitDialog() override;
    void onTimer(int id) override;
    void onPaint(ui::Canvas& c) override;
    int counter = 0;
};

class AboutDialog : public ui::Dialog {
public:
    explicit AboutDialog(Dialog* parent) : Dialog(100, parent) {}
};

// Tip dialogs 200, 201, 202 and 208: static text and one closing button.
class TipDialog : public ui::Dialog {
public:
    TipDialog(int templateId, Dialog* parent) : Dialog(templateId, parent) {}
};

class CalculatingPopup : public ui::Dialog {
public:
    explicit CalculatingPopup(Dialog* parent) : Dialog(217, parent) {}
    void onInitDialog() override;
    void onTimer(int id) override;
    void onPaint(ui::Canvas& c) override;
    int progress = 0;
    static const ui::Color kColors[10];
    // Random source of the bar colour; seeded from the clock at every paint.
    static std::function<unsigned()> random;
};

class ProgressPause : public ui::Dialog {
public:
    static constexpr int kBar = 1412;
    explicit ProgressPause(Dialog* parent) : Dialog(236, parent) {}
    void onInitDialog() override;
    void onTimer(int id) override;
    int position = 0;
};

// Shows the calculating box over `owner` and returns when it has closed.
void showCalculating(ui::Dialog& owner);
// Shows the progress pause over `owner` and returns when it has closed.
void showProgressPause(ui::Dialog& owner);

} // namespace kv::shell
