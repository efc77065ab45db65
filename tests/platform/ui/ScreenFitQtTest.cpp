// Every window of Korvane on a 1366x768 screen: none larger than the screen,
// what does not fit scrolls inside a window that does.
#include "app/App.h"
#include "platform/ui/Template.h"
#include "platform/ui/qt/QtBackend.h"
#include "services/Templates.h"
#include "tests/common/QtApp.h"
#include "tests/common/TempDir.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace kv;

using test::kFrameHeight;
using test::kFrameWidth;

TEST(ScreenFit, EveryWindowFitsA1366x768Screen) {
    if (!test::onScreen("1366x768", "ScreenFit.*")) return;
    test::qtApp();
    test::TempDir dir;
    ui::QtBackend backend;
    ui::setBackend(&backend);
    app::registerAll();
    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(avail.size(), QSize(1366, 768));
    // Notices a window shows as it starts are answered at once.
    QTimer dismiss;
    QObject::connect(&dismiss, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->accept();
    });
    dismiss.start(20);

    int opened = 0;
    bool llcScrolls = false;
    for (const ui::DialogTemplate& t : ui::allTemplates()) {
        std::unique_ptr<ui::Dialog> dlg = app::createDialog(t.id, nullptr);
        if (!dlg) continue;
        QWidget* win = backend.createWindow(*dlg);
        ASSERT_NE(win, nullptr) << t.id;
        QWidget* surface = ui::QtBackend::windowOf(*dlg);   // what the dialog draws on
        ASSERT_NE(surface, nullptr) << t.id;
        ASSERT_EQ(surface->window(), win) << t.id;
        ++opened;
        EXPECT_LE(win->width() + kFrameWidth, avail.width()) << t.id << " " << t.caption;
        EXPECT_LE(win->height() + kFrameHeight, avail.height()) << t.id << " " << t.caption;
        const bool scrolls = win != surface;
        // A window that fits is as its template; one that does not keeps all of it in reach.
        if (scrolls) {
            auto* area = win->findChild<QScrollArea*>();
            ASSERT_NE(area, nullptr) << t.id;
            win->show();   // laid out as shown
            QCoreApplication::processEvents();
            EXPECT_EQ(area->widget(), surface) << t.id;
            EXPECT_EQ(surface->width(), ui::dluToPxX(t.w)) << t.id;
            EXPECT_EQ(surface->height(), ui::dluToPxY(t.h)) << t.id;
            area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
            area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
            // The far corner of the dialog comes into the window.
            const QPoint corner =
                surface->mapTo(area->viewport(), QPoint(surface->width() - 1, surface->height() - 1));
            EXPECT_TRUE(area->viewport()->rect().contains(corner)) << t.id;
        } else {
            EXPECT_EQ(win->size(), QSize(ui::dluToPxX(t.w), ui::dluToPxY(t.h))) << t.id;
        }
        if (t.id == tpl::kLlc) llcScrolls = scrolls;
        dlg.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_GT(opened, 40);
    EXPECT_TRUE(llcScrolls);   // 1365x776 of dialog on a 768-pixel screen
    ui::setBackend(nullptr);
}
