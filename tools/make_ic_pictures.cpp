// Draws the pictures of the controller-specific designers: the pin-out of the
// single-stage PFC controller and the MT7930 application circuit.
// Run once; the pictures are kept under resources/bitmaps.
// usage: make-ic-pictures OUTDIR
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cstdio>

namespace {

const QColor kInk(30, 30, 30);
const QColor kHighlight(200, 0, 0);

QFont font(int px, bool bold = false) {
    QFont f("DejaVu Sans");
    f.setPixelSize(px);
    f.setBold(bold);
    return f;
}

// An eight-pin controller seen from above: pins 1-4 down the left side, 8-5 down the right.
void pinOut(const QString& path) {
    QImage img(115, 135, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(font(11, true));
    p.setPen(kInk);
    p.drawText(QRectF(0, 2, 115, 14), Qt::AlignCenter, "K7350");
    const QRectF body(40, 20, 35, 104);
    p.setBrush(QColor(235, 235, 235));
    p.drawRect(body);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(51, 15, 13, 10), 180 * 16, 180 * 16); // the notch
    const char* left[] = {"INV", "COMP", "MULT", "CS"};
    const char* right[] = {"VCC", "GD", "GND", "ZCD"};
    for (int i = 0; i < 4; ++i) {
        const double y = 34 + 25 * i;
        const bool mult = i == 2;
        p.setPen(QPen(mult ? kHighlight : kInk, 2));
        p.drawLine(QPointF(32, y), QPointF(40, y));
        p.drawLine(QPointF(75, y), QPointF(83, y));
        p.setFont(font(8));
        p.setPen(kInk);
        p.drawText(QRectF(41, y - 6, 12, 12), Qt::AlignCenter, QString::number(i + 1));
        p.drawText(QRectF(62, y - 6, 12, 12), Qt::AlignCenter, QString::number(8 - i));
        p.setPen(mult ? kHighlight : kInk);
        p.drawText(QRectF(0, y - 6, 31, 12), Qt::AlignRight | Qt::AlignVCenter, left[i]);
        p.setPen(kInk);
        p.drawText(QRectF(85, y - 6, 30, 12), Qt::AlignLeft | Qt::AlignVCenter, right[i]);
    }
    p.setFont(font(8));
    p.setPen(kHighlight);
    p.drawText(QRectF(0, 124, 115, 11), Qt::AlignCenter, "pin.3: MULT");
    p.end();
    img.save(path);
}

// Small schematic symbols on a painter, in pixels.
struct Sketch {
    QPainter& p;
    void wire(std::initializer_list<QPointF> pts) {
        QPainterPath path;
        bool first = true;
        for (const QPointF& q : pts) {
            if (first) path.moveTo(q);
            else path.lineTo(q);
            first = false;
        }
        p.drawPath(path);
    }
    void dot(double x, double y) {
        p.setBrush(kInk);
        p.drawEllipse(QPointF(x, y), 1.8, 1.8);
        p.setBrush(Qt::NoBrush);
    }
    // A winding from (x, y1) down to (x, y2), bumps to the left or right.
    void coil(double x, double y1, double y2, bool right) {
        const int turns = 4;
        const double h = (y2 - y1) / turns;
        QPainterPath path;
        path.moveTo(x, y1);
        for (int i = 0; i < turns; ++i) path.arcTo(QRectF(x - h / 2, y1 + i * h, h, h), 90, right ? -180 : 180);
        p.drawPath(path);
    }
    // A diode pointing right (anode at x1) or down.
    void diode(double x, double y, bool down) {
        QPolygonF tri;
        if (down) tri << QPointF(x - 5, y - 4) << QPointF(x + 5, y - 4) << QPointF(x, y + 4);
        else tri << QPointF(x - 4, y - 5) << QPointF(x - 4, y + 5) << QPointF(x + 4, y);
        p.setBrush(kInk);
        p.drawPolygon(tri);
        p.setBrush(Qt::NoBrush);
        if (down) p.drawLine(QPointF(x - 5, y + 4), QPointF(x + 5, y + 4));
        else p.drawLine(QPointF(x + 4, y - 5), QPointF(x + 4, y + 5));
    }
    // A capacitor across a vertical wire at y.
    void cap(double x, double y) {
        p.drawLine(QPointF(x - 6, y - 2), QPointF(x + 6, y - 2));
        p.drawLine(QPointF(x - 6, y + 2), QPointF(x + 6, y + 2));
    }
    // A resistor on a vertical wire, centred at y.
    void resistor(double x, double y) { p.drawRect(QRectF(x - 3, y - 7, 6, 14)); }
    void ground(double x, double y) {
        p.drawLine(QPointF(x - 6, y), QPointF(x + 6, y));
        p.drawLine(QPointF(x - 4, y + 2.5), QPointF(x + 4, y + 2.5));
        p.drawLine(QPointF(x - 2, y + 5), QPointF(x + 2, y + 5));
    }
    void label(double x, double y, const QString& t, QColor c = kInk) {
        QPen keep = p.pen();
        p.setPen(c);
        p.drawText(QPointF(x, y), t);
        p.setPen(keep);
    }
};

// The MT7930 driving a primary-side-regulated flyback with an LED string.
void mt7930Circuit(const QString& path) {
    QImage img(210, 244, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1.2));
    p.setFont(font(8));
    Sketch s{p};
    // mains, bridge and bulk capacitor
    p.drawEllipse(QPointF(14, 62), 8, 8);
    s.wire({{10, 62}, {12, 59}, {14, 62}, {16, 65}, {18, 62}});
    QPolygonF bridge;
    bridge << QPointF(42, 44) << QPointF(56, 58) << QPointF(42, 72) << QPointF(28, 58);
    p.drawPolygon(bridge);
    s.wire({{14, 54}, {14, 40}, {35, 40}, {35, 51}});
    s.wire({{14, 70}, {14, 84}, {35, 84}, {35, 65}});
    s.wire({{42, 44}, {42, 24}, {84, 24}});
    s.wire({{42, 72}, {42, 110}});
    s.wire({{66, 24}, {66, 52}});
    s.cap(66, 54);
    s.wire({{66, 56}, {66, 110}, {42, 110}});
    s.ground(54, 112);
    s.label(52, 80, "C1");
    // transformer: primary, secondary, auxiliary
    s.wire({{84, 24}, {92, 24}, {92, 30}});
    s.coil(92, 30, 70, false);
    s.wire({{102, 26}, {102, 124}});
    p.drawLine(QPointF(104, 26), QPointF(104, 124));
    s.coil(114, 30, 70, true);
    s.dot(86, 32);
    s.dot(120, 68);
    s.label(72, 48, "Np");
    s.label(122, 48, "Ns");
    // secondary: rectifier, output capacitor and LED string
    s.wire({{114, 30}, {114, 24}, {140, 24}});
    s.diode(146, 24, false);
    s.wire({{150, 24}, {196, 24}, {196, 34}});
    s.wire({{170, 24}, {170, 46}});
    s.cap(170, 48);
    s.wire({{170, 50}, {170, 84}});
    for (int i = 0; i < 3; ++i) {
        s.diode(196, 40 + 14 * i, true);
        s.wire({{196.0, 44.0 + 14 * i}, {196.0, 50.0 + 14 * i}});
    }
    s.wire({{196, 78}, {196, 84}, {114, 84}, {114, 70}});
    s.label(175, 96, "LED", kHighlight);
    // auxiliary winding: supply and output-voltage sense
    s.coil(114, 96, 120, true);
    s.dot(120, 98);
    s.label(84, 112, "Na");
    s.wire({{114, 120}, {114, 126}});
    s.ground(114, 126);
    s.wire({{114, 96}, {114, 92}, {150, 92}, {150, 128}});
    s.wire({{138, 92}, {138, 100}});
    s.diode(138, 104, true);
    s.wire({{138, 108}, {138, 180}});
    s.resistor(150, 136);
    s.wire({{150, 143}, {150, 150}});
    s.resistor(150, 157);
    s.wire({{150, 164}, {150, 170}});
    s.ground(150, 170);
    s.label(156, 140, "Rup");
    s.label(156, 161, "Rlow");
    // primary switch and current sense
    s.wire({{92, 70}, {92, 76}, {76, 76}, {76, 150}});
    p.drawLine(QPointF(70, 154), QPointF(70, 170));
    s.wire({{76, 150}, {76, 154}});
    p.drawLine(QPointF(74, 154), QPointF(74, 170));
    s.wire({{76, 170}, {76, 196}});
    s.resistor(76, 204);
    s.wire({{76, 211}, {76, 222}});
    s.ground(76, 222);
    s.label(82, 208, "Rcs");
    s.label(80, 164, "Q1");
    // the controller
    p.setBrush(QColor(235, 235, 235));
    p.drawRect(QRectF(96, 180, 64, 44));
    p.setBrush(Qt::NoBrush);
    p.setFont(font(9, true));
    s.label(104, 206, "MT7930", kHighlight);
    p.setFont(font(7));
    s.wire({{96, 190}, {56, 190}, {56, 162}, {70, 162}});
    s.label(98, 193, "GATE");
    s.wire({{96, 214}, {84, 214}, {84, 198}, {76, 198}});
    s.label(98, 221, "CS");
    s.label(132, 188, "VDD");
    s.wire({{150, 150}, {166, 150}, {166, 200}, {160, 200}});
    s.label(132, 220, "DSEN");
    p.end();
    img.save(path);
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make-ic-pictures OUTDIR\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    pinOut(dir + "/single-pfc-pins.png");
    mt7930Circuit(dir + "/mt7930-circuit.png");
    return 0;
}
