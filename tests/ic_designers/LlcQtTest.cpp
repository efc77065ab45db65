// The LLC designer in a real Qt window on the offscreen platform.
#include "ic_designers/LlcDesigner.h"
#include "ic_designers/LlcPlot.h"
#include "app/App.h"
#include "platform/ui/qt/QtBackend.h"
#include "tests/common/QtApp.h"
#include "tests/common/TempDir.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>

#include <gtest/gtest.h>

namespace {

QApplication* app() { return kv::test::qtApp(); }

int pixelsNear(const QImage& img, QRect r, QColor c, int tolerance = 60) {
    int n = 0;
    r = r.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor p = img.pixelColor(x, y);
            if (std::abs(p.red() - c.red()) + std::abs(p.green() - c.green()) + std::abs(p.blue() - c.blue()) < tolerance)
                ++n;
        }
    return n;
}

TEST(LlcGui, CurvesStayInTheFrameAndTheReadoutFollowsTheMouse) {
    app();
    kv::test::TempDir dir;
    kv::ui::QtBackend backend;
    kv::ui::setBackend(&backend);
    kv::app::registerAll();
    kv::ic::LlcDesigner w(nullptr);
    QWidget* win = backend.createWindow(w);
    ASSERT_NE(win, nullptr);
    EXPECT_EQ(win->size(), QSize(1365, 776));
    const QImage img = kv::ui::QtBackend::grab(w);
    // The family in blue and the red curve inside the frame, nothing of them beside or above it.
    const QRect frame(630, 100, 703, 505);
    EXPECT_GT(pixelsNear(img, frame, QColor(0, 0, 255)), 3000);
    EXPECT_GT(pixelsNear(img, frame, QColor(255, 0, 0)), 600);
    EXPECT_EQ(pixelsNear(img, QRect(1334, 100, 18, 505), QColor(0, 0, 255)), 0);
    EXPECT_EQ(pixelsNear(img, QRect(700, 82, 630, 16), QColor(0, 0, 255)), 0);
    // The frequency labels under the frame end before the plot's group border (x 1355):
    // the last tick's label is whole.
    EXPECT_GT(pixelsNear(img, QRect(1300, 606, 50, 18), QColor(0, 0, 0), 300), 10);
    EXPECT_EQ(pixelsNear(img, QRect(1350, 606, 15, 18), QColor(0, 0, 0), 300), 0);
    // The circuit picture in its frame.
    EXPECT_GT(pixelsNear(img, QRect(26, 36, 500, 170), QColor(255, 255, 255), 10), 40000);

    QMouseEvent move(QEvent::MouseMove, QPointF(981, 352), win->mapToGlobal(QPointF(981, 352)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(win, &move);
    auto* readout = win->findChild<QLabel*>(QString::number(kv::ic::LlcDesigner::kReadout));
    ASSERT_NE(readout, nullptr);
    EXPECT_EQ(readout->text().toStdString(), kv::ic::llcReadout(w.design, true, 981, 352));
    EXPECT_NE(readout->text().toStdString().find("Gain :1.1,"), std::string::npos);
    kv::ui::setBackend(nullptr);
}

} // namespace
