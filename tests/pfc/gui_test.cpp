// K7350 in Qt windows (offscreen) and through k7350-cli.
#include "pfc_designer/Program.h"
#include "platform/panels/qt/QtHost.h"
#include "platform/panels/qt/Render.h"
#include "platform/ui/qt/QtBackend.h"
#include "tests/common/TempDir.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

using namespace kv::panels;
using namespace k7350;


TEST(K7350Qt, WindowsMirrorThePanelsAndTypedValuesCommit) {
    int argc = 1;
    char name[] = "pfc_gui_tests";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    resetProgram();
    QtHost host;
    setHost(&host);
    setResourceDir(KV_SOURCE_DIR "/pfc_designer");
    registerCallbacks(callbackTable());
    // The second stage runs once the first has returned, so that the popup
    // the first opens has been closed whatever the machine's load.
    const auto second = [&] {
        EXPECT_EQ(popups().size(), 1u);
        auto* calc = host.window(*panel(hp[PANEL_MAIN]))->findChild<QPushButton*>(QString::number(1000 + MAIN_CALCULATE));
        if (!calc) {
            ADD_FAILURE() << "no Calculate button";
            QuitUserInterface(0);
            return;
        }
        EXPECT_FALSE(calc->isEnabled());
        SetCtrlVal(hp[PANEL_MAIN], MAIN_POUT, 100.0);
        userSet(hp[PANEL_MAIN], MAIN_POUT, 100);
        EXPECT_TRUE(calc->isEnabled());
        calc->click();
        QWidget* curr = host.window(*panel(hp[PANEL_CURR]));
        EXPECT_TRUE(curr->isVisible());
        // The close box of a sub-panel commits its close control.
        curr->close();
        EXPECT_FALSE(panel(hp[PANEL_CURR])->visible);
        EXPECT_FALSE(curr->isVisible());
        const QImage img = renderPanel(*panel(hp[PANEL_IND]));
        EXPECT_GT(img.width(), 300);
        QuitUserInterface(0);
    };
    QTimer::singleShot(0, [&] {
        QWidget* main = host.window(*panel(hp[PANEL_MAIN]));
        EXPECT_TRUE(main->isVisible());
        EXPECT_EQ(main->windowTitle(), "new");
        // Typing into the output power field and leaving it commits P_uscita.
        auto* edit = main->findChild<QLineEdit*>(QString::number(1000 + MAIN_POUT));
        if (!edit) {
            ADD_FAILURE() << "no output power field";
            QuitUserInterface(0);
            return;
        }
        EXPECT_EQ(edit->text(), "100");
        edit->setText("351");
        emit edit->textEdited("351");
        emit edit->editingFinished(); // returns once the popup has been closed
        EXPECT_EQ(dv.Pout, 351);
        QTimer::singleShot(0, second);
    });
    // The rejection's popup: close it as soon as it shows.
    QTimer* closer = new QTimer(&app);
    QObject::connect(closer, &QTimer::timeout, [] {
        if (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
    closer->start(20);
    EXPECT_EQ(run(), 0);
    closer->stop();
    delete closer;
    resetProgram();
    setHost(nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::string runCli(const std::string& args, int& rc) {
    const std::string cmd = std::string(KV_BINARY_DIR "/tools/k7350-cli ") + args + " 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    std::string out;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    rc = WEXITSTATUS(pclose(p));
    return out;
}

TEST(K7350Cli, DrivesStepsPrintsToPdfAndReportsErrors) {
    kv::test::TempDir dir;
    int rc = 0;
    std::string out = runCli("--commit 18:calcola --commit 22:10 --commit 18:design --commit 18:12 "
                             "--set 23:8=470 --commit 23:3 --commit 18:19 --set 17:6=0.5 "
                             "--commit 17:3 --commit 18:mostra --print " + (dir.path() / "bom.pdf").string() +
                             " --commit 24:print_show", rc);
    EXPECT_EQ(rc, 0) << out;
    EXPECT_NE(out.find("\"17:7\": [{\"points\": 10000, \"first\": [0, "), std::string::npos) << out.substr(0, 300);
    EXPECT_NE(out.find("\"title\": \"new\""), std::string::npos);
    EXPECT_NE(out.find("\"exit\": null"), std::string::npos);
    std::ifstream pdf(dir.path() / "bom.pdf", std::ios::binary);
    std::string head(5, '\0');
    pdf.read(head.data(), 5);
    EXPECT_EQ(head, "%PDF-");
    runCli("--commit 18:nothing", rc);
    EXPECT_EQ(rc, 2);
    runCli("--set 99:1=2", rc);
    EXPECT_EQ(rc, 2);
    runCli("--set 18:9=abc", rc);
    EXPECT_EQ(rc, 2);
    out = runCli("--answer no --commit 18:ESCI --screen 640x480", rc);
    EXPECT_EQ(rc, 2); // the program had quit before --screen
    out = runCli("--screen 640x480 --answer no --commit 18:ESCI", rc);
    EXPECT_EQ(rc, 0);
    EXPECT_NE(out.find("\"exit\": 0"), std::string::npos);
    EXPECT_NE(out.find("600*800 pixels"), std::string::npos);
    EXPECT_NE(out.find("\"visible\": false"), std::string::npos);
}

} // namespace
