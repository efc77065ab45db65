// The modal pauses every window shows before it writes its results, and the
// tip dialogs with their closing button.
#pragma once

#include "platform/ui/Dialog.h"
#include "services/Templates.h"

#include <functional>
#include <string>

namespace kv::services {

// "( 4 2 )% ..." text of the progress boxes: first digits of p/10 and p%10.
std::string percentText(int progress);

class CalculatingPopup : public ui::Dialog {
public:
    explicit CalculatingPopup(Dialog* parent) : Dialog(tpl::kCalculating, parent) {}
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
    explicit ProgressPause(Dialog* parent) : Dialog(tpl::kProgressPause, parent) {}
    void onInitDialog() override;
    void onTimer(int id) override;
    int position = 0;
};

// The tip dialogs of the loop sheet: static text and one closing button.
class TipDialog : public ui::Dialog {
public:
    TipDialog(int templateId, Dialog* parent) : Dialog(templateId, parent) {}
};

// Shows the calculating box over `owner` and returns when it has closed.
void showCalculating(ui::Dialog& owner);
// Shows the progress pause over `owner` and returns when it has closed.
void showProgressPause(ui::Dialog& owner);
// Shows tip dialog `templateId` over `owner` until the user closes it.
void showTip(ui::Dialog& owner, int templateId);

} // namespace kv::services
