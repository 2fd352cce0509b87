#pragma once
// A chart as plain data (series of (x, y) with gaps, markers, horizontal
// lines, a legend, notes) and its renderer: QPainter onto any paint device
// (a widget, a QImage, a QSvgGenerator, a printer). No chart library: the
// axes, legend and export are ours, and the isotherm and sweep windows
// share them.

#include <QColor>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "chart/plot_geometry.h"

class QPainter;

namespace zolvant::plot {

struct ChartAxis {
    QString title;
    Scale scale = Scale::Linear;
    double low = 0.0, high = 1.0;
};

enum class Dash { Solid, Dashed, Dotted, DashDot, DashDotDot, LongDash, ShortDash };

struct LineStyle {
    QColor colour = Qt::black;
    Dash dash = Dash::Solid;
    double width = 1.6;  // at 1×
};

enum class MarkerShape { Circle, Square, Diamond, Ring };

struct Series {
    QString name;
    LineStyle style;
    std::vector<DataPoint> points;  // a non-finite y is a gap
    bool inLegend = true;
};

struct Marker {
    double x = 0.0, y = 0.0;
    MarkerShape shape = MarkerShape::Circle;
    QColor fill = Qt::black;
    double size = 9.0;  // width at 1×
};

struct HorizontalLine {
    double y = 0.0;
    LineStyle style;
    QString label;  // drawn at the right end, above the line
};

// A legend entry shows a line sample, a marker, or both.
struct LegendEntry {
    QString text;
    std::optional<LineStyle> line;
    std::optional<Marker> marker;
};

struct Chart {
    QString title;
    ChartAxis x, y;
    std::vector<Series> series;                // drawn first, in order
    std::vector<HorizontalLine> lines;         // over the series
    std::vector<Marker> markers;               // on top of everything, in order
    std::vector<LegendEntry> legend;           // beside the plot
    std::vector<QString> notes;                // below the legend, wrapped
    QString emptyText;                         // shown alone when there is nothing to plot
};

// Where things go in a picture of `size` logical pixels.
struct ChartLayout {
    QRectF plot;    // the plotting area (clip rectangle)
    QRectF legend;  // legend and notes
    AxisMap x, y;
};
ChartLayout layoutChart(const Chart& chart, QSizeF size);

// Draws the chart filling `size` (the painter's logical pixels from 0,0).
void renderChart(QPainter& painter, const Chart& chart, QSizeF size);

// The series point nearest to `pixel` within `radius` pixels (of the
// series in the legend: the curves, not the lines drawn over them).
struct NearestPoint {
    int series = -1;
    DataPoint point;
};
std::optional<NearestPoint> nearestPoint(const Chart& chart, const ChartLayout& layout, QPointF pixel,
                                         double radius);

}  // namespace zolvant::plot
