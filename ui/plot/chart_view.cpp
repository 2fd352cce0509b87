#include "ui/plot/chart_view.h"

#include <QMouseEvent>
#include <QPainter>

#include "chart/plot_geometry.h"

namespace zolvant::ui {

ChartView::ChartView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setMinimumSize(480, 320);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ChartView::setChart(plot::Chart chart) {
    chart_ = std::move(chart);
    update();
}

void ChartView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    plot::renderChart(p, chart_, QSizeF(size()));
}

QString ChartView::hoverText(QPointF pixel) const {
    if (!format_) return {};
    const plot::ChartLayout l = plot::layoutChart(chart_, QSizeF(size()));
    const auto near = plot::nearestPoint(chart_, l, pixel, 8.0);
    if (!near) return {};
    return format_(chart_.series[static_cast<std::size_t>(near->series)].name, near->point);
}

void ChartView::mouseMoveEvent(QMouseEvent* event) { emit hovered(hoverText(event->position())); }

void ChartView::leaveEvent(QEvent*) { emit hovered(QString()); }

}  // namespace zolvant::ui
