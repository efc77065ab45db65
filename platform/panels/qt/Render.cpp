#include "platform/panels/qt/Render.h"

#include "platform/plot/qt/PlotWidget.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/qt/QtBackend.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QPainter>
#include <QWidget>

namespace kv::panels {

namespace {
// Graphs redraw when the event loop runs; a picture is taken now.
QImage grabNow(ui::Dialog& d) {
    QWidget* w = ui::QtBackend::windowOf(d);
    for (auto* g : w->findChildren<plot::PlotWidget*>()) g->sync();
    QCoreApplication::sendPostedEvents();
    return ui::QtBackend::grab(d);
}
} // namespace

QImage renderPanel(Panel& p) {
    ui::Dialog& d = *p.dialog;
    if (ui::QtBackend::windowOf(d)) return grabNow(d);
    ui::QtBackend qt;
    QWidget* w = qt.createWindow(d);
    w->setWindowTitle(QString::fromStdString(p.title));
    QImage img = grabNow(d);
    qt.forget(d);
    return img;
}

PagePrinter::PagePrinter(QPagedPaintDevice& device) : device_(device) {}

PagePrinter::~PagePrinter() { end(); }

bool PagePrinter::begin() {
    if (painter_) return true;
    painter_ = new QPainter;
    if (!painter_->begin(&device_)) {
        delete painter_;
        painter_ = nullptr;
        return false;
    }
    y_ = 0;
    return true;
}

void PagePrinter::add(Panel& p, const PrintJob& job) {
    if (!begin()) return;
    // A panel is printed as designed, not greyed by the dialog open over it.
    const bool dimmed = p.dimmed;
    if (dimmed) SetPanelAttribute(p.handle, ATTR_DIMMED, 0);
    const QImage img = renderPanel(p);
    if (dimmed) SetPanelAttribute(p.handle, ATTR_DIMMED, 1);
    const QRect page = painter_->viewport();
    const double margin = page.width() * 0.02;
    QFont font = painter_->font();
    font.setPointSizeF(10);
    painter_->setFont(font);
    const double lineH = QFontMetricsF(font, &device_).height();
    const double width = page.width() - 2 * margin;
    // Three quarters of the page width: a panel stays legible and two fit on a page.
    double scale = job.fitPage ? 0.75 * width / img.width() : double(device_.logicalDpiX()) / 96.0;
    double h = img.height() * scale;
    const double needed = lineH * 1.6 + h;
    if (y_ > 0 && y_ + needed > page.height()) {
        device_.newPage();
        y_ = 0;
    }
    if (needed > page.height()) { // taller than a page: shrink to fit
        scale *= (page.height() - lineH * 1.6) / h;
        h = img.height() * scale;
    }
    double y = y_ + margin * (y_ == 0);
    QString head = QString::fromStdString(p.title);
    if (job.dateTime) head += "    " + QDateTime::currentDateTime().toString("yyyy-MM-dd hh:mm");
    painter_->drawText(QPointF(margin, y + lineH), head);
    y += lineH * 1.5;
    painter_->drawImage(QRectF(margin, y, img.width() * scale, h), img);
    y_ = y + h + lineH;
    if (job.ejectAfter) end();
}

bool PagePrinter::end() {
    if (!painter_) return true;
    const bool ok = painter_->end();
    delete painter_;
    painter_ = nullptr;
    return ok;
}

} // namespace kv::panels
