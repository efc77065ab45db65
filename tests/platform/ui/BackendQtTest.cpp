// Real Qt windows on the offscreen platform.
#include "platform/ui/qt/QtBackend.h"
#include "designers/FlybackDesigner.h"
#include "graphic_flyback/GraphicFlybackDialog.h"
#include "shell/FontDialog.h"
#include "shell/Launcher.h"
#include "tests/common/QtApp.h"
#include "tests/common/TempDir.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace kv;

namespace {
QApplication* app() { return test::qtApp(); }

struct Gui : ::testing::Test {
    test::TempDir dir;
    ui::QtBackend backend;
    QTimer watchdog;
    Gui() {
        app();
        ui::setBackend(&backend);
        // A failed step must not leave a modal window waiting for ever.
        watchdog.setInterval(10000);
        QObject::connect(&watchdog, &QTimer::timeout, [] {
            ADD_FAILURE() << "a modal window was left open";
            while (QWidget* w = QApplication::activeModalWidget()) {
                w->hide();
                if (auto* d = qobject_cast<QDialog*>(w)) d->done(QDialog::Rejected);
            }
        });
        watchdog.start();
    }
};

// Counts the pixels of a region whose colour is near `c`.
int pixelsNear(const QImage& img, QRect r, QColor c, int tolerance = 60) {
    int n = 0;
    r = r.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            QColor p = img.pixelColor(x, y);
            if (std::abs(p.red() - c.red()) + std::abs(p.green() - c.green()) + std::abs(p.blue() - c.blue()) <
                tolerance)
                ++n;
        }
    return n;
}

// Presses the button with `label` of the active modal window once it shows.
void pressLater(const QString& label) {
    QTimer::singleShot(50, [label] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) return pressLater(label);
        for (QPushButton* b : w->findChildren<QPushButton*>())
            if (b->text() == label) return b->click();
    });
}
} // namespace

TEST_F(Gui, ChineseFacesResolveToFontsWithTheirGlyphs) {
    const QString sample = QString::fromUtf8("关于软件浏览帮助读取配置文件计算反激正激半桥全桥推挽环路补偿退出");
    for (const char* face : {"楷体", "黑体", "宋体", "华文行楷", ""}) {
        QFont f = ui::fontFor(face, 100);
        QFontInfo info(f);
        QFontMetrics fm(f);
        for (QChar ch : sample) EXPECT_TRUE(fm.inFont(ch)) << face << " lacks " << QString(ch).toStdString()
                                                           << " (resolved to " << info.family().toStdString() << ")";
    }
    EXPECT_EQ(QFontInfo(ui::fontFor("楷体", 100)).family().toStdString().rfind("AR PL UKai", 0), 0u);
    EXPECT_EQ(QFontInfo(ui::fontFor("楷体", 100)).pixelSize(), 13); // 10 points at 96 dpi
}

TEST_F(Gui, LauncherShowsItsTextsAndPicture) {
    shell::LauncherDialog launcher;
    QWidget* w = backend.createWindow(launcher);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->size(), QSize(436, 177));
    EXPECT_EQ(w->windowTitle().toStdString(), "KORVANE  V9.7 ");
    // Every button carries its caption in a font that has the glyphs.
    int buttons = 0;
    for (QPushButton* b : w->findChildren<QPushButton*>()) {
        ++buttons;
        QFontMetrics fm(b->font());
        for (QChar ch : b->text()) EXPECT_TRUE(ch == '&' || fm.inFont(ch)) << b->text().toStdString();
    }
    EXPECT_EQ(buttons, 11);
    const QImage img = ui::QtBackend::grab(launcher);
    std::filesystem::create_directories(KV_BINARY_DIR "/gallery");
    ASSERT_TRUE(img.save(KV_BINARY_DIR "/gallery/launcher.png"));
    // Blue link texts and their underlines, the red caption, the orange frame.
    EXPECT_GT(pixelsNear(img, QRect(18, 122, 72, 12), QColor(0, 0, 255), 200), 40);
    EXPECT_GT(pixelsNear(img, QRect(18, 134, 72, 2), QColor(0, 0, 255)), 60);
    EXPECT_GT(pixelsNear(img, QRect(22, 7, 70, 14), QColor(255, 0, 0), 200), 30);
    EXPECT_GT(pixelsNear(img, QRect(11, 20, 2, 90), QColor(255, 128, 0)), 150);
    // The frame leaves its gap behind the caption.
    EXPECT_EQ(pixelsNear(img, QRect(40, 15, 40, 1), QColor(255, 128, 0)), 0);
}

TEST_F(Gui, ModalChooserThroughRealButtons) {
    int mode = 0;
    shell::FlybackModeDialog chooser(mode, nullptr);
    QTimer::singleShot(50, [] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        for (QRadioButton* r : w->findChildren<QRadioButton*>())
            if (r->text() == QString::fromUtf8("原理图界面(保留)")) r->click();
        pressLater(QString::fromUtf8("确定"));
    });
    EXPECT_EQ(backend.runModal(chooser, nullptr), ui::IdOk);
    EXPECT_EQ(mode, 2);
    EXPECT_FALSE(chooser.checked(1357)); // the model followed the click
}

// One-line labels are as tall as their font's line: "(V)" keeps its bottom.
TEST_F(Gui, LabelsHoldTheirWholeLine) {
    designers::FlybackDesigner w(nullptr);
    QWidget* win = backend.createWindow(w);
    int checked = 0;
    for (QLabel* l : win->findChildren<QLabel*>()) {
        if (l->wordWrap() || l->text().isEmpty() || !l->pixmap().isNull()) continue;
        EXPECT_GE(l->height(), l->fontMetrics().height()) << l->text().toStdString();
        ++checked;
    }
    EXPECT_GT(checked, 30);
}

// The splash and the welcome notice run over the launcher before it shows:
// centred on the screen, not on the launcher's unplaced corner.
TEST_F(Gui, AWindowOverAnOwnerNotYetShownIsCentredOnTheScreen) {
    ui::Dialog owner(100);
    backend.createWindow(owner);
    ASSERT_FALSE(ui::QtBackend::windowOf(owner)->isVisible());
    ui::Dialog notice(218, &owner);
    QPoint centre, screenCentre;
    QTimer::singleShot(50, [&] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        centre = w->geometry().center();
        screenCentre = w->screen()->availableGeometry().center();
        notice.dispatch(ui::IdOk, ui::Notify::Clicked);
    });
    EXPECT_EQ(backend.runModal(notice, &owner), ui::IdOk);
    EXPECT_LE((centre - screenCentre).manhattanLength(), 4) << centre.x() << "," << centre.y();
}

TEST_F(Gui, TypedTextReachesTheModelAndMessageBoxesAnswer) {
    shell::FontDialog d(nullptr);
    QTimer::singleShot(50, [] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        auto* edit = w->findChild<QLineEdit*>("1379");
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        QTest::keyClicks(edit, "300");
        pressLater(QString::fromUtf8("确定"));   // the font dialog: refused
        QTimer::singleShot(400, [] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text().toStdString(), "错误：字体大小超出范围!");
            for (QPushButton* b : box->findChildren<QPushButton*>()) b->click();
            QTimer::singleShot(100, [] {
                QWidget* again = QApplication::activeModalWidget();
                ASSERT_NE(again, nullptr);
                auto* e = again->findChild<QLineEdit*>("1379");
                e->selectAll();
                QTest::keyClicks(e, "100"); // the largest the dialog takes
                pressLater(QString::fromUtf8("确定"));
            });
        });
    });
    EXPECT_EQ(backend.runModal(d, nullptr), ui::IdOk);
    EXPECT_EQ(d.text(shell::FontDialog::kSize), "100");
    EXPECT_EQ(test::readFile("System.cfg").substr(2, 3), "100");
}

TEST_F(Gui, PropertySheetTabsFollowPageCaptions) {
    ui::Dialog a(200, nullptr), b(202, nullptr);
    ui::PropertySheet sheet("Korvanes", nullptr);
    sheet.addPage(a);
    sheet.addPage(b);
    sheet.hideApply = true;
    sheet.hideHelp = true;
    QTimer::singleShot(50, [] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->windowTitle().toStdString(), "Korvanes");
        auto* tabs = w->findChild<QTabWidget*>();
        ASSERT_NE(tabs, nullptr);
        ASSERT_EQ(tabs->count(), 2);
        EXPECT_EQ(tabs->tabText(0).toStdString(), "说明");
        EXPECT_EQ(tabs->tabText(1).toStdString(), "提示：");
        QStringList labels;
        for (QPushButton* p : w->findChildren<QPushButton*>()) labels << p->text();
        EXPECT_FALSE(labels.contains(QString::fromUtf8("应用(&A)")));
        EXPECT_FALSE(labels.contains(QString::fromUtf8("帮助")));
        tabs->setCurrentIndex(1);
        pressLater(QString::fromUtf8("取消"));
    });
    EXPECT_EQ(sheet.run(), ui::IdCancel);
    EXPECT_EQ(sheet.activePage(), 1);
    EXPECT_TRUE(b.initialized());
}

TEST_F(Gui, FlybackDesignerAfterAVerify) {
    test::writeFile("Flyback Interface.txt", "#");
    test::writeFile("CCM反激变换器 cfg.txt", "#");
    designers::FlybackDesigner w(nullptr);
    QWidget* win = backend.createWindow(w);
    ASSERT_NE(win, nullptr);
    w.setText(designers::editOf<designers::FlybackDesigner>("Ae"), "52.5");
    w.setText(designers::editOf<designers::FlybackDesigner>("Le"), "57.5");
    w.dispatch(designers::FlybackDesigner::kVerify, ui::Notify::Clicked); // the calculating box runs for real
    w.dispatch(designers::FlybackDesigner::kSnubber, ui::Notify::Clicked);
    auto* lp = win->findChild<QLineEdit*>("1022");
    ASSERT_NE(lp, nullptr);
    EXPECT_EQ(lp->text().toStdString(), w.text(designers::editOf<designers::FlybackDesigner>("Lp")));
    EXPECT_FALSE(lp->text().isEmpty());
    // Every label's characters are in its font.
    for (QLabel* l : win->findChildren<QLabel*>()) {
        QFontMetrics fm(l->font());
        for (QChar ch : l->text())
            if (!ch.isSpace()) {
                EXPECT_TRUE(fm.inFont(ch)) << l->text().toStdString();
            }
    }
    const QImage img = ui::QtBackend::grab(w);
    std::filesystem::create_directories(KV_BINARY_DIR "/gallery");
    ASSERT_TRUE(img.save(KV_BINARY_DIR "/gallery/flyback-verified.png"));
    // The topology picture is painted into its group box.
    EXPECT_GT(pixelsNear(img, QRect(440, 30, 250, 140), QColor(0, 0, 0), 300), 500);
}

namespace {
std::vector<std::string>* qtWarnings = nullptr;
void keepWarning(QtMsgType, const QMessageLogContext&, const QString& m) {
    if (qtWarnings) qtWarnings->push_back(m.toStdString());
}
} // namespace

TEST_F(Gui, GraphicFlybackAnimatesWithoutRecursiveRepaints) {
    test::writeFile("System.cfg", "00100#");
    std::vector<std::string> warnings;
    qtWarnings = &warnings;
    QtMessageHandler before = qInstallMessageHandler(keepWarning);
    {
        graphic::GraphicFlybackDialog w(nullptr);
        QWidget* win = backend.createWindow(w);
        win->show();
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 400) QApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_EQ(w.pos(graphic::GraphicFlybackDialog::kProgress), 100);
    }
    qInstallMessageHandler(before);
    qtWarnings = nullptr;
    for (const std::string& m : warnings) EXPECT_EQ(m.find("epaint"), std::string::npos) << m;
}

TEST_F(Gui, GraphicFlybackAnnotatesItsPicture) {
    test::writeFile("System.cfg", "00100#"); // 黑体 10 pt, first picture
    graphic::GraphicFlybackDialog w(nullptr);
    QWidget* win = backend.createWindow(w);
    ASSERT_NE(win, nullptr);
    EXPECT_EQ(win->size(), QSize(1050, 520));
    const QImage img = ui::QtBackend::grab(w);
    std::filesystem::create_directories(KV_BINARY_DIR "/gallery");
    ASSERT_TRUE(img.save(KV_BINARY_DIR "/gallery/graphic-flyback.png"));
    // Schematic wires, magenta results beside the primary, red region labels.
    EXPECT_GT(pixelsNear(img, QRect(100, 40, 600, 280), QColor(0, 0, 0), 120), 1500);
    EXPECT_GT(pixelsNear(img, QRect(538, 131, 160, 18), QColor(255, 0, 255), 200), 40);
    EXPECT_GT(pixelsNear(img, QRect(668, 17, 115, 22), QColor(255, 0, 0), 200), 60);
    // The cyan picture after the background toggle.
    w.dispatch(graphic::GraphicFlybackDialog::kBackground, ui::Notify::Clicked);
    const QImage cyan = ui::QtBackend::grab(w);
    EXPECT_GT(pixelsNear(cyan, QRect(900, 400, 100, 60), QColor(96, 226, 236), 30), 3000);
}
