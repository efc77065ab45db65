// Draws the graphical flyback schematic (1043x507, 24-bit) on its two backgrounds:
//   flyback-schematic.png       off-white (bitmap 239)
//   flyback-schematic-cyan.png  cyan      (bitmap 268)
// Usage: make-schematic [OUTDIR] [--overlay]
// --overlay also writes *-overlay.png with the click regions, their labels and
// sample annotation texts on top, to check that nothing collides.
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>
#include <cstdio>
#include <initializer_list>

namespace {

// ---- Layout (picture pixels) ------------------------------------------------
constexpr int kW = 1043, kH = 507;

// Nets
constexpr double kRailP = 47;   // rectified DC bus +
constexpr double kRailN = 299;  // primary return
constexpr double kDrainY = 240; // drain node, primary bottom to switch
constexpr double kClampY = 110; // clamp node, R/C bottom to clamp diode
constexpr double kSecP = 44;    // secondary output +
constexpr double kSecD = 56;    // secondary lead to the output diode
constexpr double kSecN = 186;   // secondary return
constexpr double kAuxY = 298;   // auxiliary output line

// AC input terminals and bridge
constexpr double kAcX = 50, kAc1Y = 60, kAc2Y = 92;
constexpr double kBrX = 150, kBrY = 112, kBrR = 38; // diamond centre, half diagonal
constexpr double kAcJogX = 94;                      // lower AC line turns down here
constexpr double kAcRightX = 208;                   // upper AC line comes down here

// Input capacitor
constexpr double kCinX = 276, kCinPlate = 200;

// Clamp: R and C from the bus down to the clamp node, diode up from the drain
constexpr double kClampRX = 306, kClampCX = 332, kClampDX = 510, kClampDY = 175;

// Leakage inductance on the bus
constexpr double kLlkX0 = 596, kLlkX1 = 644;

// Transformer
constexpr double kPriX = 706;                 // primary and auxiliary lead line
constexpr double kCoreX1 = 712, kCoreX2 = 717;
constexpr double kSecX = 723;                 // secondary lead line
constexpr double kCoreTop = 60, kCoreBot = 352;
constexpr double kPriY0 = 76, kPriY1 = 172;   // 8 turns
constexpr double kSecY0 = 94, kSecY1 = 154;   // 5 turns
constexpr double kAuxY0 = 298, kAuxY1 = 346;  // 4 turns

// Switch and controller
constexpr double kGateX = 444, kChanX = 450, kQLeadX = 468, kQBodyDX = 484, kQY = 264;
constexpr double kIcX0 = 356, kIcY0 = 255, kIcX1 = 404, kIcY1 = 294;

// Output side
constexpr double kDoX = 836;                  // output diode centre on kSecD
constexpr double kDoJogX = 856;               // the line rises to kSecP here
constexpr double kCoutX = 925, kCoutPlate = 72;
constexpr double kOutX = 1034;                // output terminals at kSecP and kSecN
constexpr double kSecGndX = 800;

// Auxiliary output
constexpr double kDfX = 617, kVfX = 548;

// Primary ground symbol on the return
constexpr double kPriGndX = 220;

// ---- Drawing helpers --------------------------------------------------------
const QColor kInk(0, 0, 0);
const QColor kTag(30, 50, 120); // designators

struct Sheet {
    QPainter& p;
    QColor bg;

    QPen pen(double w = 2.0) const {
        QPen q(kInk, w);
        q.setCapStyle(Qt::FlatCap);
        q.setJoinStyle(Qt::MiterJoin);
        return q;
    }
    void wire(std::initializer_list<QPointF> pts) {
        QPolygonF poly;
        for (const QPointF& q : pts) poly << q;
        QPen q = pen();
        q.setCapStyle(Qt::SquareCap);
        p.setPen(q);
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(poly);
    }
    void dot(double x, double y) {
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawEllipse(QPointF(x, y), 3.5, 3.5);
        p.setBrush(Qt::NoBrush);
    }
    void terminal(double x, double y) {
        p.setPen(pen(1.8));
        p.setBrush(bg);
        p.drawEllipse(QPointF(x, y), 4.5, 4.5);
        p.setBrush(Qt::NoBrush);
    }
    // Diode centred at c, conducting along the unit vector (dx,dy).
    void diode(QPointF c, double dx, double dy, double len = 12, double half = 7) {
        const QPointF d(dx, dy), n(-dy, dx);
        const QPointF base = c - d * (len / 2), tip = c + d * (len / 2);
        p.setPen(pen(1.5));
        p.setBrush(kInk);
        p.drawPolygon(QPolygonF() << base + n * half << base - n * half << tip);
        p.setBrush(Qt::NoBrush);
        p.setPen(pen(2.2));
        p.drawLine(tip + n * half, tip - n * half);
    }
    // Coil with `turns` half-circles along a vertical line, bulging left or right.
    void coilV(double x, double y0, double y1, int turns, bool left) {
        const double r = (y1 - y0) / (2.0 * turns);
        QPainterPath path(QPointF(x, y0));
        for (int k = 0; k < turns; ++k) {
            const double cy = y0 + r + 2 * r * k;
            path.arcTo(QRectF(x - r, cy - r, 2 * r, 2 * r), 90, left ? 180 : -180);
        }
        p.setPen(pen());
        p.drawPath(path);
    }
    // Coil along a horizontal line, bulging up.
    void coilH(double x0, double x1, double y, int turns) {
        const double r = (x1 - x0) / (2.0 * turns);
        QPainterPath path(QPointF(x0, y));
        for (int k = 0; k < turns; ++k) {
            const double cx = x0 + r + 2 * r * k;
            path.arcTo(QRectF(cx - r, y - r, 2 * r, 2 * r), 180, -180);
        }
        p.setPen(pen());
        p.drawPath(path);
    }
    // Capacitor in a vertical wire: flat plate at `plate`, second plate 7 px below.
    void capV(double x, double plate, bool polar, bool markRight = false, double half = 10) {
        p.setPen(pen(2.6));
        p.drawLine(QPointF(x - half, plate), QPointF(x + half, plate));
        if (polar) {
            QPainterPath arc(QPointF(x - half, plate + 11));
            arc.quadTo(QPointF(x, plate + 3), QPointF(x + half, plate + 11));
            p.drawPath(arc);
            // polarity mark at the flat plate
            p.setPen(pen(1.3));
            const double mx = markRight ? x + half + 4 : x - half - 4, my = plate - 6;
            p.drawLine(QPointF(mx - 3, my), QPointF(mx + 3, my));
            p.drawLine(QPointF(mx, my - 3), QPointF(mx, my + 3));
        } else {
            p.drawLine(QPointF(x - half, plate + 6), QPointF(x + half, plate + 6));
        }
    }
    void resistorV(double x, double y0, double y1) {
        p.setPen(pen(2.0));
        p.setBrush(bg);
        p.drawRect(QRectF(x - 4.5, y0, 9, y1 - y0));
        p.setBrush(Qt::NoBrush);
    }
    // Primary-side ground: stem and an open triangle.
    void groundPri(double x, double y) {
        wire({{x, y}, {x, y + 9}});
        p.setPen(pen(1.8));
        p.drawPolygon(QPolygonF() << QPointF(x - 9, y + 9) << QPointF(x + 9, y + 9) << QPointF(x, y + 18));
    }
    // Secondary ground: stem and three bars.
    void groundSec(double x, double y) {
        wire({{x, y}, {x, y + 10}});
        p.setPen(pen(2.0));
        p.drawLine(QPointF(x - 10, y + 10), QPointF(x + 10, y + 10));
        p.drawLine(QPointF(x - 6, y + 14), QPointF(x + 6, y + 14));
        p.drawLine(QPointF(x - 2.5, y + 18), QPointF(x + 2.5, y + 18));
    }
    void tag(double x, double y, const char* text, int px = 11, bool bold = false) {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(px);
        f.setBold(bold);
        p.setFont(f);
        p.setPen(kTag);
        p.drawText(QPointF(x, y), QString::fromUtf8(text));
    }
    void tagCentred(double x, double y, const char* text, int px = 11, bool bold = false) {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(px);
        f.setBold(bold);
        const double w = QFontMetricsF(f).horizontalAdvance(QString::fromUtf8(text));
        tag(x - w / 2, y, text, px, bold);
    }
};

void drawSchematic(Sheet& s) {
    QPainter& p = s.p;

    // AC input: two terminals with the mains sign between them.
    {
        QPainterPath sine;
        for (int i = 0; i <= 24; ++i) {
            const double x = kAcX - 6 + i * 0.5;
            const double y = (kAc1Y + kAc2Y) / 2 - 3.5 * std::sin(i / 24.0 * 2 * M_PI);
            if (i == 0) sine.moveTo(x, y);
            else sine.lineTo(x, y);
        }
        p.setPen(s.pen(1.6));
        p.drawPath(sine);
    }

    // Bridge rectifier: AC at the side corners, + at the top, - at the bottom.
    const QPointF bT(kBrX, kBrY - kBrR), bB(kBrX, kBrY + kBrR), bL(kBrX - kBrR, kBrY), bR(kBrX + kBrR, kBrY);
    s.wire({bL, bT, bR, bB, bL});
    {
        const double k = std::sqrt(0.5);
        s.diode((bL + bT) / 2, k, -k);  // left to +
        s.diode((bR + bT) / 2, -k, -k); // right to +
        s.diode((bB + bL) / 2, -k, -k); // - to left
        s.diode((bB + bR) / 2, k, -k);  // - to right
    }
    s.tagCentred(kBrX, kBrY + 4, "BD1", 10);
    // lower terminal to the left corner
    s.wire({{kAcX + 4.5, kAc2Y}, {kAcJogX, kAc2Y}, {kAcJogX, kBrY}, bL});
    // upper terminal over the + lead (hop) to the right corner
    {
        const double hr = 6;
        s.wire({{kAcX + 4.5, kAc1Y}, {kBrX - hr, kAc1Y}});
        QPainterPath hop(QPointF(kBrX - hr, kAc1Y));
        hop.arcTo(QRectF(kBrX - hr, kAc1Y - hr, 2 * hr, 2 * hr), 180, -180);
        p.setPen(s.pen());
        p.drawPath(hop);
        s.wire({{kBrX + hr, kAc1Y}, {kAcRightX, kAc1Y}, {kAcRightX, kBrY}, bR});
    }
    s.terminal(kAcX, kAc1Y);
    s.terminal(kAcX, kAc2Y);

    // DC bus +: bridge top up to the bus, along to the leakage inductance.
    s.wire({bT, {kBrX, kRailP}, {kLlkX0, kRailP}});
    // primary return: bridge bottom down to the return, along to the switch source.
    s.wire({bB, {kBrX, kRailN}, {kQLeadX, kRailN}});
    s.groundPri(kPriGndX, kRailN);
    s.dot(kPriGndX, kRailN);

    // Input capacitor across the bus.
    s.wire({{kCinX, kRailP}, {kCinX, kCinPlate}});
    s.wire({{kCinX, kCinPlate + 7}, {kCinX, kRailN}});
    s.capV(kCinX, kCinPlate, true, true);
    s.dot(kCinX, kRailP);
    s.dot(kCinX, kRailN);

    // RCD clamp: R and C in parallel from the bus to the clamp node, diode from the drain.
    s.wire({{kClampRX, kRailP}, {kClampRX, kClampY}, {kClampDX, kClampY}, {kClampDX, kDrainY}});
    s.resistorV(kClampRX, 66, 92);
    s.wire({{kClampCX, kRailP}, {kClampCX, 76}});
    s.wire({{kClampCX, 82}, {kClampCX, kClampY}});
    s.capV(kClampCX, 76, false);
    s.dot(kClampRX, kRailP);
    s.dot(kClampCX, kRailP);
    s.dot(kClampCX, kClampY);
    s.diode({kClampDX, kClampDY}, 0, -1);
    s.dot(kClampDX, kDrainY);
    s.tag(kClampRX - 26, 84, "R1");
    s.tag(kClampDX - 24, kClampDY + 4, "D1");

    // Leakage inductance in series with the primary.
    s.coilH(kLlkX0, kLlkX1, kRailP, 4);
    s.wire({{kLlkX1, kRailP}, {kPriX, kRailP}, {kPriX, kPriY0}});

    // Transformer: primary and auxiliary on the left, secondary on the right.
    s.coilV(kPriX, kPriY0, kPriY1, 8, true);
    s.coilV(kSecX, kSecY0, kSecY1, 5, false);
    s.coilV(kPriX, kAuxY0, kAuxY1, 4, true);
    p.setPen(s.pen(2.0));
    p.drawLine(QPointF(kCoreX1, kCoreTop), QPointF(kCoreX1, kCoreBot));
    p.drawLine(QPointF(kCoreX2, kCoreTop), QPointF(kCoreX2, kCoreBot));
    s.dot(kPriX - 12, kPriY0 + 4);  // primary start
    s.dot(kSecX + 13, kSecY1 - 4);  // secondary start
    s.dot(kPriX - 12, kAuxY1 - 4);  // auxiliary start

    // Drain node: primary end down and across to the switch.
    s.wire({{kPriX, kPriY1}, {kPriX, kDrainY}, {kQLeadX, kDrainY}, {kQLeadX, kQY - 12}, {kChanX, kQY - 12}});

    // N-channel MOSFET with its body diode.
    p.setPen(s.pen(2.2));
    p.drawLine(QPointF(kGateX, kQY - 14), QPointF(kGateX, kQY + 14));
    for (double c : {kQY - 12.0, kQY, kQY + 12.0})
        p.drawLine(QPointF(kChanX, c - 5), QPointF(kChanX, c + 5));
    s.wire({{kChanX, kQY + 12}, {kQLeadX, kQY + 12}});
    s.wire({{kChanX + 7, kQY}, {kQLeadX, kQY}, {kQLeadX, kRailN}});
    p.setPen(s.pen(1.2));
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF() << QPointF(kChanX + 1.5, kQY) << QPointF(kChanX + 9, kQY - 4)
                              << QPointF(kChanX + 9, kQY + 4));
    p.setBrush(Qt::NoBrush);
    s.wire({{kQLeadX, kQY - 18}, {kQBodyDX, kQY - 18}, {kQBodyDX, kQY + 20}, {kQLeadX, kQY + 20}});
    s.diode({kQBodyDX, kQY + 1}, 0, -1, 10, 6);
    s.dot(kQLeadX, kQY - 18);
    s.dot(kQLeadX, kQY + 20);
    s.tag(kQBodyDX + 8, kQY + 4, "Q1");

    // PWM controller: output pulses to the gate, ground to the return.
    s.wire({{kIcX1, kQY}, {kGateX, kQY}});
    s.wire({{(kIcX0 + kIcX1) / 2, kIcY1}, {(kIcX0 + kIcX1) / 2, kRailN}});
    s.dot((kIcX0 + kIcX1) / 2, kRailN);
    p.setPen(s.pen(2.0));
    p.setBrush(s.bg);
    p.drawRect(QRectF(kIcX0, kIcY0, kIcX1 - kIcX0, kIcY1 - kIcY0));
    p.setBrush(Qt::NoBrush);
    {
        const double lo = 273, hi = 260;
        QPolygonF w;
        w << QPointF(362, lo) << QPointF(367, lo) << QPointF(367, hi) << QPointF(374, hi) << QPointF(374, lo)
          << QPointF(382, lo) << QPointF(382, hi) << QPointF(389, hi) << QPointF(389, lo) << QPointF(398, lo);
        QPen q(QColor(0, 70, 200), 1.8);
        q.setJoinStyle(Qt::MiterJoin);
        p.setPen(q);
        p.drawPolyline(w);
    }
    s.tagCentred((kIcX0 + kIcX1) / 2, 289.5, "PWM", 9, true);

    // Secondary: diode, output capacitor, output terminals, return.
    s.wire({{kSecX, kSecY0}, {kSecX, kSecD}, {kDoJogX, kSecD}, {kDoJogX, kSecP}, {kOutX - 4.5, kSecP}});
    s.wire({{kSecX, kSecY1}, {kSecX, kSecN}, {kOutX - 4.5, kSecN}});
    s.diode({kDoX, kSecD}, 1, 0);
    s.wire({{kCoutX, kSecP}, {kCoutX, kCoutPlate}});
    s.wire({{kCoutX, kCoutPlate + 7}, {kCoutX, kSecN}});
    s.capV(kCoutX, kCoutPlate, true);
    s.dot(kCoutX, kSecP);
    s.dot(kCoutX, kSecN);
    s.groundSec(kSecGndX, kSecN);
    s.dot(kSecGndX, kSecN);
    s.terminal(kOutX, kSecP);
    s.terminal(kOutX, kSecN);

    // Auxiliary winding: diode to the Vf terminal, start to ground.
    s.wire({{kPriX, kAuxY0}, {kVfX + 4.5, kAuxY}});
    s.diode({kDfX, kAuxY}, -1, 0);
    s.wire({{kPriX, kAuxY1}, {kPriX, kAuxY1 + 14}});
    s.groundPri(kPriX, kAuxY1 + 14);
    s.terminal(kVfX, kAuxY);
}

// ---- Overlay: regions, labels and sample annotations -------------------------
struct Region { int x1, y1, x2, y2; const char* label; };
const Region kRegions[] = {
    {10, 66, 46, 86, "AC"},        {13, 103, 30, 122, "η"},    {235, 166, 265, 186, "Cin"},
    {358, 252, 400, 276, nullptr}, {424, 307, 460, 324, "Qsw"}, {560, 14, 590, 32, "Llk"},
    {668, 17, 783, 34, "Transformer"}, {805, 16, 832, 35, "Do"}, {940, 60, 981, 79, "Cout"},
    {1003, 96, 1043, 120, "Out"},  {605, 314, 629, 332, "Df"},  {534, 315, 560, 333, "Vf"},
};

struct Note { int x, y; const char* text; QRgb colour; };
constexpr QRgb kBlack = 0x000000, kPurple = 0x890B9B, kMagenta = 0xFF00FF, kGreen = 0x00FF00,
               kOrange = 0xFF8040, kGrey = 0x808080;
// Long sample values, so the boxes are near their widest.
const Note kNotes[] = {
    {12, 130, "AC:85.5-265.5V", kBlack},     {12, 150, "频率:50Hz", kBlack},
    {12, 170, "效率:70%", kBlack},           {292, 143, "纹波:38.12345%", kBlack},
    {292, 123, "最低整流电压:93.45678V", kBlack}, {292, 235, "开关频率:70KHz", kBlack},
    {379, 330, "开关管耐压:600V", kBlack},   {538, 51, "漏感:5%", kBlack},
    {538, 71, "漏感尖峰:105V", kBlack},      {521, 253, "6.123457V", kBlack},
    {603, 253, "0.6V", kBlack},              {869, 47, "0.8V", kBlack},
    {1000, 80, "50mV", kBlack},              {727, 268, "CCM模式", kBlack},
    {727, 288, "磁芯:未知型号", kBlack},     {727, 308, "Ae:17mm2", kBlack},
    {727, 328, "Le:35mm", kBlack},           {727, 348, "峰值磁密:2500GS", kBlack},
    {727, 368, "饱和磁密:3000GS", kBlack},   {727, 388, "纹波率:0.5", kBlack},
    {727, 408, "电流密度:400cmil/A", kBlack}, {292, 255, "Dmax:0.4", kPurple},
    {292, 275, "Tdie:20%", kGrey},           {379, 350, "耐压裕量:124.5678V", kPurple},
    {538, 211, "折射电压:75V", kPurple},     {350, 61, "12.345KΩ", kMagenta},
    {350, 81, "4.7123nF", kMagenta},         {292, 163, "电容:123.4567μF", kMagenta},
    {538, 91, "电流峰值:1.234567A", kMagenta}, {538, 111, "电流有效值:0.6543210A", kMagenta},
    {269, 26, "输入电流平均值:0.12345A", kMagenta}, {538, 131, "初级电感量:1234.567μH", kMagenta},
    {538, 151, "初级匝数:85.12345Ts", kMagenta}, {538, 171, "初级线径φ:0.2345678mm", kMagenta},
    {750, 71, "电流峰值:12.34567A", kMagenta}, {750, 91, "电流有效值:6.543210A", kMagenta},
    {750, 111, "次级电感量:12.34567μH", kMagenta}, {750, 131, "次级匝数:4.123457Ts", kMagenta},
    {750, 151, "次级线径φ:0.8765432mm", kMagenta}, {615, 350, "12.34567Ts", kMagenta},
    {615, 370, "φ:Unknown", kMagenta},       {945, 131, "6.25V", kMagenta},
    {945, 151, "估计:1234.56μF", kMagenta},  {868, 22, "耐压>:31.25V", kMagenta},
    {955, 22, "电流>:3.500A", kMagenta},     {1000, 55, "12.5V", kMagenta},
    {1000, 68, "1.5A", kMagenta},            {379, 370, "电流推荐值:3A", kMagenta},
    {538, 191, "气隙:0.1234567mm", kMagenta}, {12, 5, "Coordinate:1043,507", kGreen},
    {21, 396, "Auto processing......", kOrange}, {21, 416, "Initialize complete!", kGreen},
    {21, 436, "Korvane for SMPS Design!", kGreen},
};

struct OverlayFonts {
    int notePx = 13;                                // 10-point display font
    QString noteFace = QStringLiteral("Noto Sans CJK SC");
};

// Text with its top-left at (x,y) as the window draws it: baseline at the ascent.
void cellText(QPainter& p, const QFont& f, int x, int y, const QString& t, QColor c, bool box) {
    const QFontMetricsF fm(f);
    if (box) {
        p.setPen(QPen(QColor(c.red(), c.green(), c.blue(), 90), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(x + 0.5, y + 0.5, fm.horizontalAdvance(t), fm.height()));
    }
    p.setFont(f);
    p.setPen(c);
    p.drawText(QPointF(x, y + fm.ascent()), t);
}

void drawOverlay(QPainter& p, const OverlayFonts& o) {
    QFont note(o.noteFace);
    note.setPixelSize(o.notePx);
    QFont status(QStringLiteral("Noto Sans CJK SC"));
    status.setPixelSize(12);
    for (const Note& n : kNotes) {
        const bool st = n.colour == kGreen || n.colour == kOrange;
        cellText(p, st ? status : note, n.x, n.y, QString::fromUtf8(n.text), QColor(n.colour), true);
    }
    QFont lab(QStringLiteral("Noto Sans CJK SC"));
    lab.setPixelSize(21);                           // 16 points
    for (const Region& r : kRegions) {
        p.setPen(QPen(QColor(255, 0, 0, 110), 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(r.x1 + 0.5, r.y1 + 0.5, r.x2 - r.x1, r.y2 - r.y1));
        if (r.label) cellText(p, lab, r.x1, r.y1, QString::fromUtf8(r.label), QColor(255, 0, 0), false);
    }
    // progress bar
    p.setPen(QPen(QColor(0, 120, 0), 1));
    p.setBrush(QColor(200, 230, 200));
    p.drawRect(QRectF(160.5, 396.5, 220, 16));
    p.setBrush(Qt::NoBrush);
}

bool render(const QString& path, QColor bg, const OverlayFonts* overlay) {
    QImage img(kW, kH, QImage::Format_RGB32);
    img.fill(bg);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    Sheet s{p, bg};
    drawSchematic(s);
    if (overlay) drawOverlay(p, *overlay);
    p.end();
    return img.convertToFormat(QImage::Format_RGB888).save(path, "PNG");
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QString dir = QStringLiteral(".");
    bool overlay = false;
    OverlayFonts fonts;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == QLatin1String("--overlay")) {
            overlay = true;
        } else if (a.startsWith(QLatin1String("--overlay="))) { // --overlay=PX[:FACE]
            overlay = true;
            const QStringList parts = a.mid(10).split(QLatin1Char(':'));
            fonts.notePx = parts[0].toInt();
            if (parts.size() > 1) fonts.noteFace = parts[1];
        } else {
            dir = a;
        }
    }
    const QColor offWhite(252, 250, 242), cyan(96, 226, 236);
    bool ok = render(dir + "/flyback-schematic.png", offWhite, nullptr) &&
              render(dir + "/flyback-schematic-cyan.png", cyan, nullptr);
    if (ok && overlay)
        ok = render(dir + "/flyback-schematic-overlay.png", offWhite, &fonts) &&
             render(dir + "/flyback-schematic-cyan-overlay.png", cyan, &fonts);
    std::printf("%s %s\n", ok ? "written to" : "failed writing to", qPrintable(dir));
    return ok ? 0 : 1;
}
