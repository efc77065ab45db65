#include "platform/ui/Canvas.h"

namespace kv::ui {

bool clipSegment(double& x1, double& y1, double& x2, double& y2, const Bounds& b) {
    // Liang-Barsky: the part of the segment for t in [t0, t1] lies inside.
    const double dx = x2 - x1, dy = y2 - y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - b.left, b.right - x1, y1 - b.top, b.bottom - y1};
    double t0 = 0, t1 = 1;
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0) return false;
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    if (!(t0 <= t1)) return false;
    const double ax = x1 + t0 * dx, ay = y1 + t0 * dy;
    x2 = x1 + t1 * dx;
    y2 = y1 + t1 * dy;
    x1 = ax;
    y1 = ay;
    return true;
}

void Canvas::polyline(std::span<const Point> points) {
    for (std::size_t i = 1; i < points.size(); ++i)
        line(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
}

namespace {
DrawOp op(DrawOp::Kind kind, int a = 0, int b = 0, int c = 0, int d = 0) {
    DrawOp o{};
    o.kind = kind;
    o.a = a, o.b = b, o.c = c, o.d = d;
    return o;
}
} // namespace

void RecordingCanvas::setPen(Color c, int width, PenStyle style) {
    DrawOp o = op(DrawOp::Pen, width, int(style));
    o.color = c;
    ops.push_back(o);
}
void RecordingCanvas::line(int x1, int y1, int x2, int y2) { ops.push_back(op(DrawOp::Line, x1, y1, x2, y2)); }
void RecordingCanvas::polyline(std::span<const Point> points) {
    DrawOp o = op(DrawOp::Polyline);
    o.points.assign(points.begin(), points.end());
    ops.push_back(std::move(o));
}
void RecordingCanvas::setClip(const Rect* r) {
    DrawOp o = r ? op(DrawOp::Clip, r->left, r->top, r->right, r->bottom) : op(DrawOp::Clip);
    o.on = r != nullptr;
    ops.push_back(o);
}
void RecordingCanvas::setFont(std::string_view face, int tenths) {
    DrawOp o = op(DrawOp::Font, tenths);
    o.text = std::string(face);
    ops.push_back(o);
}
void RecordingCanvas::setTextColor(Color c) {
    DrawOp o = op(DrawOp::TextColor);
    o.color = c;
    ops.push_back(o);
}
void RecordingCanvas::setTransparent(bool on) { ops.push_back(op(DrawOp::Transparent, on)); }
void RecordingCanvas::text(int x, int y, std::string_view s) {
    DrawOp o = op(DrawOp::Text, x, y);
    o.text = std::string(s);
    ops.push_back(o);
}
void RecordingCanvas::stretchBitmap(int id, const Rect& dst, const Rect& src) {
    DrawOp o = op(DrawOp::Bitmap, dst.left, dst.top, dst.right, dst.bottom);
    o.text = std::to_string(id);
    o.src = src;
    ops.push_back(o);
}
void RecordingCanvas::fill(const Rect& r, Color c) {
    DrawOp o = op(DrawOp::Fill, r.left, r.top, r.right, r.bottom);
    o.color = c;
    ops.push_back(o);
}
void RecordingCanvas::icon(int id, int x, int y) {
    DrawOp o = op(DrawOp::IconOp, x, y);
    o.text = std::to_string(id);
    ops.push_back(o);
}

std::vector<DrawnText> RecordingCanvas::texts() const {
    std::vector<DrawnText> out;
    std::string face;
    int tenths = 0;
    Color color;
    for (const auto& op : ops) {
        if (op.kind == DrawOp::Font) {
            face = op.text;
            tenths = op.a;
        } else if (op.kind == DrawOp::TextColor) {
            color = op.color;
        } else if (op.kind == DrawOp::Text) {
            out.push_back({op.text, op.a, op.b, face, tenths / 10, color});
        }
    }
    return out;
}

std::vector<RecordingCanvas::DrawnLine> RecordingCanvas::lines() const {
    std::vector<DrawnLine> out;
    int width = 1;
    Color color;
    for (const auto& op : ops) {
        if (op.kind == DrawOp::Pen) {
            width = op.a;
            color = op.color;
        } else if (op.kind == DrawOp::Line) {
            out.push_back({op.a, op.b, op.c, op.d, width, color});
        }
    }
    return out;
}

std::vector<RecordingCanvas::DrawnPolyline> RecordingCanvas::polylines() const {
    std::vector<DrawnPolyline> out;
    int width = 1;
    PenStyle style = PenStyle::Solid;
    Color color;
    std::optional<Rect> clip;
    for (const auto& op : ops) {
        if (op.kind == DrawOp::Pen) {
            width = op.a;
            style = PenStyle(op.b);
            color = op.color;
        } else if (op.kind == DrawOp::Clip) {
            clip = op.on ? std::optional<Rect>(Rect{op.a, op.b, op.c, op.d}) : std::nullopt;
        } else if (op.kind == DrawOp::Polyline) {
            out.push_back({op.points, width, style, color, clip});
        }
    }
    return out;
}

} // namespace kv::ui
