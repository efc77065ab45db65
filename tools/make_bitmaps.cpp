// Draws the launcher background (319x160), the program icon (32x32) and the
// designers' topology pictures and the loop sheet's pictures; with a second
// folder, the topology pictures of the formula editor page.
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
#include <cstring>

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

// ---------------------------------------------------------------- loop pictures
// The loop sheet's pictures at the size they are shown: the amplifier
// networks, slope compensation, asymptotic sketches of the pole and zero
// placement, and the arrows between the type II page's steps.

struct LoopPicture {
    QImage img;
    QPainter p;
    Schematic s{p};
    LoopPicture(int w, int h, bool transparent = false)
        : img(w, h, QImage::Format_ARGB32) {
        img.fill(transparent ? QColor(Qt::transparent) : QColor(Qt::white));
        p.begin(&img);
        p.setRenderHint(QPainter::Antialiasing);
        QFont f("Noto Sans CJK SC");
        f.setPixelSize(12);
        p.setFont(f);
        p.setPen(QPen(Qt::black, 1.3));
    }
    void save(const QString& path) {
        p.end();
        img.save(path, "PNG");
    }
};

void resistorH(Schematic& s, double x1, double x2, double y, const char* name) {
    const double a = x1 + (x2 - x1) * 0.2, b = x1 + (x2 - x1) * 0.8;
    s.wire({{x1, y}, {a, y}});
    QPolygonF z;
    const int n = 6;
    for (int i = 0; i <= n; ++i) z << QPointF(a + (b - a) * i / n, i == 0 || i == n ? y : y + (i % 2 ? -5 : 5));
    s.p.drawPolyline(z);
    s.wire({{b, y}, {x2, y}});
    s.label((x1 + x2) / 2 - 7, y - 9, name);
}

void capacitorH(Schematic& s, double x1, double x2, double y, const char* name) {
    const double m = (x1 + x2) / 2;
    s.wire({{x1, y}, {m - 3, y}});
    s.wire({{m + 3, y}, {x2, y}});
    s.p.drawLine(QPointF(m - 3, y - 9), QPointF(m - 3, y + 9));
    s.p.drawLine(QPointF(m + 3, y - 9), QPointF(m + 3, y + 9));
    s.label(m - 7, y - 12, name);
}

void resistorDown(Schematic& s, double x, double y1, double y2, const char* name) {
    s.resistorV(x, y1, y2);
    s.label(x + 8, (y1 + y2) / 2 + 4, name);
}

void capacitorDown(Schematic& s, double x, double y1, double y2, const char* name) {
    s.capV(x, y1, y2);
    s.label(x + 11, (y1 + y2) / 2 + 4, name);
}

void ground(Schematic& s, double x, double y) {
    s.p.drawLine(QPointF(x - 8, y), QPointF(x + 8, y));
    s.p.drawLine(QPointF(x - 5, y + 3), QPointF(x + 5, y + 3));
    s.p.drawLine(QPointF(x - 2, y + 6), QPointF(x + 2, y + 6));
}

void terminal(Schematic& s, double x, double y, const char* name, bool left) {
    s.p.drawEllipse(QPointF(x, y), 2.5, 2.5);
    s.label(left ? x - 8 - 7.5 * double(std::strlen(name)) : x + 6, y + 4, name);
}

// Amplifier triangle with its inputs on the left edge at y - h/4 (−) and
// y + h/4 (+) and the output at the tip (x + w, y).
void amplifier(Schematic& s, double x, double y, double w, double h, const char* inside) {
    QPolygonF t;
    t << QPointF(x, y - h / 2) << QPointF(x, y + h / 2) << QPointF(x + w, y);
    s.p.drawPolygon(t);
    s.label(x + 4, y - h / 4 + 4, "−");
    s.label(x + 4, y + h / 4 + 4, "+");
    if (*inside) s.label(x + w / 3, y + 4, inside);
}

// Vo through R1 into the inverting input of an op amp at (ax, ay), with the
// bias resistor to ground and Vref on the other input; returns the input node.
QPointF dividerIntoOpAmp(Schematic& s, double ax, double ay, double h) {
    const double yIn = ay - h / 4, node = ax - 90;
    terminal(s, 36, yIn, "Vo", true);
    resistorH(s, 38, node, yIn, "R1");
    s.dot(node, yIn);
    s.wire({{node, yIn}, {ax, yIn}});
    resistorDown(s, node, yIn, yIn + 55, "Rb");
    ground(s, node, yIn + 55);
    s.wire({{ax, ay + h / 4}, {ax - 16, ay + h / 4}, {ax - 16, ay + h / 4 + 22}});
    terminal(s, ax - 16, ay + h / 4 + 24, "Vref", true);
    return {node, yIn};
}

void typeTwoOpAmp(LoopPicture& pic, double dx, const char* title) {
    Schematic& s = pic.s;
    s.p.save();
    s.p.translate(dx, 0);
    const double ax = 200, ay = 170, aw = 70, ah = 80;
    const QPointF in = dividerIntoOpAmp(s, ax, ay, ah);
    amplifier(s, ax, ay, aw, ah, "");
    const double right = 320;
    s.wire({{ax + aw, ay}, {right, ay}, {right + 20, ay}});
    terminal(s, right + 22, ay, "Vc", false);
    s.dot(right, ay);
    // R2 in series with C1, both across C2, from the output back to the input node
    const double fb = in.x() + 24;
    s.dot(fb, in.y());
    s.wire({{fb, in.y()}, {fb, 90}, {fb + 10, 90}});
    resistorH(s, fb + 10, fb + 70, 90, "R2");
    capacitorH(s, fb + 70, fb + 110, 90, "C1");
    s.wire({{fb + 110, 90}, {right, 90}, {right, ay}});
    s.dot(fb, 90);
    s.dot(right, 90);
    s.wire({{fb, 90}, {fb, 45}, {fb + 50, 45}});
    capacitorH(s, fb + 50, fb + 90, 45, "C2");
    s.wire({{fb + 90, 45}, {right, 45}, {right, 90}});
    s.p.restore();
    s.p.setPen(QColor(64, 0, 128));
    s.label(12, 20, title);
    s.p.setPen(QPen(Qt::black, 1.3));
}

void typeTwoTransconductance(LoopPicture& pic) {
    Schematic& s = pic.s;
    const double ax = 190, ay = 130, aw = 80, ah = 80;
    terminal(s, 40, 30, "Vo", true);
    s.wire({{40, 30}, {70, 30}});
    resistorDown(s, 70, 30, ay - ah / 4, "R1");
    s.dot(70, ay - ah / 4);
    s.wire({{70, ay - ah / 4}, {ax, ay - ah / 4}});
    resistorDown(s, 70, ay - ah / 4, ay + 70, "Rb");
    ground(s, 70, ay + 70);
    s.wire({{ax, ay + ah / 4}, {ax - 40, ay + ah / 4}});
    s.label(ax - 78, ay + ah / 4 + 4, "Vref");
    amplifier(s, ax, ay, aw, ah, "gm");
    const double node = 320;
    s.wire({{ax + aw, ay}, {390, ay}});
    terminal(s, 392, ay, "COMP", false);
    s.dot(node, ay);
    resistorDown(s, node, ay, ay + 50, "R2");
    capacitorDown(s, node, ay + 50, ay + 100, "C1");
    ground(s, node, ay + 100);
    s.dot(360, ay);
    capacitorDown(s, 360, ay, ay + 100, "C2");
    ground(s, 360, ay + 100);
    s.p.setPen(QColor(64, 0, 128));
    s.label(12, 245, "跨导运放：Gc = (Vref/Vo)·gm·[(R2 + 1/sC1) ∥ 1/sC2]");
    s.p.setPen(QPen(Qt::black, 1.3));
}

void typeThree(LoopPicture& pic) {
    Schematic& s = pic.s;
    const double ax = 230, ay = 190, aw = 70, ah = 80;
    const double yIn = ay - ah / 4, node = 160;
    terminal(s, 30, yIn, "Vo", true);
    s.wire({{30, yIn}, {40, yIn}});
    s.dot(40, yIn);
    resistorH(s, 40, node, yIn, "R1");
    s.wire({{40, yIn}, {40, 130}, {50, 130}});
    resistorH(s, 50, 100, 130, "R3");
    capacitorH(s, 100, 140, 130, "C2");
    s.wire({{140, 130}, {node, 130}, {node, yIn}});
    s.dot(node, yIn);
    s.wire({{node, yIn}, {ax, yIn}});
    resistorDown(s, node + 10, yIn, yIn + 55, "Rb");
    ground(s, node + 10, yIn + 55);
    s.dot(node + 10, yIn);
    s.wire({{ax, ay + ah / 4}, {ax - 16, ay + ah / 4}, {ax - 16, ay + ah / 4 + 22}});
    terminal(s, ax - 16, ay + ah / 4 + 24, "Vref", false);
    amplifier(s, ax, ay, aw, ah, "");
    const double right = 350, fb = 200;
    s.wire({{ax + aw, ay}, {right, ay}, {370, ay}});
    terminal(s, 372, ay, "Vc", false);
    s.dot(right, ay);
    s.dot(fb, yIn);
    s.wire({{fb, yIn}, {fb, 80}, {fb + 10, 80}});
    resistorH(s, fb + 10, fb + 70, 80, "R2");
    capacitorH(s, fb + 70, fb + 110, 80, "C1");
    s.wire({{fb + 110, 80}, {right, 80}, {right, ay}});
    s.dot(fb, 80);
    s.dot(right, 80);
    s.wire({{fb, 80}, {fb, 40}, {fb + 50, 40}});
    capacitorH(s, fb + 50, fb + 90, 40, "C3");
    s.wire({{fb + 90, 40}, {right, 40}, {right, 80}});
    s.p.setPen(QColor(200, 0, 128));
    s.label(12, 270, "fz1 = 1/(2πR2C1)   fz2 = 1/(2π(R1+R3)C2)");
    s.label(12, 285, "fp1 = 1/(2πR3C2)   fp2 = (C1+C3)/(2πR2C1C3)");
    s.p.setPen(QPen(Qt::black, 1.3));
}

// Current-sense ramp with the slope-compensation ramp over three periods.
void slopeCompensation(LoopPicture& pic) {
    QPainter& p = pic.p;
    const double x0 = 40, y0 = 200, T = 120, D = 0.5;
    p.setPen(QPen(Qt::gray, 1));
    p.drawLine(QPointF(x0, y0), QPointF(x0 + 3 * T + 20, y0));
    p.drawLine(QPointF(x0, y0), QPointF(x0, 30));
    p.setPen(QPen(QColor(0, 0, 192), 1.8));
    QPolygonF sense;
    for (int k = 0; k < 3; ++k) {
        sense << QPointF(x0 + k * T, y0 - 40) << QPointF(x0 + k * T + D * T, y0 - 110)
              << QPointF(x0 + k * T + D * T, y0) << QPointF(x0 + (k + 1) * T, y0);
    }
    p.drawPolyline(sense);
    p.setPen(QPen(QColor(208, 0, 0), 1.5, Qt::DashLine));
    for (int k = 0; k < 3; ++k) p.drawLine(QPointF(x0 + k * T, y0), QPointF(x0 + (k + 1) * T, y0 - 60));
    p.setPen(QPen(QColor(0, 128, 0), 1.2, Qt::DotLine));
    p.drawLine(QPointF(x0, y0 - 120), QPointF(x0 + 3 * T, y0 - 120));
    p.setPen(Qt::black);
    pic.s.label(x0 + 3 * T + 4, y0 - 116, "Vc");
    pic.s.label(x0 + 6, 26, "Ri·iL");
    pic.s.label(x0 + 3 * T + 4, y0 + 4, "t");
    pic.s.label(x0 + D * T - 10, y0 + 16, "D·T");
    pic.s.label(x0 + T - 14, y0 + 16, "T=1/fs");
    p.setPen(QColor(0, 0, 192));
    pic.s.label(x0 + 250, 50, "Sn = Ri·Vin/L");
    p.setPen(QColor(208, 0, 0));
    pic.s.label(x0 + 250, 70, "Se = Vs·fs");
    p.setPen(QColor(64, 0, 128));
    pic.s.label(x0, 240, "mc = 1 + Se/Sn = 1 + (Vs·fs/Ri)/(Vin/L)");
}

// Asymptotic gain sketch: x in decades, y in dB.
struct Sketch {
    QPainter& p;
    double left, top, width, height, d0, d1, db0, db1;
    QPointF at(double d, double db) const {
        return {left + (d - d0) / (d1 - d0) * width, top + (db1 - db) / (db1 - db0) * height};
    }
    void axes() {
        p.setPen(QPen(Qt::gray, 1));
        p.drawLine(at(d0, 0), at(d1, 0));
        p.drawLine(at(d0, db0), at(d0, db1));
        p.setPen(Qt::black);
        p.drawText(at(d1, 0) + QPointF(-30, 14), "lg f");
        p.drawText(at(d0, db1) + QPointF(4, 10), "dB");
        p.drawText(at(d0, 0) + QPointF(-20, 4), "0");
    }
    // The sum of two asymptotes given by their corners, at every corner of either.
    static std::vector<QPointF> sum(const std::vector<QPointF>& a, const std::vector<QPointF>& b) {
        const auto value = [](const std::vector<QPointF>& c, double d) {
            for (std::size_t i = 1; i < c.size(); ++i)
                if (d <= c[i].x())
                    return c[i - 1].y() + (c[i].y() - c[i - 1].y()) * (d - c[i - 1].x()) / (c[i].x() - c[i - 1].x());
            return c.back().y();
        };
        std::vector<double> ds;
        for (const auto* c : {&a, &b})
            for (const QPointF& q : *c) ds.push_back(q.x());
        std::sort(ds.begin(), ds.end());
        std::vector<QPointF> out;
        for (double d : ds) out.emplace_back(d, value(a, d) + value(b, d));
        return out;
    }
    // An asymptote by its corners, named at (d, db).
    void curve(const std::vector<QPointF>& pts, QColor c, const char* name, QPointF label, bool dashed = false) {
        QPolygonF poly;
        for (const QPointF& q : pts) poly << at(q.x(), q.y());
        p.setPen(QPen(c, dashed ? 1.4 : 2.2, dashed ? Qt::DashLine : Qt::SolidLine));
        p.drawPolyline(poly);
        p.setPen(c);
        p.drawText(at(label.x(), label.y()), QString::fromUtf8(name));
    }
    void mark(double d, double db, const char* name, QColor c) {
        const QPointF q = at(d, db);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawEllipse(q, 3.5, 3.5);
        p.setBrush(Qt::NoBrush);
        p.setPen(c);
        p.drawText(q + QPointF(-10, -8), QString::fromUtf8(name));
        p.setPen(QPen(QColor(180, 180, 180), 1, Qt::DotLine));
        p.drawLine(q, at(d, db0));
    }
};

void placementDcm(LoopPicture& pic) {
    Sketch k{pic.p, 30, 20, 320, 250, 0, 4, -50, 60};
    k.axes();
    // plant: pole P1, ESR zero P2; amplifier: zero P5 near P1, pole P3 near P2; the loop crosses at P4
    const std::vector<QPointF> plant = {{0, 10}, {0.6, 10}, {1.8, -14}, {4, -14}};
    const std::vector<QPointF> amp = {{0, 40}, {0.7, 26}, {1.9, 26}, {4, -16}};
    k.curve(plant, QColor(0, 0, 192), "控制到输出", {2.0, -21}, true);
    k.curve(amp, QColor(0, 128, 0), "补偿器", {1.1, 29}, true);
    k.curve(Sketch::sum(plant, amp), QColor(208, 0, 0), "环路", {3.3, -28});
    k.mark(0.6, 10, "P1", QColor(0, 0, 192));
    k.mark(1.8, -14, "P2", QColor(0, 0, 192));
    k.mark(1.9, 26, "P3", QColor(0, 128, 0));
    k.mark(2.5, 0, "P4", QColor(208, 0, 0));
    k.mark(0.7, 26, "P5", QColor(0, 128, 0));
    pic.p.setPen(QColor(64, 0, 128));
    pic.s.label(12, 300, "P1 输出极点 fp   P2 ESR零点 fesr   P4 穿越频率 fc");
    pic.s.label(12, 318, "P5 补偿零点 fz1：放在 fp 附近");
    pic.s.label(12, 336, "P3 补偿极点 fp1：放在 fesr 附近，且低于 fc");
}

void placementForward(LoopPicture& pic) {
    Sketch k{pic.p, 30, 20, 320, 250, 0, 4, -90, 90};
    k.axes();
    const std::vector<QPointF> plant = {{0, 0}, {0.5, 0}, {1.3, -32}, {4, -86}};
    const std::vector<QPointF> amp = {{0, 82}, {1.6, 50}, {2.8, 50}, {4, 26}};
    k.curve(plant, QColor(0, 0, 192), "控制到输出", {2.5, -78}, true);
    k.curve(amp, QColor(0, 128, 0), "补偿器", {3.1, 52}, true);
    k.curve(Sketch::sum(plant, amp), QColor(208, 0, 0), "环路", {3.2, -38});
    k.mark(0.5, 0, "fLC", QColor(0, 0, 192));
    k.mark(1.3, -32, "fesr", QColor(0, 0, 192));
    k.mark(1.6, 50, "fz1", QColor(0, 128, 0));
    k.mark(2.8, 50, "fp1", QColor(0, 128, 0));
    k.mark(2.2, 0, "fc", QColor(208, 0, 0));
    pic.p.setPen(QColor(64, 0, 128));
    pic.s.label(12, 300, "K 因子法：fz1 = fc/K，fp1 = K·fc");
    pic.s.label(12, 318, "相位提升 = atan(K) − atan(1/K)");
    pic.s.label(12, 336, "R2/R1 补足穿越频率处控制到输出的增益");
}

void placementType3(LoopPicture& pic) {
    Sketch k{pic.p, 30, 14, 360, 170, 0, 4, -60, 50};
    k.axes();
    const std::vector<QPointF> plant = {{0, 16}, {0.8, 16}, {1.8, -24}, {4, -68}};
    const std::vector<QPointF> amp = {{0, 34}, {0.8, 18}, {1.8, 38}, {3.2, 38}, {4, 22}};
    k.curve(plant, QColor(0, 0, 192), "控制到输出", {2.6, -58}, true);
    k.curve(amp, QColor(0, 128, 0), "补偿器", {2.2, 42}, true);
    k.curve(Sketch::sum(plant, amp), QColor(208, 0, 0), "环路", {3.4, -16});
    k.mark(0.8, 18, "fz1=fz2", QColor(0, 128, 0));
    k.mark(1.8, 38, "fp1", QColor(0, 128, 0));
    k.mark(3.2, 38, "fp2", QColor(0, 128, 0));
    k.mark(2.5, 0, "fc", QColor(208, 0, 0));
    pic.p.setPen(QColor(64, 0, 128));
    pic.s.label(12, 206, "两个零点放在LC双重极点，fp1放在ESR零点，fp2放在高频处");
    pic.s.label(12, 222, "G = 调节器直流增益(dB)，fop = fc / 10^(G/20)");
}

// A fat arrow from `from` to `to` in a transparent picture.
void arrow(const QString& path, int w, int h, QPointF from, QPointF to) {
    LoopPicture pic(w, h, true);
    const QLineF line(from, to);
    const double a = std::atan2(-line.dy(), line.dx());
    const QPointF dir(std::cos(a), -std::sin(a)), side(-dir.y(), dir.x());
    const double head = 16, shaft = 5;
    const QPointF base = to - dir * head;
    QPolygonF poly;
    poly << from + side * shaft << base + side * shaft << base + side * (shaft + 7) << to
         << base - side * (shaft + 7) << base - side * shaft << from - side * shaft;
    pic.p.setPen(Qt::NoPen);
    pic.p.setBrush(QColor(64, 0, 128));
    pic.p.drawPolygon(poly);
    pic.save(path);
}

void loopPictures(const QString& dir) {
    {
        LoopPicture pic(447, 261);
        slopeCompensation(pic);
        pic.save(dir + "/loop-slope.png");
    }
    {
        LoopPicture pic(444, 259);
        typeTwoOpAmp(pic, 40, "普通运放：Gc = [(R2 + 1/sC1) ∥ 1/sC2] / R1");
        pic.save(dir + "/loop-opamp.png");
    }
    {
        LoopPicture pic(444, 259);
        typeTwoTransconductance(pic);
        pic.save(dir + "/loop-ota.png");
    }
    {
        LoopPicture pic(368, 260);
        typeTwoOpAmp(pic, 0, "Ⅱ型：零点 fz1 = 1/(2πR2C1)，极点 fp1 ≈ 1/(2πR2C2)");
        pic.save(dir + "/loop-type2.png");
    }
    {
        LoopPicture pic(368, 349);
        placementDcm(pic);
        pic.save(dir + "/loop-dcm.png");
    }
    {
        LoopPicture pic(368, 349);
        placementForward(pic);
        pic.save(dir + "/loop-forward.png");
    }
    {
        LoopPicture pic(414, 291);
        typeThree(pic);
        pic.save(dir + "/loop-type3.png");
    }
    {
        LoopPicture pic(414, 229);
        placementType3(pic);
        pic.save(dir + "/loop-type3-placement.png");
    }
    arrow(dir + "/loop-arrow-down.png", 45, 55, {22, 4}, {22, 52});
    arrow(dir + "/loop-arrow-up-right.png", 55, 45, {6, 40}, {50, 6});
    arrow(dir + "/loop-arrow-up.png", 55, 45, {27, 42}, {27, 3});
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
    loopPictures(dir);
    // make-bitmaps BITMAP_DIR CODE_DIR: the topology pictures as well
    if (argc > 2) topologyPictures(QString::fromLocal8Bit(argv[2]));
    std::printf("written to %s\n", qPrintable(dir));
    return 0;
}
