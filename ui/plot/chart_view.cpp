#include "ui/plot/chart_view.h"

#include <QMouseEvent>
#include <QDir>
#include <QFileInfo>
#include <QPainter>

#include "ui/common/services.h"
#include "ui/plot/chart_export.h"

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

QString saveChartAs(QWidget* parent, const plot::Chart& chart, QSize size, double scale, const QString& folder,
                    const QString& suggested) {
    QString path = services().saveFileName(parent, QDir(folder).filePath(suggested),
                                           QStringLiteral("PNG image (*.png);;SVG image (*.svg)"));
    if (path.isEmpty()) return {};
    if (!path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive) && !path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        path += QStringLiteral(".png");
    if (const QString why = plot::writeChartFile(chart, path, size, scale); !why.isEmpty()) {
        services().message(parent, QStringLiteral("The image could not be saved to %1\n%2").arg(QDir::toNativeSeparators(path), why),
                           QStringLiteral("Save ERROR"));
        return {};
    }
    return QFileInfo(path).absolutePath();
}

}  // namespace zolvant::ui
