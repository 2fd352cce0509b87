#pragma once
// Line-work helpers shared by the figures and the background.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPointF>

#include <vector>

namespace zolvant::drawing {

void arrowHead(QPainter &painter, QPointF tip, QPointF from, double length = 11, double halfWidth = 4);

QPen solidPen(double width, const QColor &c = Qt::black);

// The pattern counts in pen widths: 6.5 px dashes, 4.5 px gaps at any width.
QPen dashedPen(double width, const QColor &c = Qt::black);

void dot(QPainter &painter, QPointF at, double r = 3.2);

// Axes with arrowheads, drawn from the origin to the two ends.
void drawAxes(QPainter &painter, QPointF origin, double xEnd, double yEnd);

QPainterPath pathThrough(const std::vector<QPointF> &pts);

QImage newCanvas(int w, int h, const QColor &ground);

void beginPainting(QPainter &painter);

inline const QColor kWhite(255, 255, 255);

}  // namespace zolvant::drawing
