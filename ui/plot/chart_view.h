#pragma once
// A widget that paints a chart with the renderer and tells what lies under
// the mouse: the isotherm and sweep windows show their charts in it.

#include <QWidget>
#include <functional>

#include "ui/plot/chart.h"

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

// Asks where to save `chart` (PNG or SVG; a name without either ending gets
// ".png"), starting at `folder` with the name `suggested`, writes it whole
// at `size` times `scale`, and says why in a message box when it cannot.
// Returns the folder of the file written, or "" when nothing was written.
QString saveChartAs(QWidget* parent, const plot::Chart& chart, QSize size, double scale, const QString& folder,
                    const QString& suggested);

}  // namespace zolvant::ui
