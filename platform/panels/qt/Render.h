// Pictures and printed pages of panels.
#pragma once

#include "platform/panels/Panels.h"

#include <QImage>
#include <QPagedPaintDevice>

class QPainter;

namespace kv::panels {

// The panel as its window shows it (built offscreen when it has none).
QImage renderPanel(Panel& p);

// Lays panels out on pages of one document: each print goes below the one
// before, on a new page when it does not fit; a job that ejects ends the page.
class PagePrinter {
public:
    explicit PagePrinter(QPagedPaintDevice& device);
    ~PagePrinter();
    bool begin();
    void add(Panel& p, const PrintJob& job);
    bool end();
    bool active() const { return painter_ != nullptr; }

private:
    QPagedPaintDevice& device_;
    QPainter* painter_ = nullptr;
    double y_ = 0;
};

} // namespace kv::panels
