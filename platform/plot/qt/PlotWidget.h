// Qt Charts view of a plot model.
#pragma once

#include "platform/plot/Plot.h"

#include <QChartView>

namespace kv::plot {

class PlotWidget : public QChartView {
public:
    explicit PlotWidget(QWidget* parent = nullptr);
    // Redraws from the model when it changed since the last call.
    void show(const Plot& p);

private:
    std::uint64_t shown_ = 0;
};

} // namespace kv::plot
