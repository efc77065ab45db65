#include "shell/Popups.h"

#include "platform/ui/Canvas.h"
#include "services/Progress.h"
#include "services/Settings.h"

#include <cstdlib>
#include <ctime>

namespace kv::shell {

namespace {
constexpr const char* kKaiti = "楷体";
} // namespace

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
    c.setTextColor(ui::kBlue);
    c.setFont(kKaiti, 110);
    c.text(90, 0, services::percentText(progress));
    c.setTextColor(ui::kBlack);
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
    services::writeSlot(services::kWelcomeSlot, '0');
    killTimer(3);
    dispatch(ui::IdOk, ui::Notify::Clicked);
}

void WelcomeDialog::onPaint(ui::Canvas& c) {
    c.setTransparent(true);
    c.setTextColor(ui::kBlue);
    c.setFont(kKaiti, 130);
    c.text(47, 112, std::to_string(counter).substr(0, 1));
}

} // namespace kv::shell
