#include "services/Progress.h"

#include "platform/ui/Canvas.h"

#include <cstdlib>
#include <ctime>

namespace kv::services {

std::string percentText(int progress) {
    const std::string tens = std::to_string(progress / 10);
    const std::string ones = std::to_string(progress % 10);
    return std::string(" (") + tens[0] + ones[0] + ")% ...";
}

const ui::Color CalculatingPopup::kColors[10] = {
    {160, 180, 200}, ui::kRed,       ui::kGreen,    ui::kBlue,      {201, 19, 172},
    {254, 254, 24},  {0, 128, 192}, {128, 0, 0}, {128, 128, 64}, {0, 128, 128},
};

std::function<unsigned()> CalculatingPopup::random = [] {
    std::srand(unsigned(std::time(nullptr)));
    return unsigned(std::rand());
};

void CalculatingPopup::onInitDialog() { setTimer(2, 10); }

void CalculatingPopup::onTimer(int id) {
    if (id != 2) return;
    progress += 6;
    invalidate();
    if (progress >= 100) {
        killTimer(2);
        endDialog(ui::IdOk);
    }
}

void CalculatingPopup::onPaint(ui::Canvas& c) {
    c.setPen(kColors[random() % 10], 13);
    c.line(1, 21, int(3.3 * progress), 21);
    c.setTransparent(true);
    c.setTextColor(ui::kBlue);
    c.setFont("楷体", 110);
    c.text(90, 0, percentText(progress));
}

void ProgressPause::onInitDialog() {
    setRange(kBar, 0, 100);
    setTimer(2, 10);
}

void ProgressPause::onTimer(int id) {
    if (id != 2) return;
    position += 6;
    setPos(kBar, position);
    if (position > 100) {
        killTimer(2);
        endDialog(ui::IdOk);
    }
}

void showCalculating(ui::Dialog& owner) {
    CalculatingPopup box(&owner);
    owner.runModal(box);
}

void showProgressPause(ui::Dialog& owner) {
    ProgressPause box(&owner);
    owner.runModal(box);
}

void showTip(ui::Dialog& owner, int templateId) {
    TipDialog box(templateId, &owner);
    owner.runModal(box);
}

} // namespace kv::services
