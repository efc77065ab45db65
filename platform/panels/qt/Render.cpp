#include "platform/panels/qt/Render.h"

#include "platform/plot/qt/PlotWidget.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/qt/QtBackend.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace kv::panels {

namespace {
// Graphs redraw when the event loop runs; a picture is taken now.
QImage grabNow(ui::Dialog& d) {
    QWidget* w = ui::QtBackend::windowOf(d);
    for (auto* g : w->findChildren<plot::PlotWidget*>()) g->sync();
    QCoreApplication::sendPostedEvents();
    return ui::QtBackend::grab(d);
}

QString qs(const std::string& s) { return QString::fromStdString(s); }

// Lays blocks out top to bottom in points (1/72 inch), page after page.
class Pager {
public:
    Pager(QPagedPaintDevice& device, QPainter& p) : device_(device), p_(p) {
        p_.scale(device.logicalDpiX() / 72.0, device.logicalDpiY() / 72.0);
        width_ = device.width() * 72.0 / device.logicalDpiX();
        height_ = device.height() * 72.0 / device.logicalDpiY();
    }

    void title(const std::string& text) {
        setFont(14, true);
        const double h = lineHeight();
        p_.drawText(QRectF(0, y_, width_, h), Qt::AlignLeft | Qt::AlignVCenter, qs(text));
        setFont(8, false);
        p_.drawText(QRectF(0, y_, width_, h), Qt::AlignRight | Qt::AlignVCenter,
                    QDateTime::currentDateTime().toString("yyyy-MM-dd hh:mm"));
        y_ += h + 2;
        p_.drawLine(QPointF(0, y_), QPointF(width_, y_));
        y_ += 6;
    }

    void heading(const std::string& text) {
        setFont(11, true);
        // A heading stays with the start of what follows it.
        need(lineHeight() + 60);
        y_ += 8;
        p_.drawText(QRectF(0, y_, width_, lineHeight()), Qt::AlignLeft | Qt::AlignVCenter, qs(text));
        y_ += lineHeight() + 3;
    }

    void paragraph(const std::string& text) {
        setFont(9, false);
        const QRectF box = p_.boundingRect(QRectF(0, 0, width_, 1e6), Qt::TextWordWrap, qs(text));
        need(box.height());
        p_.drawText(QRectF(0, y_, width_, box.height()), Qt::TextWordWrap, qs(text));
        y_ += box.height() + 4;
    }

    void table(const std::vector<std::vector<std::string>>& rows) {
        setFont(9, false);
        // Label, value (right-aligned), unit; further columns share the rest.
        const double pad = 4;
        const double cols[] = {0.5 * width_, 0.18 * width_, 0.32 * width_};
        for (const auto& row : rows) {
            double h = lineHeight();
            std::vector<QRectF> cells;
            double x = 0;
            for (std::size_t k = 0; k < row.size() && k < 3; ++k) {
                const double w = cols[k] - 2 * pad;
                const QRectF b = p_.boundingRect(QRectF(0, 0, w, 1e6), Qt::TextWordWrap, qs(row[k]));
                h = std::max(h, b.height());
                cells.emplace_back(x + pad, 0, w, 0);
                x += cols[k];
            }
            need(h + 4);
            for (std::size_t k = 0; k < cells.size(); ++k) {
                QRectF r = cells[k];
                r.moveTop(y_ + 2);
                r.setHeight(h);
                const int align = (k == 1 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop | Qt::TextWordWrap;
                p_.drawText(r, align, qs(row[k]));
            }
            y_ += h + 4;
            QPen keep = p_.pen();
            p_.setPen(QPen(QColor(190, 190, 190), 0.5));
            p_.drawLine(QPointF(0, y_), QPointF(width_, y_));
            p_.setPen(keep);
        }
        y_ += 4;
    }

    void graph(const std::shared_ptr<const plot::Plot>& model, const std::string& caption) {
        const double w = width_, h = std::min(0.45 * width_, 0.4 * height_);
        setFont(9, false);
        need(h + lineHeight() + 6);
        // The view of the windows, drawn at 1.5 of its pixels per point.
        plot::PlotWidget view;
        view.resize(int(w * 1.5), int(h * 1.5));
        view.show(model);
        view.sync();
        QCoreApplication::sendPostedEvents(); // the legend's layout
        p_.save();
        p_.translate(0, y_);
        p_.scale(w / view.width(), h / view.height());
        static_cast<QWidget&>(view).render(&p_, QPoint(), QRegion(), QWidget::DrawChildren);
        p_.restore();
        y_ += h + 2;
        if (!caption.empty()) {
            p_.drawText(QRectF(0, y_, width_, lineHeight()), Qt::AlignHCenter | Qt::AlignTop, qs(caption));
            y_ += lineHeight();
        }
        y_ += 6;
    }

private:
    void setFont(int size, bool bold) {
        QFont f = p_.font();
        f.setPixelSize(size); // points, in the scaled painter
        f.setBold(bold);
        p_.setFont(f);
    }
    double lineHeight() const { return p_.fontMetrics().height(); }
    void need(double h) {
        if (y_ > 0 && y_ + h > height_) {
            device_.newPage();
            y_ = 0;
        }
    }

    QPagedPaintDevice& device_;
    QPainter& p_;
    double width_ = 0, height_ = 0, y_ = 0;
};
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

bool printDocument(QPagedPaintDevice& device, const Document& doc) {
    device.setPageMargins(QMarginsF(18, 15, 18, 15), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&device)) return false;
    painter.setRenderHint(QPainter::Antialiasing);
    Pager pager(device, painter);
    pager.title(doc.title);
    for (const DocBlock& b : doc.blocks) {
        switch (b.kind) {
        case DocBlock::Kind::Heading: pager.heading(b.text); break;
        case DocBlock::Kind::Paragraph: pager.paragraph(b.text); break;
        case DocBlock::Kind::Table: pager.table(b.rows); break;
        case DocBlock::Kind::Graph:
            if (b.graph) pager.graph(b.graph, b.text);
            break;
        }
    }
    return painter.end();
}

} // namespace kv::panels
