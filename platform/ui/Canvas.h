// Painting surface handed to a dialog's paint handler.
#pragma once

#include "platform/ui/Dialog.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kv::ui {

struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

// A rectangle in pixels with fractional edges, for clipping in double
// before anything becomes a pixel.
struct Bounds {
    double left = 0, top = 0, right = 0, bottom = 0;
};
// Cuts segment (x1,y1)-(x2,y2) to `b`, edges included; false when nothing of
// it is inside (or a coordinate is not a number).
bool clipSegment(double& x1, double& y1, double& x2, double& y2, const Bounds& b);

enum class PenStyle { Solid, Dot };

class Canvas {
public:
    virtual ~Canvas() = default;
    // Pen for lines.
    virtual void setPen(Color c, int width, PenStyle style = PenStyle::Solid) = 0;
    virtual void line(int x1, int y1, int x2, int y2) = 0;
    // Connected lines through the points, with the pen.
    virtual void polyline(std::span<const Point> points);
    // Drawing is confined to `r` (pixels left..right-1, top..bottom-1) until
    // the clip is lifted with nullptr.
    virtual void setClip(const Rect* r) = 0;
    // Font by face name ("" is the dialog font) and size in tenths of a point.
    virtual void setFont(std::string_view face, int tenthsOfPoint) = 0;
    virtual void setTextColor(Color c) = 0;
    virtual void setTransparent(bool on) = 0;
    // Text with its cell's top-left corner at (x, y).
    virtual void text(int x, int y, std::string_view s) = 0;
    virtual void stretchBitmap(int bitmapId, const Rect& dst, const Rect& src) = 0;
    virtual void fill(const Rect& r, Color c) = 0;
    virtual void icon(int iconId, int x, int y) = 0;
};

// What the headless backend and korvane-cli see of a paint.
struct DrawOp {
    enum Kind { Pen, Line, Font, TextColor, Transparent, Text, Bitmap, Fill, IconOp, Polyline, Clip } kind;
    std::string text;   // text, or font face
    int a = 0, b = 0, c = 0, d = 0; // coordinates / widths / sizes; pen: width, style
    Rect src;           // bitmap source
    Color color;
    std::vector<Point> points; // polyline
    bool on = true;     // clip: false when lifted
};

struct DrawnText {
    std::string text;
    int x = 0, y = 0;
    std::string font;
    int size = 0;       // points
    Color color;
};

class RecordingCanvas : public Canvas {
public:
    void setPen(Color c, int width, PenStyle style = PenStyle::Solid) override;
    void line(int x1, int y1, int x2, int y2) override;
    void polyline(std::span<const Point> points) override;
    void setClip(const Rect* r) override;
    void setFont(std::string_view face, int tenthsOfPoint) override;
    void setTextColor(Color c) override;
    void setTransparent(bool on) override;
    void text(int x, int y, std::string_view s) override;
    void stretchBitmap(int bitmapId, const Rect& dst, const Rect& src) override;
    void fill(const Rect& r, Color c) override;
    void icon(int iconId, int x, int y) override;

    std::vector<DrawOp> ops;
    std::vector<DrawnText> texts() const;
    // Lines drawn, with the pen in force: {x1,y1,x2,y2,width,color}.
    struct DrawnLine { int x1, y1, x2, y2, width; Color color; };
    std::vector<DrawnLine> lines() const;
    // Polylines drawn, with the pen and the clip in force.
    struct DrawnPolyline {
        std::vector<Point> points;
        int width;
        PenStyle style;
        Color color;
        std::optional<Rect> clip;
    };
    std::vector<DrawnPolyline> polylines() const;
};

} // namespace kv::ui
