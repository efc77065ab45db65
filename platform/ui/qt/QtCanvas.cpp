// Painting in the Qt backend: the canvas on a QPainter and the pictures.
#include "platform/ui/qt/QtWindows.h"

#include <QFontMetrics>
#include <QImage>

namespace kv::ui {

using namespace qt;

QtCanvas::QtCanvas(QPainter& p) : p_(p) {}

void QtCanvas::setPen(Color c, int width, PenStyle style) {
    QPen pen(qc(c));
    pen.setWidth(std::max(1, width));
    pen.setCapStyle(width > 1 ? Qt::RoundCap : Qt::SquareCap);
    if (style == PenStyle::Dot) pen.setStyle(Qt::DotLine);
    p_.setPen(pen);
}

void QtCanvas::line(int x1, int y1, int x2, int y2) { p_.drawLine(x1, y1, x2, y2); }

void QtCanvas::polyline(std::span<const Point> points) {
    QPolygon poly(qsizetype(points.size()));
    for (qsizetype i = 0; i < poly.size(); ++i) poly[i] = QPoint(points[i].x, points[i].y);
    p_.drawPolyline(poly);
}

void QtCanvas::setClip(const Rect* r) {
    if (r) p_.setClipRect(QRect(r->left, r->top, r->width(), r->height()));
    else p_.setClipping(false);
}

void QtCanvas::setFont(std::string_view face, int tenths) { p_.setFont(fontFor(face, tenths)); }

void QtCanvas::setTextColor(Color c) { text_ = c; }

void QtCanvas::setTransparent(bool on) { transparent_ = on; }

void QtCanvas::text(int x, int y, std::string_view s) {
    const QString t = qs(s);
    QFontMetrics fm(p_.font());
    if (!transparent_) p_.fillRect(QRect(x, y, fm.horizontalAdvance(t), fm.height()), Qt::white);
    QPen keep = p_.pen();
    p_.setPen(qc(text_));
    p_.drawText(QPoint(x, y + fm.ascent()), t);
    p_.setPen(keep);
}

void QtCanvas::stretchBitmap(int id, const Rect& dst, const Rect& src) {
    QImage img = bitmapImage(id);
    if (img.isNull()) return;
    // Source rectangles beyond the picture stretch what there is.
    QRectF s(src.left, src.top, src.width(), src.height());
    QRectF d(dst.left, dst.top, dst.width(), dst.height());
    QRectF clipped = s.intersected(QRectF(img.rect()));
    if (clipped.isEmpty()) return;
    const double sx = d.width() / s.width(), sy = d.height() / s.height();
    QRectF dd(d.left() + (clipped.left() - s.left()) * sx, d.top() + (clipped.top() - s.top()) * sy,
              clipped.width() * sx, clipped.height() * sy);
    p_.setRenderHint(QPainter::SmoothPixmapTransform);
    p_.drawImage(dd, img, clipped);
}

void QtCanvas::fill(const Rect& r, Color c) {
    p_.fillRect(QRect(r.left, r.top, r.width(), r.height()), qc(c));
}

void QtCanvas::icon(int id, int x, int y) {
    QImage img = bitmapImage(id);
    if (!img.isNull()) p_.drawImage(QPoint(x, y), img);
}

QImage bitmapImage(int id) {
    static std::map<int, QImage> cache;
    auto it = cache.find(id);
    if (it != cache.end()) return it->second;
    QImage img;
    if (const BitmapInfo* b = findBitmap(id)) img.load(":/bitmaps/" + qs(b->file));
    cache[id] = img;
    return img;
}

} // namespace kv::ui
