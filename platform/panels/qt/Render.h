// Pictures of panels and printed documents.
#pragma once

#include "platform/panels/Panels.h"

#include <QImage>
#include <QPagedPaintDevice>

namespace kv::panels {

// The panel as its window shows it (built offscreen when it has none).
QImage renderPanel(Panel& p);

// Lays a document out on the pages of a printer or PDF writer: a title line
// with the date, then headings, wrapped paragraphs, ruled tables and graphs,
// each moved to a new page when it does not fit on the current one.
// Returns false when the device cannot be painted on.
bool printDocument(QPagedPaintDevice& device, const Document& doc);

} // namespace kv::panels
