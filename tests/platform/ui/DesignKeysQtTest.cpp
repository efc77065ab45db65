// Ctrl+S and Ctrl+O in a real window: typed in an edit, they reach the
// window menu's "保存设计…" and "打开设计…" and their file dialog, which
// starts in the data folder.
#include "platform/ui/qt/QtBackend.h"
#include "designers/FlybackDesigner.h"
#include "form/DesignKeeper.h"
#include "platform/io/Files.h"
#include "tests/common/QtApp.h"
#include "tests/common/TempDir.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

using namespace kv;
namespace fs = std::filesystem;

namespace {

// Answers the file dialog once it shows: where it started, and `file` (a
// name in that folder) typed as the file's name.
void answerFileDialog(std::string* startedIn, const std::string& file) {
    QTimer::singleShot(50, [startedIn, file] {
        auto* fd = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!fd) return answerFileDialog(startedIn, file);
        *startedIn = fd->directory().absolutePath().toStdString();
        auto* name = fd->findChild<QLineEdit*>("fileNameEdit");
        if (!name) return ADD_FAILURE() << "the file dialog has no name edit";
        name->setText(QString::fromStdString(file));
        QMetaObject::invokeMethod(fd, "accept");
    });
}

TEST(DesignKeys, CtrlSAndCtrlOInAnEditSaveAndOpenTheDesign) {
    test::qtApp();
    test::TempDir dir;
    ui::QtBackend backend;
    ui::setBackend(&backend);
    test::writeFile("Flyback Interface.txt", "#");
    test::writeFile("CCM反激变换器 cfg.txt", "#");
    fs::create_directory("data");
    const std::string data = fs::absolute("data").string();
    io::setWorkFolder(data);

    designers::FlybackDesigner w(nullptr);
    QWidget* win = backend.createWindow(w);
    ASSERT_NE(win, nullptr);
    const int vo = designers::editOf<designers::FlybackDesigner>("Vo");
    auto* edit = win->findChild<QLineEdit*>(QString::number(vo));
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, "24");
    ASSERT_EQ(w.text(vo), "24");

    std::string startedIn;
    answerFileDialog(&startedIn, "mine.kvd");
    QTest::keyClick(edit, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(startedIn, data);
    ASSERT_TRUE(fs::exists(data + "/mine.kvd"));
    EXPECT_NE(test::readFile(data + "/mine.kvd").find("\nVo = 24\n"), std::string::npos);
    EXPECT_EQ(edit->text().toStdString(), "24"); // the S was no keystroke of the edit

    edit->selectAll();
    QTest::keyClicks(edit, "5");
    ASSERT_EQ(w.text(vo), "5");
    startedIn.clear();
    answerFileDialog(&startedIn, "mine.kvd");
    QTest::keyClick(edit, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(startedIn, data);
    EXPECT_EQ(w.text(vo), "24");
    EXPECT_EQ(edit->text().toStdString(), "24");
    io::setWorkFolder("");
}

} // namespace
