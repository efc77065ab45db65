// Qt Charts view of a plot model.
#pragma once

#include "platform/plot/Plot.h"

#include <QChartView>

#include <memory>

namespace kv::plot {

class PlotWidget : public QChartView {
public:
    explicit PlotWidget(QWidget* parent = nullptr);
    // Shows the model: the chart is rebuilt once when the event loop runs next,
    // however often the model changes in between.
    void show(std::shared_ptr<const Plot> p);
    // Rebuilds the chart now when the model changed since it was last drawn.
    void sync();

private:
    std::weak_ptr<const Plot> model_;
    std::uint64_t shown_ = 0;
    bool pending_ = false;
};

} // namespace kv::plot
