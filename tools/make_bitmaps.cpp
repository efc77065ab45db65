// Draws the launcher background (319x160) and the program icon (32x32).
// Run once; the pictures are kept under resources/bitmaps.
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

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

// Schematic helpers in picture pixels.
struct Schematic {
    QPainter& p;
    void wire(std::initializer_list<QPointF> pts) {
        QPolygonF poly;
        for (const QPointF& q : pts) poly << q;
        p.drawPolyline(poly);
    }
    void dot(double x, double y) { p.setBrush(Qt::black); p.drawEllipse(QPointF(x, y), 1.8, 1.8); p.setBrush(Qt::NoBrush); }
    void label(double x, double y, const char* t) { p.drawText(QPointF(x, y), QString::fromUtf8(t)); }
    // Capacitor across a vertical wire gap from y1 to y2 at x, plates in the middle.
    void capV(double x, double y1, double y2, bool polar = false) {
        const double m = (y1 + y2) / 2;
        wire({{x, y1}, {x, m - 3}});
        wire({{x, m + 3}, {x, y2}});
        p.drawLine(QPointF(x - 8, m - 3), QPointF(x + 8, m - 3));
        if (polar) p.drawArc(QRectF(x - 8, m + 2, 16, 8), 20 * 16, 140 * 16);
        else p.drawLine(QPointF(x - 8, m + 3), QPointF(x + 8, m + 3));
        if (polar) label(x - 14, m - 5, "+");
    }
    void resistorV(double x, double y1, double y2) {
        const double a = y1 + (y2 - y1) * 0.25, b = y1 + (y2 - y1) * 0.75;
        wire({{x, y1}, {x, a}});
        QPolygonF z;
        const int n = 6;
        for (int i = 0; i <= n; ++i) z << QPointF(i == 0 || i == n ? x : x + (i % 2 ? 4 : -4), a + (b - a) * i / n);
        p.drawPolyline(z);
        wire({{x, b}, {x, y2}});
    }
    // Diode with its anode at (x1,y) and cathode at (x2,y), horizontal.
    void diodeH(double x1, double x2, double y) {
        const double m = (x1 + x2) / 2;
        wire({{x1, y}, {m - 5, y}});
        QPolygonF t;
        t << QPointF(m - 5, y - 5) << QPointF(m - 5, y + 5) << QPointF(m + 4, y);
        p.setBrush(Qt::black);
        p.drawPolygon(t);
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(m + 4, y - 5), QPointF(m + 4, y + 5));
        wire({{m + 4, y}, {x2, y}});
    }
    // Vertical diode, anode at the bottom (y2), cathode at the top (y1).
    void diodeUp(double x, double y1, double y2) {
        const double m = (y1 + y2) / 2;
        wire({{x, y2}, {x, m + 5}});
        QPolygonF t;
        t << QPointF(x - 5, m + 5) << QPointF(x + 5, m + 5) << QPointF(x, m - 4);
        p.setBrush(Qt::black);
        p.drawPolygon(t);
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(x - 5, m - 4), QPointF(x + 5, m - 4));
        wire({{x, m - 4}, {x, y1}});
    }
    // Winding of four turns from (x, y1) to (x, y2), bulging to the right (dir 1) or left (-1).
    void coil(double x, double y1, double y2, int dir) {
        const double h = (y2 - y1) / 4;
        for (int i = 0; i < 4; ++i)
            p.drawArc(QRectF(x - h / 2, y1 + i * h, h, h), 90 * 16, -dir * 180 * 16);
    }
};

void flyback(const QString& path) {
    QImage img(270, 154, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.3));
    QFont f("Noto Sans", 7);
    f.setPixelSize(9);
    p.setFont(f);
    Schematic s{p};
    const double top = 22, gnd = 132;
    // mains and bridge
    p.drawEllipse(QPointF(16, 77), 10, 10);
    p.drawArc(QRectF(10, 72, 6, 8), 0, 180 * 16);
    p.drawArc(QRectF(16, 74, 6, 8), 180 * 16, 180 * 16);
    s.label(8, 100, "AC");
    s.wire({{16, 67}, {16, 55}, {44, 55}});
    s.wire({{16, 87}, {16, 99}, {44, 99}});
    QPolygonF br;
    br << QPointF(55, 60) << QPointF(70, 77) << QPointF(55, 94) << QPointF(40, 77);
    p.drawPolygon(br);
    s.wire({{44, 55}, {44, 70}, {40, 77}});
    // crosses the negative rail without touching it
    s.wire({{44, 99}, {52, 99}});
    p.drawArc(QRectF(52, 95, 6, 8), 180 * 16, -180 * 16);
    s.wire({{58, 99}, {76, 99}, {76, 77}, {70, 77}});
    s.wire({{55, 60}, {55, top}, {135, top}});
    s.wire({{55, 94}, {55, gnd}, {140, gnd}});
    s.label(51, 82, "~");
    // bulk capacitor
    s.dot(82, top);
    s.dot(82, gnd);
    s.capV(82, top, gnd, true);
    s.label(90, 82, "Cin");
    // RCD clamp across the primary
    s.dot(105, top);
    s.wire({{96, top}, {96, 26}});
    s.wire({{116, top}, {116, 26}});
    s.resistorV(96, 26, 48);
    s.capV(116, 26, 48);
    s.wire({{96, 48}, {116, 48}});
    s.dot(106, 48);
    s.diodeUp(106, 48, 96);
    s.label(86, 40, "R");
    s.label(119, 33, "C");
    // transformer
    s.wire({{135, top}, {135, 32}});
    s.coil(135, 32, 80, 1);
    s.wire({{135, 80}, {135, 96}});
    p.drawLine(QPointF(146, 30), QPointF(146, 82));
    p.drawLine(QPointF(149, 30), QPointF(149, 82));
    s.coil(160, 32, 80, -1);
    s.dot(130, 34);
    s.dot(165, 78);
    s.label(124, 92 - 2, "");
    s.label(118, 62, "Np");
    s.label(165, 62, "Ns");
    // switch: drain at the winding, source to ground
    s.wire({{106, 96}, {135, 96}});
    s.dot(135, 96);
    s.wire({{135, 96}, {135, 104}, {129, 104}});
    p.drawLine(QPointF(129, 102), QPointF(129, 122));
    p.drawLine(QPointF(125, 106), QPointF(125, 118));
    s.wire({{129, 120}, {135, 120}, {135, gnd}});
    s.wire({{125, 112}, {112, 112}});
    s.label(98, 126, "PWM");
    s.label(139, 116, "Q1");
    s.dot(135, gnd);
    // secondary side
    s.wire({{160, 32}, {160, top}, {176, top}});
    s.diodeH(176, 200, top);
    s.label(182, 14, "D1");
    s.wire({{200, top}, {252, top}});
    s.wire({{160, 80}, {160, gnd}, {252, gnd}});
    s.dot(220, top);
    s.dot(220, gnd);
    s.capV(220, top, gnd, true);
    s.label(228, 82, "Co");
    s.resistorV(252, top, gnd);
    s.label(236, 16, "Vo");
    p.end();
    img.save(path);
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    background(dir + "/launcher.png");
    icon(dir + "/korvane.png");
    flyback(dir + "/flyback.png");
    std::printf("written to %s\n", qPrintable(dir));
    return 0;
}
