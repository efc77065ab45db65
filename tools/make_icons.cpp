// Draws the desktop icons of the two programs (256x256 PNG): Korvane's
// transformer and K7350's boost stage over a sine.
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>

namespace {
constexpr int kSize = 256;

void tile(QPainter& p, QColor top, QColor bottom) {
    QLinearGradient g(0, 0, kSize, kSize);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(8, 8, kSize - 16, kSize - 16), 44, 44);
}

void korvane(const QString& path) {
    QImage img(kSize, kSize, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    tile(p, QColor(40, 110, 200), QColor(20, 60, 140));
    // two windings either side of the core
    QPen w(Qt::white, 14);
    w.setCapStyle(Qt::RoundCap);
    p.setPen(w);
    for (int k = 0; k < 3; ++k) {
        p.drawArc(QRectF(56, 48 + k * 52, 48, 52), 90 * 16, -180 * 16);
        p.drawArc(QRectF(152, 48 + k * 52, 48, 52), 90 * 16, 180 * 16);
    }
    p.setPen(QPen(QColor(255, 170, 60), 12));
    p.drawLine(QPointF(120, 40), QPointF(120, 216));
    p.drawLine(QPointF(136, 40), QPointF(136, 216));
    p.end();
    img.save(path);
}

void k7350(const QString& path) {
    QImage img(kSize, kSize, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    tile(p, QColor(30, 140, 90), QColor(15, 80, 50));
    // the rectified mains and the current that follows it
    QPainterPath sine, current;
    for (int x = 0; x <= 176; ++x) {
        const double s = std::fabs(std::sin(x / 176.0 * 2 * M_PI));
        const QPointF a(40 + x, 200 - 130 * s), b(40 + x, 200 - 80 * s);
        if (x == 0) {
            sine.moveTo(a);
            current.moveTo(b);
        } else {
            sine.lineTo(a);
            current.lineTo(b);
        }
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(sine);
    p.setPen(QPen(QColor(255, 200, 70), 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(current);
    p.end();
    img.save(path);
}
} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    korvane(dir + "/korvane.png");
    k7350(dir + "/k7350.png");
    std::printf("written to %s\n", qPrintable(dir));
    return 0;
}
