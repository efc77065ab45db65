#include "shell/Popups.h"

#include "platform/ui/Canvas.h"
#include "shell/Settings.h"

#include <cstdlib>
#include <ctime>

namespace kv::shell {

namespace {
constexpr ui::Color kBlue{0, 0, 255};
constexpr ui::Color kBlack{0, 0, 0};
constexpr const char* kKaiti = "楷体";
} // namespace

std::string percentText(int progress) {
    const std::string tens = std::to_string(progress / 10);
    const std::string ones = std::to_string(progress % 10);
    return std::string(" (") + tens[0] + ones[0] + ")% ...";
}

// ---------------------------------------------------------------- splash

void LoadingSplash::onInitDialog() { setTimer(1, 15); }

void LoadingSplash::onTimer(int id) {
    if (id == 1) {
        progress += 2;
        invalidate();
        if (progress >= 100) {
            killTimer(1);
            finished = true;
            progress = 0;
            endDialog(ui::IdOk);
            invalidate();
        }
        return;
    }
    progress += 4;
    if (progress >= 100) {
        killTimer(id);
        endDialog(ui::IdOk);
    }
}

void LoadingSplash::onPaint(ui::Canvas& c) {
    c.setPen({0, 200, 20}, 14);
    c.line(1, 22, 4 * progress, 22);
    c.setTransparent(true);
    c.setTextColor(kBlue);
    c.setFont(kKaiti, 110);
    c.text(90, 0, percentText(progress));
    c.setTextColor(kBlack);
    c.setFont("", 0);
    c.text(0, 0, "读取配置文件");
}

// ---------------------------------------------------------------- welcome

namespace {
const ui::Rect kCounterRect{47, 112, 80, 150};
}

void WelcomeDialog::onInitDialog() {
    counter = 9;
    setTimer(3, 1000);
    invalidate(kCounterRect);
}

void WelcomeDialog::onTimer(int id) {
    if (id != 3) return;
    --counter;
    invalidate(kCounterRect);
    if (counter != 0) return;
    writeSlot(kWelcomeSlot, '0');
    killTimer(3);
    dispatch(ui::IdOk, ui::Notify::Clicked);
}

void WelcomeDialog::onPaint(ui::Canvas& c) {
    c.setTransparent(true);
    c.setTextColor(kBlue);
    c.setFont(kKaiti, 130);
    c.text(47, 112, std::to_string(counter).substr(0, 1));
}

// ---------------------------------------------------------------- calculating

const ui::Color CalculatingPopup::kColors[10] = {
    {160, 180, 200}, {255, 0, 0}, {0, 255, 0},   {0, 0, 255},    {201, 19, 172},
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
    c.setTextColor(kBlue);
    c.setFont(kKaiti, 110);
    c.text(90, 0, percentText(progress));
}

// ---------------------------------------------------------------- progress pause

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

} // namespace kv::shell
