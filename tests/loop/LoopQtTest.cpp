// The loop pages in Qt windows (offscreen): computed, each draws its loop in
// both plots; the pictures are written to the build folder to be looked at.
#include "loop/CICtrl.h"
#include "loop/CType3.h"
#include "loop/CVCtrl.h"
#include "platform/plot/qt/PlotWidget.h"
#include "platform/ui/qt/QtBackend.h"
#include "tests/common/QtApp.h"
#include "tests/common/TempDir.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

using namespace kv;

namespace {
QApplication* app() { return kv::test::qtApp(); }

// Pixels of the loop's colour inside a control's rectangle.
int loopPixels(const QImage& img, const ui::ControlTemplate& t) {
    const QRect r(ui::dluToPxX(t.x), ui::dluToPxY(t.y), ui::dluToPxX(t.w), ui::dluToPxY(t.h));
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = img.pixelColor(x, y);
            n += c.red() > 170 && c.green() < 60 && c.blue() < 60;
        }
    return n;
}
} // namespace

TEST(LoopGui, EachPageDrawsItsLoop) {
    app();
    test::TempDir dir;
    ui::QtBackend backend;
    ui::setBackend(&backend);
    struct Page {
        std::unique_ptr<ui::Dialog> page;
        std::vector<int> buttons;
    };
    Page pages[] = {
        {std::make_unique<loop::CICtrl>(), {1000}},
        {std::make_unique<loop::CVCtrl>(), {1000, 1001}},
        {std::make_unique<loop::CType3>(), {1235}},
    };
    // The current-mode page is asked for 20 kHz, above its RHP zero: its
    // warning box is answered; the others, at their defaults, have none.
    std::vector<std::string> warnings;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        warnings.push_back(box->text().toStdString());
        for (QPushButton* b : box->findChildren<QPushButton*>()) b->click();
    });
    answer.start(20);
    for (Page& p : pages) {
        ui::Dialog& d = *p.page;
        QWidget* w = backend.createWindow(d);
        warnings.clear();
        if (d.templateId() == 106) d.setText(1040, "20");
        for (int b : p.buttons) d.dispatch(b, ui::Notify::Clicked); // the calculating box runs in Qt
        if (d.templateId() == 106) {
            ASSERT_EQ(warnings.size(), 1u);
            EXPECT_NE(warnings[0].find("环路不稳定"), std::string::npos) << warnings[0];
        } else {
            EXPECT_TRUE(warnings.empty()) << d.templateId() << ": " << warnings.front();
        }
        for (auto* plot : w->findChildren<plot::PlotWidget*>()) plot->sync();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const QImage img = ui::QtBackend::grab(d);
        ASSERT_FALSE(img.isNull());
        img.save(QString(KV_BINARY_DIR "/loop-%1.png").arg(d.templateId()));
        for (int id : {loop::LoopPage::kGainPlot, loop::LoopPage::kPhasePlot})
            EXPECT_GT(loopPixels(img, d.control(id)->tpl), 300) << d.templateId() << " " << id;
        // the pictures are there: the group behind them is not plain
        EXPECT_EQ(w->size(), QSize(ui::dluToPxX(d.dialogTemplate().w), ui::dluToPxY(d.dialogTemplate().h)));
        ui::setBackend(&backend);
    }
}
