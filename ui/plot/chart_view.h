#pragma once
// A widget that paints a chart with the renderer and tells what lies under
// the mouse: the isotherm and sweep windows show their charts in it.

#include <QWidget>
#include <functional>

#include "chart/chart.h"

namespace zolvant::ui {

class ChartView : public QWidget {
    Q_OBJECT
public:
    explicit ChartView(QWidget* parent = nullptr);
    void setChart(plot::Chart chart);
    const plot::Chart& chart() const { return chart_; }

    // The read-out of the series point nearest the mouse.
    using HoverFormat = std::function<QString(const QString& series, plot::DataPoint point)>;
    void setHoverFormat(HoverFormat format) { format_ = std::move(format); }
    // The read-out near a curve at `pixel`; "" elsewhere or without a format.
    QString hoverText(QPointF pixel) const;

signals:
    void hovered(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    plot::Chart chart_;
    HoverFormat format_;
};

}  // namespace zolvant::ui
