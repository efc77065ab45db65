#include "platform/plot/qt/PlotWidget.h"

#include <QChart>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QScatterSeries>
#include <QValueAxis>

#include <cmath>

namespace kv::plot {

namespace {

QColor qc(Rgb c) { return QColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF); }

QAbstractAxis* makeAxis(const Axis& a, std::pair<double, double> r, Rgb grid, bool gridOn) {
    QAbstractAxis* axis;
    if (a.log) {
        auto* l = new QLogValueAxis;
        l->setBase(10);
        l->setLabelFormat("%g");
        l->setMinorTickCount(8);
        l->setRange(r.first, r.second);
        l->setMinorGridLineColor(qc(grid).lighter(115));
        axis = l;
    } else {
        auto* v = new QValueAxis;
        v->setRange(r.first, r.second);
        v->setLabelFormat("%g");
        v->applyNiceNumbers();
        axis = v;
    }
    axis->setTitleText(QString::fromStdString(a.title));
    axis->setGridLineColor(qc(grid));
    axis->setGridLineVisible(gridOn);
    QFont f = axis->labelsFont();
    f.setPointSize(8);
    axis->setLabelsFont(f);
    axis->setTitleFont(f);
    return axis;
}

Qt::PenStyle penStyle(LineStyle s) {
    switch (s) {
    case LineStyle::Dash: return Qt::DashLine;
    case LineStyle::Dot: return Qt::DotLine;
    case LineStyle::Solid: break;
    }
    return Qt::SolidLine;
}

} // namespace

PlotWidget::PlotWidget(QWidget* parent) : QChartView(parent) {
    setRenderHint(QPainter::Antialiasing, false);
    chart()->setMargins(QMargins(2, 2, 2, 2));
    chart()->setBackgroundRoundness(0);
    chart()->legend()->setVisible(false);
}

void PlotWidget::show(const Plot& p) {
    if (p.revision() == shown_) return;
    shown_ = p.revision();
    QChart* c = chart();
    c->removeAllSeries();
    for (QAbstractAxis* a : c->axes()) {
        c->removeAxis(a);
        delete a;
    }
    c->setTitle(QString::fromStdString(p.title));
    c->setBackgroundBrush(qc(p.background));
    c->setPlotAreaBackgroundVisible(false);
    QAbstractAxis* ax = makeAxis(p.x, p.xRange(), p.gridColor, p.grid);
    QAbstractAxis* ay = makeAxis(p.y, p.yRange(), p.gridColor, p.grid);
    c->addAxis(ax, Qt::AlignBottom);
    c->addAxis(ay, Qt::AlignLeft);
    bool named = false;
    for (const Series& s : p.series()) named = named || !s.name.empty();
    c->legend()->setVisible(p.legend && named);

    auto attach = [&](QXYSeries* s) {
        c->addSeries(s);
        s->attachAxis(ax);
        s->attachAxis(ay);
    };
    for (const Series& s : p.series()) {
        QPen pen(qc(s.color));
        pen.setWidth(s.width);
        pen.setStyle(penStyle(s.line));
        // Each run of drawable points is one Qt series: gaps stay gaps.
        QList<QPointF> run;
        bool named = false;
        auto flush = [&] {
            if (run.isEmpty()) return;
            QXYSeries* q = s.points ? static_cast<QXYSeries*>(new QScatterSeries)
                                    : static_cast<QXYSeries*>(new QLineSeries);
            q->setPen(pen);
            if (s.points) {
                static_cast<QScatterSeries*>(q)->setMarkerSize(3);
                q->setColor(qc(s.color));
            }
            q->replace(run);
            q->setName(QString::fromStdString(s.name));
            attach(q);
            if (named || s.name.empty())
                for (QLegendMarker* m : c->legend()->markers(q)) m->setVisible(false);
            named = true;
            run.clear();
        };
        run.reserve(qsizetype(s.x.size()));
        for (std::size_t i = 0; i < s.x.size(); ++i) {
            const double x = s.x[i], y = s.y[i];
            const bool ok = std::isfinite(x) && std::isfinite(y) && (!p.x.log || x > 0) &&
                            (!p.y.log || y > 0);
            if (ok) run.append(QPointF(x, y));
            else flush();
        }
        flush();
    }
    const auto yr = p.yRange();
    for (const Marker& m : p.markers()) {
        if (!m.visible || !std::isfinite(m.x)) continue;
        auto* line = new QLineSeries;
        QPen pen(qc(m.color));
        pen.setStyle(Qt::DashLine);
        line->setPen(pen);
        line->append(m.x, yr.first);
        line->append(m.x, yr.second);
        attach(line);
        for (QLegendMarker* lm : c->legend()->markers(line)) lm->setVisible(false);
        if (std::isfinite(m.y)) {
            auto* dot = new QScatterSeries;
            dot->setMarkerSize(7);
            dot->setColor(qc(m.color));
            dot->append(m.x, m.y);
            attach(dot);
            for (QLegendMarker* lm : c->legend()->markers(dot)) lm->setVisible(false);
        }
    }
}

} // namespace kv::plot
