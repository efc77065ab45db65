#include "platform/plot/qt/PlotWidget.h"

#include <QApplication>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QScatterSeries>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(PlotWidget, GapsSplitLinesAndMarkersDraw) {
    int argc = 1;
    char name[] = "plot_widget_test";
    char* argv[] = {name};
    QApplication app(argc, argv);
    kv::plot::Plot p;
    p.x.log = true;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double x[] = {0.1, 1, 10, 100, 1000};
    const double y[] = {1, 2, nan, 4, 5};
    p.addXY(x, y, 5, 0xFF0000, 1, "gain");
    auto& m = p.marker(1);
    m.x = 1;
    m.y = 2;
    kv::plot::PlotWidget w;
    w.resize(300, 200);
    w.show(p);
    int lines = 0, dots = 0;
    for (auto* s : w.chart()->series()) {
        if (s->type() == QAbstractSeries::SeriesTypeLine) ++lines;
        if (s->type() == QAbstractSeries::SeriesTypeScatter) ++dots;
    }
    EXPECT_EQ(lines, 3); // two runs around the gap and the cursor line
    EXPECT_EQ(dots, 1);
    EXPECT_NE(qobject_cast<QLogValueAxis*>(w.chart()->axes(Qt::Horizontal).value(0)), nullptr);
    const QImage img = w.grab().toImage();
    EXPECT_EQ(img.width(), 300);
    // An unchanged model is not rebuilt.
    auto* first = w.chart()->series().value(0);
    w.show(p);
    EXPECT_EQ(w.chart()->series().value(0), first);
}
