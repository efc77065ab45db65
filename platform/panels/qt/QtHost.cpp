#include "platform/panels/qt/QtHost.h"

#include "platform/panels/qt/Render.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/qt/QtBackend.h"

#include <QApplication>
#include <QEventLoop>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>

namespace kv::panels {

namespace {
QString qs(const std::string& s) { return QString::fromStdString(s); }
} // namespace

QtHost::QtHost(std::unique_ptr<ui::QtBackend> backend)
    : backend_(backend ? std::move(backend) : std::make_unique<ui::QtBackend>()) {
    backend_->setButtonTexts(ui::QtBackend::ButtonTexts::English);
    ui::setBackend(backend_.get());
}

QtHost::~QtHost() {
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

bool QtHost::print(const Document& doc) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(qs(doc.title));
    QPrintDialog dlg(&printer, activeWindow());
    dlg.setWindowTitle("Print");
    if (dlg.exec() != QDialog::Accepted) return false;
    if (!printDocument(printer, doc)) {
        MessagePopup("Error", "The printer could not be started");
        return false;
    }
    return true;
}

} // namespace kv::panels
