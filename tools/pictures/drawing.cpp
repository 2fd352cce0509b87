#include "tools/pictures/drawing.h"

#include <QPolygonF>

#include <cmath>

namespace zolvant::drawing {

void arrowHead(QPainter &painter, QPointF tip, QPointF from, double length, double halfWidth)
{
    const QPointF d = tip - from;
    const double n = std::hypot(d.x(), d.y());
    if (n <= 0)
        return;
    const QPointF u = d / n;
    const QPointF perp(-u.y(), u.x());
    const QPointF base = tip - u * length;
    // A slightly swept-back head reads as drawn rather than stamped.
    QPolygonF head;
    head << tip << base + perp * halfWidth << tip - u * (length * 0.78) << base - perp * halfWidth;
    painter.save();
    const QColor c = painter.pen().color();
    painter.setPen(Qt::NoPen);
    painter.setBrush(c);
    painter.drawPolygon(head);
    painter.restore();
}

QPen solidPen(double width, const QColor &c)
{
    QPen pen(c, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

QPen dashedPen(double width, const QColor &c)
{
    QPen pen(c, width);
    pen.setCapStyle(Qt::FlatCap);
    // The pattern counts in pen widths: 6.5 px dashes, 4.5 px gaps at any width.
    pen.setDashPattern({6.5 / width, 4.5 / width});
    return pen;
}

void dot(QPainter &painter, QPointF at, double r)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawEllipse(at, r, r);
    painter.restore();
}

void drawAxes(QPainter &painter, QPointF origin, double xEnd, double yEnd)
{
    painter.save();
    painter.setPen(solidPen(1.6));
    painter.drawLine(origin, QPointF(xEnd - 6, origin.y()));
    painter.drawLine(origin, QPointF(origin.x(), yEnd + 6));
    painter.setPen(QPen(Qt::black));
    arrowHead(painter, {xEnd, origin.y()}, origin, 13, 4.5);
    arrowHead(painter, {origin.x(), yEnd}, origin, 13, 4.5);
    painter.restore();
}

QPainterPath pathThrough(const std::vector<QPointF> &pts)
{
    QPainterPath path;
    if (pts.empty())
        return path;
    path.moveTo(pts.front());
    for (std::size_t i = 1; i < pts.size(); ++i)
        path.lineTo(pts[i]);
    return path;
}

QImage newCanvas(int w, int h, const QColor &ground)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(ground);
    return img;
}

void beginPainting(QPainter &painter)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

}  // namespace zolvant::drawing
