#include "platform/plot/qt/PlotWidget.h"

#include <QChart>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QScatterSeries>
#include <QTimer>
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

// A run of many more points than the plot is wide keeps, per pixel column, its
// lowest and highest point in their order: the drawn line looks the same.
QList<QPointF> thin(const QList<QPointF>& run, bool logX, int columns) {
    if (run.size() <= 4 * columns) return run;
    auto at = [&](qreal x) { return logX ? std::log10(x) : x; };
    const double x0 = at(run.front().x()), x1 = at(run.back().x());
    for (qsizetype i = 1; i < run.size(); ++i)
        if (run[i].x() < run[i - 1].x()) return run; // not in x order: leave it
    if (!(x1 > x0)) return run;
    QList<QPointF> out;
    out.reserve(4 * columns + 2);
    out.append(run.front());
    qsizetype i = 1;
    const qsizetype last = run.size() - 1;
    while (i < last) {
        const int col = int((at(run[i].x()) - x0) / (x1 - x0) * columns);
        qsizetype lo = i, hi = i, j = i;
        while (j < last && int((at(run[j].x()) - x0) / (x1 - x0) * columns) == col) {
            if (run[j].y() < run[lo].y()) lo = j;
            if (run[j].y() > run[hi].y()) hi = j;
            ++j;
        }
        out.append(run[std::min(lo, hi)]);
        if (lo != hi) out.append(run[std::max(lo, hi)]);
        i = j;
    }
    out.append(run.back());
    return out;
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

void PlotWidget::show(std::shared_ptr<const Plot> p) {
    model_ = p;
    if (!p || p->revision() == shown_ || pending_) return;
    pending_ = true;
    update();
    QTimer::singleShot(0, this, [this] { sync(); });
}

void PlotWidget::sync() {
    pending_ = false;
    std::shared_ptr<const Plot> model = model_.lock();
    if (!model || model->revision() == shown_) return;
    const Plot& p = *model;
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
            q->replace(s.points ? run : thin(run, p.x.log, std::max(64, width())));
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
