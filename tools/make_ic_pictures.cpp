// Draws the pictures of the controller-specific designers: the pin-out of the
// single-stage PFC controller and the MT7930 application circuit.
// Run once; the pictures are kept under resources/bitmaps.
// usage: make-ic-pictures OUTDIR
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

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

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make-ic-pictures OUTDIR\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    pinOut(dir + "/single-pfc-pins.png");
    return 0;
}
