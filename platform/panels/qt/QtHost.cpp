#include "platform/panels/qt/QtHost.h"

#include "platform/panels/qt/Render.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/qt/QtBackend.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>

namespace kv::panels {

namespace {
QString qs(const std::string& s) { return QString::fromStdString(s); }
}

QtHost::QtHost() : backend_(std::make_unique<ui::QtBackend>()) { ui::setBackend(backend_.get()); }

QtHost::~QtHost() {
    job_.reset();
    if (&ui::backend() == backend_.get()) ui::setBackend(nullptr);
}

QWidget* QtHost::window(Panel& p) {
    if (QWidget* w = ui::QtBackend::windowOf(*p.dialog)) return w;
    Panel* main = panel(1);
    ui::Dialog* owner = main && main != &p ? main->dialog.get() : nullptr;
    if (owner) window(*main);
    QWidget* w = backend_->createWindow(*p.dialog, owner);
    for (Ctrl& c : p.ctrls) ctrlChanged(p, c);
    return w;
}

void QtHost::panelShown(Panel& p) {
    QWidget* w = window(p);
    w->show();
    w->raise();
    w->activateWindow();
}

void QtHost::panelHidden(Panel& p) {
    if (QWidget* w = ui::QtBackend::windowOf(*p.dialog)) w->hide();
}

void QtHost::ctrlChanged(Panel& p, Ctrl& c) {
    if (c.def.kind != CtrlKind::Button || c.color < 0) return;
    QWidget* w = ui::QtBackend::windowOf(*p.dialog);
    if (!w) return;
    if (auto* b = w->findChild<QPushButton*>(QString::number(c.uiId))) {
        QPalette pal = b->palette();
        pal.setColor(QPalette::Button, QColor::fromRgb(QRgb(c.color)));
        b->setPalette(pal);
        b->setAutoFillBackground(true);
    }
}

QWidget* QtHost::activeWindow() const {
    if (QWidget* w = QApplication::activeWindow()) return w;
    for (Panel* p : panels())
        if (p->visible)
            if (QWidget* w = ui::QtBackend::windowOf(*p->dialog)) return w->window();
    return nullptr;
}

void QtHost::message(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, qs(title), qs(text), QMessageBox::Ok, activeWindow());
    box.exec();
}

bool QtHost::confirm(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::Question, qs(title), qs(text), QMessageBox::Yes | QMessageBox::No,
                    activeWindow());
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtHost::selectFile(const FileRequest& req) {
    QFileDialog fd(activeWindow(), qs(req.title));
    fd.setOption(QFileDialog::DontUseNativeDialog);
    fd.setAcceptMode(req.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    fd.setFileMode(req.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QString types = qs(req.typeList).replace(';', ' ');
    fd.setNameFilters({"Settings (" + types + ")", "All files (*)"});
    const QString spec = qs(req.defaultSpec);
    if (spec.startsWith("*.")) fd.setDefaultSuffix(spec.mid(2));
    if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty()) return std::nullopt;
    return fd.selectedFiles().front().toStdString();
}

void QtHost::screenSize(int& w, int& h) {
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        w = s->size().width();
        h = s->size().height();
    }
}

void QtHost::runLoop() {
    if (quit_) return;
    QEventLoop loop;
    loop_ = &loop;
    loop.exec();
    loop_ = nullptr;
}

void QtHost::quit() {
    quit_ = true;
    if (loop_) loop_->quit();
}

bool QtHost::print(Panel& p, const PrintJob& job) {
    if (!job_ || !job_->active()) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        QPrintDialog dlg(printer_.get(), activeWindow());
        dlg.setWindowTitle("Print");
        if (dlg.exec() != QDialog::Accepted) return false;
        job_ = std::make_unique<PagePrinter>(*printer_);
        if (!job_->begin()) {
            MessagePopup("Error", "The printer could not be started");
            return false;
        }
    }
    job_->add(p, job);
    return true;
}

} // namespace kv::panels
