// Draws the launcher background (319x160), the program icon (32x32) and the
// designers' topology pictures; with a second folder, the topology pictures
// of the formula editor page.
// Run once; the pictures are kept under resources/bitmaps and data/Code.
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

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

void flybackSchematic(QPainter& p) {
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
}

void flyback(const QString& path) {
    QImage img(270, 154, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    flybackSchematic(p);
    p.end();
    img.save(path);
}

// ---------------------------------------------------------------- topology pictures
// Reference schematics of the formula editor page, drawn at twice the size
// of their coordinates and written as JPEG files.

struct Picture {
    QImage img;
    QPainter p;
    QFont font;
    Picture(int w, int h, const char* title) : img(w * 2, h * 2, QImage::Format_RGB32), font("Noto Sans", 7) {
        img.fill(Qt::white);
        p.begin(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(2, 2);
        QFont t = font;
        t.setPixelSize(11);
        t.setBold(true);
        p.setFont(t);
        p.setPen(QColor(30, 60, 140));
        p.drawText(QPointF(8, 14), QString::fromUtf8(title));
        font.setPixelSize(9);
        p.setFont(font);
        p.setPen(QPen(Qt::black, 1.3));
    }
    void save(const QString& path) {
        p.end();
        img.save(path, "JPG", 92);
    }
};

// MOSFET from drain (x, y1) down to source (x, y2); gate lead to the left.
void mosfetV(Schematic& s, double x, double y1, double y2, const char* name) {
    const double m = (y1 + y2) / 2;
    s.wire({{x, y1}, {x, m - 8}, {x - 6, m - 8}});
    s.p.drawLine(QPointF(x - 6, m - 10), QPointF(x - 6, m + 10));
    s.p.drawLine(QPointF(x - 10, m - 6), QPointF(x - 10, m + 6));
    s.wire({{x - 6, m + 8}, {x, m + 8}, {x, y2}});
    s.wire({{x - 10, m}, {x - 18, m}});
    s.label(x + 4, m + 3, name);
}

// MOSFET from drain (x1, y) to source (x2, y); gate lead below.
void mosfetH(Schematic& s, double x1, double x2, double y, const char* name) {
    const double m = (x1 + x2) / 2;
    s.wire({{x1, y}, {m - 8, y}, {m - 8, y + 6}});
    s.p.drawLine(QPointF(m - 10, y + 6), QPointF(m + 10, y + 6));
    s.p.drawLine(QPointF(m - 6, y + 10), QPointF(m + 6, y + 10));
    s.wire({{m + 8, y + 6}, {m + 8, y}, {x2, y}});
    s.wire({{m, y + 10}, {m, y + 18}});
    s.label(m - 5, y - 4, name);
}

// NPN transistor: collector (x, yc), emitter (x, ye), base lead to (bx, mid).
void npn(Schematic& s, double x, double yc, double ye, double bx, const char* name) {
    const double m = (yc + ye) / 2;
    s.p.drawLine(QPointF(x - 10, m - 10), QPointF(x - 10, m + 10));
    s.p.drawLine(QPointF(x - 10, m - 5), QPointF(x, yc));
    s.p.drawLine(QPointF(x - 10, m + 5), QPointF(x, ye));
    QPolygonF arrow;
    arrow << QPointF(x, ye) << QPointF(x - 6, ye - 1) << QPointF(x - 3, ye - 5);
    s.p.setBrush(Qt::black);
    s.p.drawPolygon(arrow);
    s.p.setBrush(Qt::NoBrush);
    s.wire({{x - 10, m}, {bx, m}});
    s.label(x + 4, m + 3, name);
}

// Winding or inductor from (x1, y) to (x2, y), four turns bulging up (or down).
void coilH(Schematic& s, double x1, double x2, double y, bool up = true) {
    const double w = (x2 - x1) / 4;
    for (int i = 0; i < 4; ++i)
        s.p.drawArc(QRectF(x1 + i * w, y - w / 2, w, w), 0, (up ? 180 : -180) * 16);
}

void inductorH(Schematic& s, double x1, double x2, double y, const char* name) {
    coilH(s, x1, x2, y);
    s.label((x1 + x2) / 2 - 3, y - 8, name);
}

// Diode with its cathode at (x1, y) and anode at (x2, y).
void diodeLeft(Schematic& s, double x1, double x2, double y) {
    const double m = (x1 + x2) / 2;
    s.wire({{x2, y}, {m + 5, y}});
    QPolygonF t;
    t << QPointF(m + 5, y - 5) << QPointF(m + 5, y + 5) << QPointF(m - 4, y);
    s.p.setBrush(Qt::black);
    s.p.drawPolygon(t);
    s.p.setBrush(Qt::NoBrush);
    s.p.drawLine(QPointF(m - 4, y - 5), QPointF(m - 4, y + 5));
    s.wire({{m - 4, y}, {x1, y}});
}

// DC source between (x, y1) (+) and (x, y2).
void battery(Schematic& s, double x, double y1, double y2, const char* name) {
    const double m = (y1 + y2) / 2;
    s.wire({{x, y1}, {x, m - 3}});
    s.wire({{x, m + 3}, {x, y2}});
    s.p.drawLine(QPointF(x - 8, m - 3), QPointF(x + 8, m - 3));
    QPen thick = s.p.pen();
    thick.setWidthF(2.6);
    s.p.save();
    s.p.setPen(thick);
    s.p.drawLine(QPointF(x - 4, m + 3), QPointF(x + 4, m + 3));
    s.p.restore();
    s.label(x + 4, m - 6, "+");
    s.label(x + 6, m + 12, name);
}

// A horizontal wire from x1 to x2 at y that hops over a vertical wire at hx.
void wireHop(Schematic& s, double x1, double x2, double y, double hx) {
    s.wire({{x1, y}, {hx - 4, y}});
    s.p.drawArc(QRectF(hx - 4, y - 4, 8, 8), 0, 180 * 16);
    s.wire({{hx + 4, y}, {x2, y}});
}

// Two core lines beside a winding.
void core(Schematic& s, double x, double y1, double y2) {
    s.p.drawLine(QPointF(x, y1), QPointF(x, y2));
    s.p.drawLine(QPointF(x + 3, y1), QPointF(x + 3, y2));
}

// Load resistor and output capacitor between the rails at y1 and y2.
void outputStage(Schematic& s, double xc, double xr, double y1, double y2, const char* vo,
                 bool polar = true) {
    s.dot(xc, y1);
    s.dot(xc, y2);
    s.capV(xc, y1, y2, polar);
    s.label(xc - 26, (y1 + y2) / 2 + 12, "Co");
    s.resistorV(xr, y1, y2);
    s.label(xr - 14, y1 - 4, vo);
}

// Centre-tapped secondary at x (y1..y2, tap at ym) with two rectifiers, the
// output inductor and the output stage.
void centreTapOutput(Schematic& s, double x, double y1, double ym, double y2) {
    s.coil(x, y1, ym, -1);
    s.coil(x, ym, y2, -1);
    s.label(x + 6, (y1 + ym) / 2 + 3, "Ns");
    s.wire({{x, y1}, {x, y1 - 8}, {x + 14, y1 - 8}});
    s.diodeH(x + 14, x + 38, y1 - 8);
    s.label(x + 20, y1 - 15, "D1");
    s.wire({{x, y2}, {x, y2 + 8}, {x + 14, y2 + 8}});
    s.diodeH(x + 14, x + 38, y2 + 8);
    s.label(x + 20, y2 + 20, "D2");
    s.wire({{x + 38, y1 - 8}, {x + 50, y1 - 8}});
    s.wire({{x + 38, y2 + 8}, {x + 50, y2 + 8}, {x + 50, ym + 4}});
    s.p.drawArc(QRectF(x + 46, ym - 4, 8, 8), -90 * 16, 180 * 16);
    s.wire({{x + 50, ym - 4}, {x + 50, y1 - 8}});
    s.dot(x + 50, y1 - 8);
    inductorH(s, x + 50, x + 76, y1 - 8, "L");
    s.wire({{x + 76, y1 - 8}, {x + 108, y1 - 8}});
    s.dot(x, ym);
    s.wire({{x, ym}, {x + 108, ym}});
    outputStage(s, x + 90, x + 108, y1 - 8, ym, "Vo");
}

// The three DC-DC converters between the rails at T and G.
void buckCircuit(Schematic& s, double T, double G) {
    battery(s, 20, T, G, "Vin");
    s.wire({{20, T}, {40, T}});
    mosfetH(s, 40, 90, T, "Q");
    s.wire({{90, T}, {110, T}});
    s.dot(110, T);
    s.diodeUp(110, T, G);
    s.label(116, (T + G) / 2 + 3, "D");
    inductorH(s, 110, 160, T, "L");
    s.wire({{160, T}, {240, T}});
    outputStage(s, 200, 240, T, G, "Vo");
    s.wire({{20, G}, {240, G}});
    s.dot(110, G);
}

void boostCircuit(Schematic& s, double T, double G) {
    battery(s, 20, T, G, "Vin");
    s.wire({{20, T}, {40, T}});
    inductorH(s, 40, 100, T, "L");
    s.wire({{100, T}, {120, T}});
    s.dot(120, T);
    mosfetV(s, 120, T, G, "Q");
    s.diodeH(120, 170, T);
    s.label(140, T - 8, "D");
    s.wire({{170, T}, {240, T}});
    outputStage(s, 200, 240, T, G, "Vo");
    s.wire({{20, G}, {240, G}});
    s.dot(120, G);
}

// Inverting buck-boost.
void buckBoostCircuit(Schematic& s, double T, double G) {
    battery(s, 20, T, G, "Vin");
    s.wire({{20, T}, {40, T}});
    mosfetH(s, 40, 90, T, "Q");
    s.wire({{90, T}, {120, T}});
    s.dot(120, T);
    s.wire({{120, T}, {120, T + 11}});
    s.coil(120, T + 11, G - 11, 1);
    s.wire({{120, G - 11}, {120, G}});
    s.label(130, (T + G) / 2 + 3, "L");
    diodeLeft(s, 120, 170, T);
    s.label(140, T - 8, "D");
    s.wire({{170, T}, {240, T}});
    outputStage(s, 200, 240, T, G, "-Vo", false);
    s.wire({{20, G}, {240, G}});
    s.dot(120, G);
}

void dcdcPicture(const QString& path) {
    Picture pic(270, 372, "DC-DC: Buck / Boost / Buck-Boost");
    Schematic s{pic.p};
    auto band = [&](double top, const char* name) {
        s.p.save();
        s.p.setPen(QColor(120, 120, 120));
        s.p.drawLine(QPointF(6, top - 10), QPointF(264, top - 10));
        s.p.restore();
        s.label(8, top + 2, name);
    };
    band(30, "Buck");
    buckCircuit(s, 48, 118);
    band(150, "Boost");
    boostCircuit(s, 168, 238);
    band(270, "Buck-Boost");
    buckBoostCircuit(s, 288, 358);
    pic.save(path);
}

void flybackPicture(const QString& path) {
    Picture pic(270, 174, "Flyback");
    pic.p.translate(0, 20);
    flybackSchematic(pic.p);
    pic.save(path);
}

void rccCircuit(Schematic& s) {
    const double T = 40, G = 172;
    battery(s, 16, T, G, "Vin");
    s.wire({{16, T}, {150, T}});
    // start-up resistor to the base
    s.dot(60, T);
    s.resistorV(60, T, 100);
    s.label(40, 74, "Rs");
    s.dot(60, 100);
    npn(s, 110, 86, 114, 60, "Q");
    // primary from the rail to the collector
    s.wire({{150, T}, {150, T + 6}});
    s.coil(150, T + 6, T + 46, 1);
    s.wire({{150, T + 46}, {110, T + 46}, {110, 86}});
    s.label(128, 66, "Np");
    s.dot(146, T + 8);
    s.wire({{110, 114}, {110, G}});
    // base winding through Cb and Rb
    s.capV(60, 100, 118);
    s.label(70, 113, "Cb");
    s.resistorV(60, 118, 138);
    s.label(70, 131, "Rb");
    s.coil(60, 140, 164, -1);
    s.wire({{60, 138}, {60, 140}});
    s.wire({{60, 164}, {60, G}});
    core(s, 45, 138, 166);
    s.label(28, 155, "Nb");
    s.dot(64, 142);
    s.wire({{16, G}, {110, G}});
    s.dot(60, G);
    // transformer and output
    core(s, 161, T + 2, T + 50);
    s.coil(175, T + 6, T + 46, -1);
    s.label(180, 70, "Ns");
    s.dot(180, T + 44);
    s.wire({{175, T + 6}, {175, T}, {190, T}});
    s.diodeH(190, 214, T);
    s.label(196, T - 8, "D");
    s.wire({{214, T}, {262, T}});
    s.wire({{175, T + 46}, {175, 120}, {262, 120}});
    outputStage(s, 236, 262, T, 120, "Vo");
}

void rccPicture(const QString& path) {
    Picture pic(270, 184, "RCC (ringing choke converter)");
    Schematic s{pic.p};
    rccCircuit(s);
    pic.save(path);
}

void forwardCircuit(Schematic& s) {
    const double T = 40, G = 170;
    battery(s, 16, T, G, "Vin");
    s.wire({{16, T}, {120, T}});
    // reset winding and its diode
    s.dot(80, T);
    s.wire({{80, T}, {80, T + 6}});
    s.coil(80, T + 6, T + 46, 1);
    core(s, 91, T + 2, T + 50);
    s.label(60, 68, "Nr");
    s.dot(85, T + 44);
    s.wire({{80, T + 46}, {80, 100}});
    s.diodeUp(80, 100, G);
    s.label(60, 140, "Dr");
    // primary and switch
    s.wire({{120, T}, {120, T + 6}});
    s.coil(120, T + 6, T + 46, 1);
    s.label(100, 68, "Np");
    s.dot(116, T + 8);
    s.wire({{120, T + 46}, {120, 100}});
    mosfetV(s, 120, 100, G, "Q");
    s.wire({{16, G}, {120, G}});
    s.dot(80, G);
    // secondary: rectifier, freewheel diode, inductor, output
    core(s, 131, T + 2, T + 50);
    s.coil(146, T + 6, T + 46, -1);
    s.label(150, 68, "Ns");
    s.dot(151, T + 8);
    s.wire({{146, T + 6}, {146, T}, {158, T}});
    s.diodeH(158, 182, T);
    s.label(164, T - 8, "D1");
    s.wire({{182, T}, {194, T}});
    s.dot(194, T);
    s.diodeUp(194, T, 130);
    s.label(198, 100, "D2");
    inductorH(s, 194, 226, T, "L");
    s.wire({{226, T}, {262, T}});
    s.wire({{146, T + 46}, {146, 130}, {262, 130}});
    s.dot(194, 130);
    outputStage(s, 244, 262, T, 130, "Vo");
}

void forwardPicture(const QString& path) {
    Picture pic(270, 184, "Forward");
    Schematic s{pic.p};
    forwardCircuit(s);
    pic.save(path);
}

void pushPullCircuit(Schematic& s) {
    const double G = 176;
    battery(s, 16, 80, G, "Vin");
    // centre tap to the supply, hopping over Q1's drain lead
    wireHop(s, 16, 130, 80, 70);
    s.dot(130, 80);
    s.coil(130, 40, 80, 1);
    s.coil(130, 80, 120, 1);
    s.label(108, 62, "Np");
    s.wire({{130, 40}, {130, 32}, {70, 32}});
    mosfetV(s, 70, 32, G, "Q1");
    s.wire({{130, 120}, {130, 128}, {104, 128}});
    mosfetV(s, 104, 128, G, "Q2");
    s.wire({{16, G}, {104, G}});
    s.dot(70, G);
    core(s, 141, 36, 124);
    centreTapOutput(s, 155, 40, 80, 120);
}

void pushPullPicture(const QString& path) {
    Picture pic(270, 190, "Push-Pull");
    Schematic s{pic.p};
    pushPullCircuit(s);
    pic.save(path);
}

void halfBridgeCircuit(Schematic& s) {
    const double T = 30, G = 176, M = 103;
    battery(s, 16, T, G, "Vin");
    s.wire({{16, T}, {100, T}});
    s.wire({{16, G}, {100, G}});
    // capacitor divider and the two switches
    s.dot(50, T);
    s.dot(50, G);
    s.capV(50, T, M);
    s.label(58, 62, "C1");
    s.capV(50, M, G);
    s.label(58, 146, "C2");
    s.dot(50, M);
    mosfetV(s, 100, T, M, "Q1");
    mosfetV(s, 100, M, G, "Q2");
    s.dot(100, M);
    // primary between the two midpoints
    s.wire({{100, M}, {116, M}, {116, 52}, {130, 52}, {130, 60}});
    s.coil(130, 60, 104, 1);
    s.label(124, 132, "Np");
    s.wire({{130, 104}, {130, 116}});
    wireHop(s, 130, 60, 116, 100);
    s.wire({{60, 116}, {60, M}, {50, M}});
    core(s, 141, 48, 116);
    centreTapOutput(s, 155, 56, 82, 108);
}

void halfBridgePicture(const QString& path) {
    Picture pic(270, 190, "Half Bridge");
    Schematic s{pic.p};
    halfBridgeCircuit(s);
    pic.save(path);
}

void fullBridgeCircuit(Schematic& s) {
    const double T = 30, G = 176, M = 103;
    battery(s, 16, T, G, "Vin");
    s.wire({{16, T}, {110, T}});
    s.wire({{16, G}, {110, G}});
    s.dot(60, T);
    s.dot(60, G);
    mosfetV(s, 60, T, M, "Q1");
    mosfetV(s, 60, M, G, "Q2");
    mosfetV(s, 110, T, M, "Q3");
    mosfetV(s, 110, M, G, "Q4");
    s.dot(60, M);
    s.dot(110, M);
    // primary between the legs, hopping over Q3's drain lead
    s.wire({{60, M}, {84, M}, {84, 48}});
    s.wire({{84, 48}, {106, 48}});
    s.p.drawArc(QRectF(106, 44, 8, 8), 0, 180 * 16);
    s.wire({{114, 48}, {130, 48}, {130, 56}});
    s.coil(130, 56, 100, 1);
    s.label(118, 120, "Np");
    s.wire({{130, 100}, {130, M}, {110, M}});
    core(s, 141, 48, 116);
    centreTapOutput(s, 155, 56, 82, 108);
}

void fullBridgePicture(const QString& path) {
    Picture pic(270, 190, "Full Bridge");
    Schematic s{pic.p};
    fullBridgeCircuit(s);
    pic.save(path);
}

// ---------------------------------------------------------------- designer pictures
// The topology pictures of the classic designers: a circuit scaled to fit a
// bitmap of the size the designer paints, showing the part `content` of the
// circuit's coordinates.
void designerBitmap(const QString& path, int w, int h, QRectF content,
                    const std::function<void(Schematic&)>& draw) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double k = std::min(w / content.width(), h / content.height());
    p.translate((w - content.width() * k) / 2, (h - content.height() * k) / 2);
    p.scale(k, k);
    p.translate(-content.left(), -content.top());
    QFont f("Noto Sans", 7);
    f.setPixelSize(9);
    p.setFont(f);
    p.setPen(QPen(Qt::black, 1.3));
    Schematic s{p};
    draw(s);
    p.end();
    img.save(path);
}

void designerBitmaps(const QString& dir) {
    designerBitmap(dir + "/forward.png", 229, 204, {0, 22, 270, 162}, forwardCircuit);
    designerBitmap(dir + "/push-pull.png", 243, 196, {0, 16, 270, 174}, pushPullCircuit);
    designerBitmap(dir + "/half-bridge.png", 221, 180, {0, 18, 276, 172}, halfBridgeCircuit);
    designerBitmap(dir + "/full-bridge.png", 218, 196, {0, 18, 276, 172}, fullBridgeCircuit);
    designerBitmap(dir + "/rcc.png", 234, 129, {0, 22, 270, 162}, rccCircuit);
    designerBitmap(dir + "/buck.png", 225, 117, {4, 30, 262, 98}, [](Schematic& s) { buckCircuit(s, 48, 118); });
    designerBitmap(dir + "/boost.png", 217, 115, {4, 150, 262, 98}, [](Schematic& s) { boostCircuit(s, 168, 238); });
    designerBitmap(dir + "/buck-boost.png", 208, 105, {4, 270, 262, 98},
                   [](Schematic& s) { buckBoostCircuit(s, 288, 358); });
}

// The pictures of the formula editor page, under their file names.
// The LLC half bridge of the LLC designer: the bridge, the series tank
// Cr-Lr, the magnetising inductance across the primary and a centre-tapped
// rectifier (524x175).
void llc(const QString& path) {
    QImage img(524, 175, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.4));
    QFont f("Noto Sans", 8);
    f.setPixelSize(11);
    p.setFont(f);
    Schematic s{p};
    const double top = 22, gnd = 152, mid = 87;
    // input and bulk capacitor
    s.label(8, 16, "Vin");
    s.wire({{20, top}, {110, top}});
    s.wire({{20, gnd}, {110, gnd}});
    s.dot(40, top);
    s.dot(40, gnd);
    s.capV(40, top, gnd, true);
    s.label(50, mid + 4, "Cin");
    // the two switches, drawn as in the flyback picture
    const auto mosfet = [&](double y1, double y2, const char* name) {
        const double x = 110;
        s.wire({{x, y1}, {x, y1 + 14}, {x - 6, y1 + 14}});
        p.drawLine(QPointF(x - 6, y1 + 10), QPointF(x - 6, y2 - 10));
        p.drawLine(QPointF(x - 10, y1 + 14), QPointF(x - 10, y2 - 14));
        s.wire({{x - 6, y2 - 14}, {x, y2 - 14}, {x, y2}});
        s.wire({{x - 10, (y1 + y2) / 2}, {x - 24, (y1 + y2) / 2}});
        s.label(x + 5, (y1 + y2) / 2 + 4, name);
    };
    mosfet(top, mid, "Q1");
    mosfet(mid, gnd, "Q2");
    p.drawRect(QRectF(62, 40, 24, 96));
    p.save();
    p.translate(78, 112);
    p.rotate(-90);
    s.label(0, 0, "K7395");
    p.restore();
    s.dot(110, mid);
    // series tank
    s.wire({{110, mid}, {150, mid}});
    p.drawLine(QPointF(150, mid - 9), QPointF(150, mid + 9));
    p.drawLine(QPointF(156, mid - 9), QPointF(156, mid + 9));
    s.label(144, mid - 14, "Cr");
    s.wire({{156, mid}, {180, mid}});
    for (int i = 0; i < 4; ++i) p.drawArc(QRectF(180 + i * 12, mid - 6, 12, 12), 0, 180 * 16);
    s.label(198, mid - 12, "Lr");
    s.wire({{228, mid}, {240, mid}, {240, 40}, {290, 40}});
    // magnetising inductance across the primary
    s.dot(270, 40);
    s.dot(270, 134);
    s.wire({{270, 40}, {270, 62}});
    s.coil(270, 62, 112, -1);
    s.wire({{270, 112}, {270, 134}});
    s.label(244, 104, "Lm");
    s.wire({{290, 40}, {290, 62}});
    s.coil(290, 62, 112, 1);
    s.wire({{290, 112}, {290, 134}, {240, 134}, {240, gnd}, {110, gnd}});
    s.label(276, 148, "Np");
    p.drawLine(QPointF(304, 30), QPointF(304, 144));
    p.drawLine(QPointF(308, 30), QPointF(308, 144));
    // centre-tapped secondary
    s.coil(322, 30, 78, -1);
    s.coil(322, 96, 144, -1);
    s.wire({{322, 78}, {322, 96}});
    s.label(328, 60, "Ns");
    s.wire({{322, 30}, {322, top}, {350, top}});
    s.diodeH(350, 384, top);
    s.label(360, top - 8, "D1");
    s.wire({{384, top}, {500, top}});
    s.dot(322, mid);
    s.wire({{322, mid}, {396, mid}});
    p.drawArc(QRectF(396, mid - 4, 8, 8), 180 * 16, -180 * 16);
    s.wire({{404, mid}, {500, mid}});
    s.wire({{322, 144}, {322, 160}, {400, 160}, {400, 150}});
    s.wire({{400, top}, {400, 104}});
    s.diodeUp(400, 104, 150);
    s.label(406, 132, "D2");
    s.dot(400, top);
    s.dot(440, top);
    s.dot(440, mid);
    s.capV(440, top, mid, true);
    s.label(448, mid - 26, "Co");
    s.resistorV(486, top, mid);
    s.label(478, top - 8, "Vo");
    p.end();
    img.save(path);
}

void topologyPictures(const QString& dir) {
    dcdcPicture(dir + QString::fromUtf8("/DC-DC变换器.JPG"));
    flybackPicture(dir + QString::fromUtf8("/反激变换器.JPG"));
    rccPicture(dir + QString::fromUtf8("/RCC变换器.JPG"));
    forwardPicture(dir + QString::fromUtf8("/正激变换器.JPG"));
    pushPullPicture(dir + QString::fromUtf8("/推挽变换器.JPG"));
    halfBridgePicture(dir + QString::fromUtf8("/半桥变换器.JPG"));
    fullBridgePicture(dir + QString::fromUtf8("/全桥变换器.JPG"));
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    background(dir + "/launcher.png");
    icon(dir + "/korvane.png");
    flyback(dir + "/flyback.png");
    designerBitmaps(dir);
    llc(dir + "/llc.png");
    // make-bitmaps BITMAP_DIR CODE_DIR: the topology pictures as well
    if (argc > 2) topologyPictures(QString::fromLocal8Bit(argv[2]));
    std::printf("written to %s\n", qPrintable(dir));
    return 0;
}
