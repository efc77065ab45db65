// The common-solutions list and the controller designers in real Qt windows on
// the offscreen platform: a mouse click on a list row, keystrokes into a live
// designer, the keyboard focus, and a program started detached.
#include "app/App.h"
#include "ic_designers/Mt7930Designer.h"
#include "ic_designers/SinglePfcDesigner.h"
#include "platform/ui/qt/QtBackend.h"
#include "tests/common/QtApp.h"
#include "tests/common/TempDir.h"
#include "toolbox/CICMODE.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>

using namespace kv;

namespace {
struct QtWindows : ::testing::Test {
    test::TempDir dir;
    ui::QtBackend backend;
    QtWindows() {
        test::qtApp();
        ui::setBackend(&backend);
        app::registerAll();
    }
    ~QtWindows() override { ui::setBackend(nullptr); }
    static QWidget* windowTitled(const std::string& title) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowTitle().toStdString() == title) return w;
        return nullptr;
    }
    static bool waitFor(const std::function<bool()>& done, int ms = 3000) {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < ms) QTest::qWait(20);
        return done();
    }
};
} // namespace

TEST_F(QtWindows, AClickOnAListRowOpensItsDesigner) {
    toolbox::CICMODE page;
    QWidget* win = backend.createWindow(page);
    win->show();
    auto* list = win->findChild<QTreeWidget*>("1436");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->topLevelItemCount(), 6);
    EXPECT_EQ(list->topLevelItem(2)->text(0).toStdString(), "K7350单级PFC");
    const QRect row = list->visualItemRect(list->topLevelItem(2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    ASSERT_TRUE(waitFor([] { return windowTitled("K7350单级PFC / Auto Processing...") != nullptr; }));
    EXPECT_EQ(page.selected(toolbox::CICMODE::kList), -1);
    EXPECT_TRUE(list->selectedItems().isEmpty());
}

TEST_F(QtWindows, KeystrokesRecomputeLiveWithoutAMessageBox) {
    ic::SinglePfcDesigner d;
    QWidget* win = backend.createWindow(d);
    win->show();
    auto* io = win->findChild<QLineEdit*>(QString::number(ic::SinglePfcDesigner::kIo));
    auto* ipk = win->findChild<QLineEdit*>(QString::number(ic::SinglePfcDesigner::kIpk));
    ASSERT_TRUE(io && ipk);
    const QString before = ipk->text();
    bool boxSeen = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxSeen = true;
            box->accept();
        }
    });
    watch.start(10);
    io->setFocus();
    io->selectAll();
    QTest::keyClicks(io, "1.8");
    QTest::qWait(50);
    EXPECT_FALSE(boxSeen);
    EXPECT_EQ(io->text(), "1.8");
    EXPECT_EQ(d.text(ic::SinglePfcDesigner::kIo), "1.8");
    ASSERT_FALSE(ipk->text().isEmpty());
    EXPECT_NEAR(ipk->text().toDouble(), before.toDouble() * 2, 1e-3 * before.toDouble());
}

TEST_F(QtWindows, TheFieldInFocusShowsItsTip) {
    using M = ic::Mt7930Designer;
    M d;
    QWidget* win = backend.createWindow(d);
    win->show();
    QApplication::setActiveWindow(win);
    auto* vor = win->findChild<QLineEdit*>(QString::number(M::kVor));
    ASSERT_NE(vor, nullptr);
    // the first field takes the focus as the window shows: the note of a fresh window stays
    QTest::qWait(50);
    EXPECT_EQ(d.text(M::kTips), M::kFresh);
    vor->setFocus();
    vor->selectAll();
    QTest::keyClicks(vor, "100");
    EXPECT_EQ(d.text(M::kTips), M::kOk);
    auto* eff = win->findChild<QLineEdit*>(QString::number(M::kEff));
    eff->setFocus();
    ASSERT_TRUE(waitFor([&] { return d.text(M::kTips) != M::kOk; }));
    EXPECT_EQ(d.text(M::kTips), "估计的变换器效率!");
    auto* tips = win->findChild<QLabel*>(QString::number(M::kTips));
    ASSERT_NE(tips, nullptr);
    EXPECT_EQ(tips->text().toStdString(), d.text(M::kTips));
}

TEST_F(QtWindows, AProgramStartsDetached) {
    namespace fs = std::filesystem;
    const fs::path marker = dir.path() / "started";
    const fs::path program = dir.path() / "prog";
    test::writeFile(program, "#!/bin/sh\ntouch '" + marker.string() + "'\n");
    fs::permissions(program, fs::perms::owner_all);
    EXPECT_TRUE(backend.startDetached(program.string()));
    EXPECT_TRUE(waitFor([&] { return fs::exists(marker); }));
    // not a program, or not there
    test::writeFile(dir.path() / "text", "x");
    EXPECT_FALSE(backend.startDetached((dir.path() / "text").string()));
    EXPECT_FALSE(backend.startDetached((dir.path() / "missing").string()));
}
