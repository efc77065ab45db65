// Draws the launcher background (319x160) and the program icon (32x32).
// Run once; the pictures are kept under resources/bitmaps.
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>

namespace {

void background(const QString& path) {
    QImage img(319, 160, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 160);
    g.setColorAt(0, QColor(246, 249, 253));
    g.setColorAt(0.6, QColor(230, 238, 247));
    g.setColorAt(1, QColor(214, 226, 240));
    p.fillRect(img.rect(), g);
    // engineering grid
    p.setPen(QPen(QColor(200, 214, 232, 110), 1));
    for (int x = 0; x < 319; x += 8) p.drawLine(x, 0, x, 160);
    for (int y = 0; y < 160; y += 8) p.drawLine(0, y, 319, y);
    p.setPen(QPen(QColor(180, 198, 222, 150), 1));
    for (int x = 0; x < 319; x += 40) p.drawLine(x, 0, x, 160);
    for (int y = 0; y < 160; y += 40) p.drawLine(0, y, 319, y);
    // switching waveform and the inductor current ramp along the bottom band
    QPainterPath pwm;
    const double y0 = 146, y1 = 128;
    pwm.moveTo(72, y0);
    for (double x = 72; x < 315; x += 30) {
        pwm.lineTo(x, y1);
        pwm.lineTo(x + 12, y1);
        pwm.lineTo(x + 12, y0);
        pwm.lineTo(x + 30, y0);
    }
    p.setPen(QPen(QColor(70, 130, 200, 120), 1.4));
    p.drawPath(pwm);
    QPainterPath ramp;
    ramp.moveTo(72, 138);
    for (double x = 72; x < 315; x += 30) {
        ramp.lineTo(x + 12, 124);
        ramp.lineTo(x + 30, 138);
    }
    p.setPen(QPen(QColor(230, 120, 40, 130), 1.4));
    p.drawPath(ramp);
    // mains sine across the top band
    QPainterPath sine;
    for (int x = 0; x <= 319; ++x) {
        const double y = 4 + 2.5 * std::sin(x / 319.0 * 4 * M_PI);
        if (x == 0) sine.moveTo(x, y);
        else sine.lineTo(x, y);
    }
    p.setPen(QPen(QColor(90, 150, 90, 110), 1.2));
    p.drawPath(sine);
    p.end();
    img.save(path);
}

void icon(const QString& path) {
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 32, 32);
    g.setColorAt(0, QColor(40, 110, 200));
    g.setColorAt(1, QColor(20, 60, 140));
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    // transformer: two windings and the core
    QPen w(Qt::white, 2.0);
    w.setCapStyle(Qt::RoundCap);
    p.setPen(w);
    p.setBrush(Qt::NoBrush);
    for (int k = 0; k < 3; ++k) {
        p.drawArc(QRectF(7, 6 + k * 6.5, 6, 6.5), 90 * 16, -180 * 16);
        p.drawArc(QRectF(19, 6 + k * 6.5, 6, 6.5), 90 * 16, 180 * 16);
    }
    p.setPen(QPen(QColor(255, 170, 60), 1.6));
    p.drawLine(QPointF(15, 5), QPointF(15, 27));
    p.drawLine(QPointF(17, 5), QPointF(17, 27));
    p.end();
    img.save(path);
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    background(dir + "/launcher.png");
    icon(dir + "/korvane.png");
    std::printf("written to %s\n", qPrintable(dir));
    return 0;
}
