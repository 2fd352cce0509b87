#include "chart/chart.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <cmath>

namespace zolvant::plot {
namespace {

constexpr double kMarginLeft = 70, kMarginBottom = 50, kGap = 14, kLegendSample = 34;

QFont chartFont(double pixelSize, bool bold = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(static_cast<int>(pixelSize));
    f.setBold(bold);
    return f;
}

QPen penOf(const LineStyle& s) {
    QPen pen(s.colour, s.width, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
    // Patterns in units of the pen's width; each stays distinct in grey print.
    switch (s.dash) {
    case Dash::Solid: break;
    case Dash::Dashed: pen.setDashPattern({6, 3}); break;
    case Dash::Dotted: pen.setDashPattern({1, 2.5}); pen.setCapStyle(Qt::RoundCap); break;
    case Dash::DashDot: pen.setDashPattern({7, 2.5, 1, 2.5}); break;
    case Dash::DashDotDot: pen.setDashPattern({7, 2.5, 1, 2.5, 1, 2.5}); break;
    case Dash::LongDash: pen.setDashPattern({14, 4}); break;
    case Dash::ShortDash: pen.setDashPattern({3, 3}); break;
    }
    return pen;
}

void drawMarker(QPainter& p, const Marker& m, QPointF at) {
    const double h = m.size / 2;
    p.setPen(QPen(Qt::black, 1.0));
    p.setBrush(m.shape == MarkerShape::Ring ? QBrush(Qt::NoBrush) : QBrush(m.fill));
    switch (m.shape) {
    case MarkerShape::Circle: p.drawEllipse(at, h, h); break;
    case MarkerShape::Ring:
        p.setPen(QPen(m.fill, 1.5));
        p.drawEllipse(at, h, h);
        break;
    case MarkerShape::Square: p.drawRect(QRectF(at.x() - h, at.y() - h, m.size, m.size)); break;
    case MarkerShape::Diamond: {
        const QPointF pts[4] = {{at.x(), at.y() - h * 1.2}, {at.x() + h * 1.2, at.y()},
                                {at.x(), at.y() + h * 1.2}, {at.x() - h * 1.2, at.y()}};
        p.drawPolygon(pts, 4);
        break;
    }
    }
}

std::vector<Tick> ticksOf(const ChartAxis& a, int most) {
    return a.scale == Scale::Log ? logTicks(a.low, a.high) : linearTicks(a.low, a.high, most);
}

PixelRect pixelRect(const QRectF& r) { return {r.left(), r.top(), r.right(), r.bottom()}; }

double legendWidth(const Chart& c) {
    const QFontMetricsF fm(chartFont(12));
    double w = 150;
    for (const LegendEntry& e : c.legend) w = std::max(w, kLegendSample + 8 + fm.horizontalAdvance(e.text));
    return std::min(w, 280.0);
}

}  // namespace

ChartLayout layoutChart(const Chart& chart, QSizeF size) {
    ChartLayout l;
    const double titleHeight = chart.title.isEmpty() ? 8 : QFontMetricsF(chartFont(15, true)).height() * 1.6;
    const double lw = chart.legend.empty() && chart.notes.empty() ? 0 : legendWidth(chart);
    const double right = size.width() - (lw > 0 ? lw + 2 * kGap : kGap);
    l.plot = QRectF(QPointF(kMarginLeft, titleHeight), QPointF(std::max(right, kMarginLeft + 10),
                                                              std::max(size.height() - kMarginBottom, titleHeight + 10)));
    l.legend = QRectF(l.plot.right() + kGap, l.plot.top(), lw, l.plot.height());
    l.x = {chart.x.scale, chart.x.low, chart.x.high, l.plot.left(), l.plot.right()};
    l.y = {chart.y.scale, chart.y.low, chart.y.high, l.plot.bottom(), l.plot.top()};
    return l;
}

void renderChart(QPainter& p, const Chart& chart, QSizeF size) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
    const ChartLayout l = layoutChart(chart, size);

    p.setPen(Qt::black);
    p.setFont(chartFont(15, true));
    p.drawText(QRectF(0, 0, size.width(), l.plot.top()), Qt::AlignCenter, chart.title);

    if (!chart.emptyText.isEmpty() || !(chart.x.low < chart.x.high) || !(chart.y.low < chart.y.high)) {
        p.setFont(chartFont(13));
        p.drawText(QRectF(QPointF(0, 0), size), Qt::AlignCenter | Qt::TextWordWrap, chart.emptyText);
        p.restore();
        return;
    }

    // Grid lines and ticks.
    const QFont tickFont = chartFont(11);
    const QFontMetricsF tfm(tickFont);
    p.setFont(tickFont);
    const QPen gridPen(QColor(225, 225, 225), 1.0);
    const QPen tickPen(Qt::black, 1.0);
    for (const Tick& t : ticksOf(chart.x, 8)) {
        const double px = l.x.toPixel(t.value);
        if (t.major) {
            p.setPen(gridPen);
            p.drawLine(QPointF(px, l.plot.top()), QPointF(px, l.plot.bottom()));
        }
        p.setPen(tickPen);
        p.drawLine(QPointF(px, l.plot.bottom()), QPointF(px, l.plot.bottom() + (t.major ? 6 : 3)));
        if (t.major) {
            const QString s = QString::fromStdString(t.label);
            const double w = tfm.horizontalAdvance(s);
            p.drawText(QPointF(px - w / 2, l.plot.bottom() + 8 + tfm.ascent()), s);
        }
    }
    for (const Tick& t : ticksOf(chart.y, std::max(3, static_cast<int>(l.plot.height() / 45)))) {
        const double py = l.y.toPixel(t.value);
        p.setPen(t.value == 0 && chart.y.scale == Scale::Linear ? QPen(QColor(170, 170, 170), 1.0) : gridPen);
        p.drawLine(QPointF(l.plot.left(), py), QPointF(l.plot.right(), py));
        p.setPen(tickPen);
        p.drawLine(QPointF(l.plot.left() - 6, py), QPointF(l.plot.left(), py));
        const QString s = QString::fromStdString(t.label);
        const double w = tfm.horizontalAdvance(s);
        p.drawText(QPointF(l.plot.left() - 9 - w, py + tfm.ascent() / 2 - 1), s);
    }

    // Axis titles.
    const QFont axisFont = chartFont(12);
    p.setFont(axisFont);
    p.setPen(Qt::black);
    p.drawText(QRectF(l.plot.left(), l.plot.bottom() + 8 + tfm.height(), l.plot.width(), kMarginBottom - tfm.height()),
               Qt::AlignHCenter | Qt::AlignTop, chart.x.title);
    p.save();
    p.translate(14, l.plot.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-l.plot.height() / 2, -10, l.plot.height(), 20), Qt::AlignCenter, chart.y.title);
    p.restore();

    // The data, clipped to the plotting area by geometry (exported files
    // hold no far-off coordinates) and by the painter (for the line caps).
    const PixelRect clip = pixelRect(l.plot);
    p.save();
    p.setClipRect(l.plot);
    p.setBrush(Qt::NoBrush);
    for (const Series& s : chart.series) {
        QPainterPath path;
        for (const Polyline& line : clippedPolylines(s.points, l.x, l.y, clip)) {
            path.moveTo(line.front().x, line.front().y);
            for (std::size_t i = 1; i < line.size(); ++i) path.lineTo(line[i].x, line[i].y);
        }
        if (path.isEmpty()) continue;
        p.setPen(penOf(s.style));
        p.drawPath(path);
    }
    p.setFont(chartFont(11));
    for (const HorizontalLine& h : chart.lines) {
        const double py = l.y.toPixel(h.y);
        if (!(py >= l.plot.top() && py <= l.plot.bottom())) continue;
        p.setPen(penOf(h.style));
        p.drawLine(QPointF(l.plot.left(), py), QPointF(l.plot.right(), py));
        if (!h.label.isEmpty()) {
            p.setPen(h.style.colour);
            const double w = QFontMetricsF(p.font()).horizontalAdvance(h.label);
            p.drawText(QPointF(l.plot.right() - w - 4, py - 4), h.label);
        }
    }
    for (const Marker& m : chart.markers) {
        const QPointF at(l.x.toPixel(m.x), l.y.toPixel(m.y));
        if (l.plot.contains(at)) drawMarker(p, m, at);
    }
    p.restore();

    p.setPen(QPen(Qt::black, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(l.plot);

    // Legend, then the notes below it.
    if (l.legend.width() > 0) {
        const QFont legendFont = chartFont(12);
        const QFontMetricsF fm(legendFont);
        p.setFont(legendFont);
        double y = l.legend.top() + 4;
        const double rowHeight = std::max(fm.height(), 14.0) + 5;
        for (const LegendEntry& e : chart.legend) {
            const double mid = y + rowHeight / 2;
            if (e.line) {
                p.setPen(penOf(*e.line));
                p.drawLine(QPointF(l.legend.left(), mid), QPointF(l.legend.left() + kLegendSample - 4, mid));
            }
            if (e.marker) drawMarker(p, *e.marker, QPointF(l.legend.left() + (kLegendSample - 4) / 2, mid));
            p.setPen(Qt::black);
            p.drawText(QRectF(l.legend.left() + kLegendSample + 4, y, l.legend.width() - kLegendSample - 4, rowHeight),
                       Qt::AlignLeft | Qt::AlignVCenter, e.text);
            y += rowHeight;
        }
        if (!chart.notes.empty()) {
            p.setFont(chartFont(11));
            const QFontMetricsF nfm(p.font());
            y += 8;
            for (const QString& n : chart.notes) {
                const QRectF box(l.legend.left(), y, l.legend.width(), l.legend.bottom() + kMarginBottom - y);
                const QRectF used = nfm.boundingRect(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, n);
                p.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, n);
                y += used.height() + 4;
            }
        }
    }
    p.restore();
}

std::optional<NearestPoint> nearestPoint(const Chart& chart, const ChartLayout& layout, QPointF pixel, double radius) {
    std::optional<NearestPoint> best;
    double bestDistance = radius * radius;
    if (!layout.plot.contains(pixel)) return best;
    for (std::size_t s = 0; s < chart.series.size(); ++s) {
        if (!chart.series[s].inLegend) continue;
        for (const DataPoint& d : chart.series[s].points) {
            const double dx = layout.x.toPixel(d.x) - pixel.x(), dy = layout.y.toPixel(d.y) - pixel.y();
            const double dd = dx * dx + dy * dy;
            if (std::isfinite(dd) && dd <= bestDistance) {
                bestDistance = dd;
                best = NearestPoint{static_cast<int>(s), d};
            }
        }
    }
    return best;
}

}  // namespace zolvant::plot
