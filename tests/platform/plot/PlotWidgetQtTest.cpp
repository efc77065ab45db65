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
    auto model = std::make_shared<kv::plot::Plot>();
    kv::plot::Plot& p = *model;
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
    w.show(model);
    EXPECT_TRUE(w.chart()->series().isEmpty()); // drawn before the next paint
    w.sync();
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
    w.show(model);
    w.sync();
    EXPECT_EQ(w.chart()->series().value(0), first);
}

TEST(PlotWidget, LongSeriesKeepTheirEnvelope) {
    int argc = 1;
    char name[] = "plot_widget_test";
    char* argv[] = {name};
    QApplication app(argc, argv);
    auto model = std::make_shared<kv::plot::Plot>();
    std::vector<double> y(20000);
    for (std::size_t i = 0; i < y.size(); ++i) y[i] = std::sin(i * 0.01) + (i == 12345 ? 5 : 0);
    model->addY(y.data(), y.size(), 0xFF0000);
    kv::plot::PlotWidget w;
    w.resize(200, 100);
    w.show(model);
    w.sync();
    auto* line = qobject_cast<QLineSeries*>(w.chart()->series().value(0));
    ASSERT_NE(line, nullptr);
    const auto pts = line->points();
    EXPECT_LT(pts.size(), 2000);
    EXPECT_EQ(pts.front(), QPointF(0, y[0]));
    EXPECT_EQ(pts.back(), QPointF(19999, y[19999]));
    double top = -1e9;
    for (const QPointF& q : pts) top = std::max(top, q.y());
    EXPECT_EQ(top, y[12345]); // a single spike survives
    // The model keeps every point.
    EXPECT_EQ(model->series()[0].y.size(), 20000u);
}
