// The Qt backend: modal and modeless windows, message boxes, timers, the
// shell and the file dialog.
#include "platform/ui/qt/QtWindows.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace kv::ui {

using namespace qt;

QtBackend::QtBackend() = default;
QtBackend::~QtBackend() {
    if (&backend() == this) setBackend(nullptr);
}

QWidget* QtBackend::windowOf(const Dialog& d) {
    Host* h = hostOf(d);
    return h ? h->surface : nullptr;
}

QWidget* QtBackend::createWindow(Dialog& dlg, Dialog* owner) {
    DialogWindow* w = makeWindow(dlg, owner);
    dlg.initialize();
    return w;
}

QImage QtBackend::grab(Dialog& dlg) {
    // What the user sees: a dialog that scrolls is grabbed with its window.
    Host* h = hostOf(dlg);
    if (!h) return {};
    QWidget* w = h->frame ? h->frame : h->surface;
    w->ensurePolished();
    return w->grab().toImage();
}

namespace {
// Over a window not shown yet (the launcher while its splash and welcome
// run) Qt centres on the owner's unplaced corner: centre on the screen.
void place(QWidget* w) {
    const QWidget* owner = w->parentWidget();
    if (owner && owner->isVisible()) return;   // Qt centres it over its owner
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect avail = screen->availableGeometry();
    w->move(avail.center() - QPoint(w->width() / 2, w->height() / 2));
}
} // namespace

int QtBackend::runModal(Dialog& dlg, Dialog* owner) {
    dlg.resetEnded();
    DialogWindow* w = makeWindow(dlg, owner);
    w->modal = true;
    QPointer<DialogWindow> guard(w);
    dlg.initialize();
    place(w);
    if (!dlg.ended()) w->exec();
    if (guard) {
        w->host->stopAllTimers();
        dlg.onDestroy();
        delete w;
    }
    return dlg.result();
}

Dialog& QtBackend::openModeless(std::unique_ptr<Dialog> dlg, Dialog* owner) {
    Dialog& d = *dlg;
    DialogWindow* w = makeWindow(d, owner);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->owned = std::move(dlg);
    d.initialize();
    place(w);
    if (!w->closing) w->show();
    return d;
}

void QtBackend::endDialog(Dialog& dlg, int result) {
    Host* h = hostOf(dlg);
    if (!h) return;
    if (auto* s = dynamic_cast<SheetWindow*>(h->surface)) s->done(result);
    else if (auto* w = dialogWindowOf(*h)) w->finish(result);
}

void QtBackend::closeWindow(Dialog& dlg) {
    Host* h = hostOf(dlg);
    if (!h) return;
    if (auto* w = dialogWindowOf(*h)) w->finish(IdCancel);
}

int QtBackend::messageBox(Dialog* owner, std::string_view text, std::string_view caption, Icon icon,
                          Buttons buttons) {
    QWidget* parent = owner ? windowOf(*owner) : nullptr;
    QMessageBox box(parent ? parent->window() : nullptr);
    box.setWindowTitle(qs(caption));
    box.setText(qs(text));
    switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Error: box.setIcon(QMessageBox::Critical); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    }
    std::map<QAbstractButton*, int> answers;
    const bool english = buttonTexts_ == ButtonTexts::English;
    auto add = [&](QMessageBox::StandardButton standard, const char* chinese, QMessageBox::ButtonRole role,
                   int answer) {
        QAbstractButton* b = english ? box.addButton(standard) : box.addButton(QString::fromUtf8(chinese), role);
        answers[b] = answer;
    };
    const auto ok = [&] { add(QMessageBox::Ok, "确定", QMessageBox::AcceptRole, IdOk); };
    const auto cancel = [&] { add(QMessageBox::Cancel, "取消", QMessageBox::RejectRole, IdCancel); };
    const auto yesNo = [&] {
        add(QMessageBox::Yes, "是(&Y)", QMessageBox::YesRole, IdYes);
        add(QMessageBox::No, "否(&N)", QMessageBox::NoRole, IdNo);
    };
    switch (buttons) {
    case Buttons::Ok: ok(); break;
    case Buttons::OkCancel:
        ok();
        cancel();
        break;
    case Buttons::YesNo: yesNo(); break;
    case Buttons::YesNoCancel:
        yesNo();
        cancel();
        break;
    }
    box.exec();
    auto it = answers.find(box.clickedButton());
    if (it != answers.end()) return it->second;
    return buttons == Buttons::Ok ? IdOk : buttons == Buttons::YesNo ? IdNo : IdCancel;
}

void QtBackend::setTimer(Dialog& dlg, int id, int periodMs) {
    if (Host* h = hostOf(dlg)) h->startTimer(id, std::max(1, periodMs));
}

void QtBackend::killTimer(Dialog& dlg, int id) {
    if (Host* h = hostOf(dlg)) h->stopTimer(id);
}

bool QtBackend::shellOpen(const std::string& path) {
    QFileInfo fi(qs(path));
    if (!fi.exists()) return false;
    // The desktop's opener starts whether or not a program takes the file:
    // ask first which program is registered for its type.
    const QString query = QStandardPaths::findExecutable("xdg-mime");
    if (!query.isEmpty() && fi.isFile()) {
        QProcess p;
        p.start(query, {"query", "default", QMimeDatabase().mimeTypeForFile(fi).name()});
        if (p.waitForFinished(5000) && p.exitCode() == 0 && p.readAllStandardOutput().trimmed().isEmpty())
            return false;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(fi.absoluteFilePath()));
}

bool QtBackend::startDetached(const std::string& path) {
    QFileInfo fi(qs(path));
    if (!fi.isFile() || !fi.isExecutable()) return false;
    return QProcess::startDetached(fi.absoluteFilePath(), {});
}

std::optional<std::string> QtBackend::fileDialog(Dialog* owner, const FileDialogRequest& req) {
    QWidget* parent = owner ? windowOf(*owner) : nullptr;
    QFileDialog fd(parent ? parent->window() : nullptr, qs(req.title));
    fd.setOption(QFileDialog::DontUseNativeDialog);
    fd.setAcceptMode(req.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    fd.setFileMode(req.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!req.filter.empty()) fd.setNameFilter(qs(req.filter));
    if (!req.defaultExt.empty()) fd.setDefaultSuffix(qs(req.defaultExt));
    if (!req.folder.empty()) fd.setDirectory(qs(req.folder));
    if (!req.defaultName.empty()) fd.selectFile(qs(req.defaultName));
    if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty()) return std::nullopt;
    return us(fd.selectedFiles().front());
}

void QtBackend::forget(Dialog& dlg) {
    Host* h = hostOf(dlg);
    if (!h) return;
    // The dialog object goes before its window: the window must not call back.
    h->stopAllTimers();
    if (auto* w = dialogWindowOf(*h)) {
        muteChildren(w);
        w->host = nullptr;
        if (auto* inner = dynamic_cast<Surface<QWidget>*>(h->surface)) inner->host = nullptr;
        dlg.attachView(nullptr);
        delete h;
        if (!w->owned) w->deleteLater();
    }
}

} // namespace kv::ui
