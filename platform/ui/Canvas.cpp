#include "platform/ui/Canvas.h"

namespace kv::ui {

void RecordingCanvas::setPen(Color c, int width) { ops.push_back({DrawOp::Pen, {}, width, 0, 0, 0, {}, c}); }
void RecordingCanvas::line(int x1, int y1, int x2, int y2) {
    ops.push_back({DrawOp::Line, {}, x1, y1, x2, y2, {}, {}});
}
void RecordingCanvas::setFont(std::string_view face, int tenths) {
    ops.push_back({DrawOp::Font, std::string(face), tenths, 0, 0, 0, {}, {}});
}
void RecordingCanvas::setTextColor(Color c) { ops.push_back({DrawOp::TextColor, {}, 0, 0, 0, 0, {}, c}); }
void RecordingCanvas::setTransparent(bool on) { ops.push_back({DrawOp::Transparent, {}, on, 0, 0, 0, {}, {}}); }
void RecordingCanvas::text(int x, int y, std::string_view s) {
    ops.push_back({DrawOp::Text, std::string(s), x, y, 0, 0, {}, {}});
}
void RecordingCanvas::stretchBitmap(int id, const Rect& dst, const Rect& src) {
    ops.push_back({DrawOp::Bitmap, std::to_string(id), dst.left, dst.top, dst.right, dst.bottom, src, {}});
}
void RecordingCanvas::fill(const Rect& r, Color c) {
    ops.push_back({DrawOp::Fill, {}, r.left, r.top, r.right, r.bottom, {}, c});
}
void RecordingCanvas::icon(int id, int x, int y) { ops.push_back({DrawOp::IconOp, std::to_string(id), x, y, 0, 0, {}, {}}); }

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

} // namespace kv::ui
