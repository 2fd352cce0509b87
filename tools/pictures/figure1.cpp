// Figure 1: P-T diagram of a pure substance (not water: the fusion curve
// leans to the right). The curves follow the Clausius-Clapeyron form
// ln P = a - b/T, the sublimation curve steeper than the vaporization curve at
// the triple point, its latent heat being the larger.

#include <QPainterPath>

#include <cmath>
#include <vector>

#include "tools/pictures/drawing.h"
#include "tools/pictures/figures.h"
#include "tools/pictures/markup.h"

namespace zolvant::drawing {

QImage picture::fig1()
{
    QImage img = newCanvas(653, 543, kWhite);
    QPainter painter(&img);
    beginPainting(painter);

    const QPointF origin(72, 490);
    const double sx = 360, sy = 360;
    const auto X = [&](double t) { return origin.x() + t * sx; };
    const auto Y = [&](double p) { return origin.y() - p * sy; };
    const auto at = [&](double t, double p) { return QPointF(X(t), Y(p)); };

    const double tt = 0.50, pt = 0.12;  // triple point
    const double tc = 1.0, pc = 0.80;   // critical point
    const double bVap = std::log(pc / pt) / (1.0 / tt - 1.0 / tc);
    const double bSub = 1.35 * bVap;
    const auto pVap = [&](double t) { return pt * std::exp(-bVap * (1.0 / t - 1.0 / tt)); };
    const auto pSub = [&](double t) { return pt * std::exp(-bSub * (1.0 / t - 1.0 / tt)); };
    const auto tFus = [&](double p) { return tt + 0.050 * (p - pt) + 0.012 * (p - pt) * (p - pt); };
    const double t1 = 1.0 / (1.0 / tt - std::log(0.024 / pt) / bSub);  // point 1
    const double p3 = 1.19;                                             // point 3

    const double xEnd = 628, yEnd = 28;
    drawAxes(painter, origin, xEnd, yEnd);
    const QFont varFont = makeFont(kSerif, 22);
    drawMarkup(painter, {origin.x() - 14, yEnd + 8}, QStringLiteral("*P*"), varFont, Right, Top);
    drawMarkup(painter, {xEnd - 4, origin.y() + 12}, QStringLiteral("*T*"), varFont, Center, Top);

    // Critical temperature and pressure: dashed lines from C bounding the
    // fluid region; the vertical continues down to the axis, separating
    // vapour (below Tc) from gas.
    painter.setPen(dashedPen(1.3));
    painter.drawLine(at(tc, 0) + QPointF(0, -1), QPointF(X(tc), yEnd + 22));
    painter.drawLine(at(tc, pc), QPointF(xEnd - 30, Y(pc)));
    painter.setPen(solidPen(1.3));
    painter.drawLine(at(tc, 0), at(tc, 0) + QPointF(0, 6));
    const QFont subFont = makeFont(kSerif, 20);
    drawMarkup(painter, at(tc, 0) + QPointF(0, 12), QStringLiteral("*T*_c"), subFont, Center, Top);
    drawMarkup(painter, QPointF(xEnd - 26, Y(pc)), QStringLiteral("*P*_c"), subFont, Left, Middle);

    // The three curves.
    std::vector<QPointF> sub, fus, vap;
    for (int i = 0; i <= 200; ++i) {
        const double t = t1 + (tt - t1) * i / 200.0;
        sub.push_back(at(t, pSub(t)));
    }
    for (int i = 0; i <= 200; ++i) {
        const double p = pt + (p3 - pt) * i / 200.0;
        fus.push_back(at(tFus(p), p));
    }
    for (int i = 0; i <= 300; ++i) {
        const double t = tt + (tc - tt) * i / 300.0;
        vap.push_back(at(t, pVap(t)));
    }
    painter.setPen(solidPen(2.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(pathThrough(sub));
    painter.drawPath(pathThrough(fus));
    painter.drawPath(pathThrough(vap));

    const QPointF p1 = sub.front(), p2 = at(tt, pt), p3pt = fus.back(), pC = at(tc, pc);
    for (const QPointF &p : {p1, p2, p3pt, pC})
        dot(painter, p, 3.6);
    const QFont pointFont = makeFont(kSans, 18);
    drawMarkup(painter, p1 + QPointF(-8, -3), QStringLiteral("1"), pointFont, Right, Middle);
    drawMarkup(painter, p2 + QPointF(12, 16), QStringLiteral("2"), pointFont, Left, Baseline);
    drawMarkup(painter, p3pt + QPointF(-9, 4), QStringLiteral("3"), pointFont, Right, Top);
    drawMarkup(painter, pC + QPointF(8, 8), QStringLiteral("C"), pointFont, Left, Top);

    // Regions.
    const QFont regionFont = makeFont(kSans, 18);
    drawMarkup(painter, at(0.27, 0.62), QStringLiteral("Solid"), regionFont, Center, Middle);
    drawMarkup(painter, at(0.75, 0.96), QStringLiteral("Liquid"), regionFont, Center, Middle);
    drawMarkup(painter, at(0.78, 0.20), QStringLiteral("Vapor"), regionFont, Center, Middle);
    drawMarkup(painter, at(1.27, 0.36), QStringLiteral("Gas"), regionFont, Center, Middle);
    drawMarkup(painter, at(1.27, 1.05), QStringLiteral("Fluid region"), regionFont, Center, Middle);
    const QFont smallFont = makeFont(kSans, 14);
    drawMarkup(painter, at(0.405, 0.125) + QPointF(0, -9), QStringLiteral("Sublimation"), smallFont, Right, Middle);
    drawMarkup(painter, at(0.405, 0.125) + QPointF(0, 8), QStringLiteral("curve"), smallFont, Right, Middle);
    painter.save();
    painter.translate(at(tFus(0.80), 0.80) + QPointF(-12, 0));
    painter.rotate(-atan2(sy * 1.0, sx * (0.050 + 0.024 * (0.80 - pt))) * 180.0 / M_PI);
    drawMarkup(painter, {0, 0}, QStringLiteral("Fusion curve"), smallFont, Center, Baseline);
    painter.restore();
    painter.save();
    const double tv = 0.80;
    const double slope = pVap(tv) * bVap / (tv * tv);
    painter.translate(at(tv, pVap(tv)) + QPointF(10, 12));
    painter.rotate(-atan2(slope * sy, sx) * 180.0 / M_PI);
    drawMarkup(painter, {0, 0}, QStringLiteral("Vaporization curve"), smallFont, Center, Top);
    painter.restore();

    // A path from the liquid to the gas that crosses no phase boundary.
    const QPointF a = at(0.86, 0.72), b = at(1.30, 0.52);
    QPainterPath path;
    path.moveTo(a);
    path.cubicTo(at(0.86, 1.12), at(1.30, 1.10), b + QPointF(0, -16));
    painter.setPen(solidPen(1.5));
    painter.drawPath(path);
    painter.setPen(QPen(Qt::black));
    arrowHead(painter, b, b + QPointF(0, -16), 12, 4.5);
    const QPointF mid = path.pointAtPercent(0.5);
    arrowHead(painter, mid + (path.pointAtPercent(0.52) - mid) * 4, mid, 12, 4.5);
    dot(painter, a, 3.4);
    drawMarkup(painter, a + QPointF(-9, 2), QStringLiteral("A"), pointFont, Right, Middle);
    drawMarkup(painter, b + QPointF(10, 2), QStringLiteral("B"), pointFont, Left, Middle);
    return img;
}

}  // namespace zolvant::drawing
