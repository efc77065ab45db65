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
#include <QProcess>
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
    QWidget* w = windowOf(dlg);
    if (!w) return {};
    w->ensurePolished();
    return w->grab().toImage();
}

int QtBackend::runModal(Dialog& dlg, Dialog* owner) {
    dlg.resetEnded();
    DialogWindow* w = makeWindow(dlg, owner);
    w->modal = true;
    QPointer<DialogWindow> guard(w);
    dlg.initialize();
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
    if (!w->closing) w->show();
    return d;
}

void QtBackend::endDialog(Dialog& dlg, int result) {
    Host* h = hostOf(dlg);
    if (!h) return;
    if (auto* w = dynamic_cast<DialogWindow*>(h->surface)) w->finish(result);
    else if (auto* s = dynamic_cast<SheetWindow*>(h->surface)) s->done(result);
}

void QtBackend::closeWindow(Dialog& dlg) {
    Host* h = hostOf(dlg);
    if (!h) return;
    if (auto* w = dynamic_cast<DialogWindow*>(h->surface)) w->finish(IdCancel);
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
    auto add = [&](const char* label, QMessageBox::ButtonRole role, int answer) {
        answers[box.addButton(QString::fromUtf8(label), role)] = answer;
    };
    switch (buttons) {
    case Buttons::Ok: add("确定", QMessageBox::AcceptRole, IdOk); break;
    case Buttons::OkCancel:
        add("确定", QMessageBox::AcceptRole, IdOk);
        add("取消", QMessageBox::RejectRole, IdCancel);
        break;
    case Buttons::YesNo:
        add("是(&Y)", QMessageBox::YesRole, IdYes);
        add("否(&N)", QMessageBox::NoRole, IdNo);
        break;
    case Buttons::YesNoCancel:
        add("是(&Y)", QMessageBox::YesRole, IdYes);
        add("否(&N)", QMessageBox::NoRole, IdNo);
        add("取消", QMessageBox::RejectRole, IdCancel);
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
    if (auto* w = dynamic_cast<DialogWindow*>(h->surface)) {
        muteChildren(w);
        w->host = nullptr;
        dlg.attachView(nullptr);
        delete h;
        if (!w->owned) w->deleteLater();
    }
}

} // namespace kv::ui
