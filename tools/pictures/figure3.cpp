// Figure 3: the vapour-pressure curve in the P-T plane with constant-volume
// lines of the same van der Waals fluid. Its isochores are straight lines;
// the critical one continues the curve's slope through C.

#include <QString>

#include <algorithm>
#include <array>
#include <vector>

#include "tools/pictures/drawing.h"
#include "tools/pictures/figures.h"
#include "tools/pictures/markup.h"
#include "tools/pictures/vdw_fluid.h"

namespace zolvant::drawing {

QImage picture::fig3()
{
    QImage img = newCanvas(498, 468, kWhite);
    QPainter painter(&img);
    beginPainting(painter);

    const QPointF origin(60, 420);
    const double xEnd = 480, yEnd = 22;
    const double tMin = 0.66, tMax = 1.15;
    const double pMax = 2.2;
    const double sx = (450 - origin.x()) / (tMax - tMin);
    const double sy = (origin.y() - 46) / pMax;
    const auto X = [&](double t) { return origin.x() + (t - tMin) * sx; };
    const auto Y = [&](double p) { return origin.y() - p * sy; };
    const auto at = [&](double t, double p) { return QPointF(X(t), Y(p)); };

    drawAxes(painter, origin, xEnd, yEnd);
    const QFont varFont = makeFont(kSerif, 22);
    drawMarkup(painter, {origin.x() - 12, yEnd + 8}, QStringLiteral("*P*"), varFont, Right, Top);
    drawMarkup(painter, {xEnd - 4, origin.y() + 12}, QStringLiteral("*T*"), varFont, Center, Top);

    // The pair (J, K) is the T3 state of the P-V figure; D and F are where the
    // outer isochores meet the curve; N, P, E and G states beyond.
    const double tJK = kT3, tD = 0.85, tF = 0.89, tNP = kT2;
    const Saturation sJK = vdwSaturation(tJK), sD = vdwSaturation(tD), sF = vdwSaturation(tF);
    struct Isochore {
        QString name;
        double v, t0, p0;
    };
    const std::array<Isochore, 4> isochores{{{QStringLiteral("*V*_2′"), sD.vl, tD, sD.p},
                                             {QStringLiteral("*V*_1′"), sJK.vl, tJK, sJK.p},
                                             {QStringLiteral("*V*_1"), sJK.vg, tJK, sJK.p},
                                             {QStringLiteral("*V*_2"), sF.vg, tF, sF.p}}};

    const QFont subFont = makeFont(kSerif, 20);
    painter.save();
    painter.setClipRect(QRectF(origin.x() + 1, Y(pMax), X(tMax) - origin.x(), origin.y() - Y(pMax)));
    painter.setPen(dashedPen(1.3));
    for (const Isochore &c : isochores) {
        const double slope = vdwIsochoreSlope(c.v);
        const double tEnd = std::min(tMax, c.t0 + (pMax - c.p0) / slope);
        painter.drawLine(at(c.t0, c.p0), at(tEnd, c.p0 + slope * (tEnd - c.t0)));
    }
    const double slopeC = vdwIsochoreSlope(1.0);
    painter.drawLine(at(1.0, 1.0), at(tMax, 1.0 + slopeC * (tMax - 1.0)));
    painter.restore();

    // Vapour-pressure curve.
    std::vector<QPointF> curve;
    for (int i = 0; i <= 300; ++i) {
        const double t = 0.68 + (1.0 - 0.68) * i / 300.0;
        curve.push_back(at(t, vdwSaturation(t).p));
    }
    painter.setPen(solidPen(2.2));
    painter.drawPath(pathThrough(curve));

    // Isochore names at the ends of their lines.
    for (const Isochore &c : isochores) {
        const double slope = vdwIsochoreSlope(c.v);
        const double tEnd = std::min(tMax, c.t0 + (pMax - c.p0) / slope);
        const QPointF end = at(tEnd, c.p0 + slope * (tEnd - c.t0));
        if (tEnd < tMax)
            drawMarkup(painter, end + QPointF(0, -6), c.name, subFont, Center, Baseline);
        else
            drawMarkup(painter, end + QPointF(6, 0), c.name, subFont, Left, Middle);
    }
    drawMarkup(painter, at(tMax, 1.0 + slopeC * (tMax - 1.0)) + QPointF(6, 0), QStringLiteral("*V*_c"), subFont,
               Left, Middle);

    const QFont pointFont = makeFont(kSans, 16);
    const auto onLine = [&](const Isochore &c, double t) {
        return at(t, c.p0 + vdwIsochoreSlope(c.v) * (t - c.t0));
    };
    const QPointF C = at(1.0, 1.0);
    const QPointF JK = at(tJK, sJK.p);
    const QPointF D = at(tD, sD.p), F = at(tF, sF.p);
    const QPointF E = onLine(isochores[0], 0.93);
    const QPointF G = onLine(isochores[3], 1.10);
    const QPointF N = onLine(isochores[1], tNP);
    const QPointF P = onLine(isochores[2], tNP);
    for (const QPointF &p : {C, JK, D, F, E, G, N, P})
        dot(painter, p, 3.2);
    drawMarkup(painter, C + QPointF(9, 3), QStringLiteral("C"), pointFont, Left, Middle);
    drawMarkup(painter, JK + QPointF(-10, -12), QStringLiteral("(J, K)"), pointFont, Right, Middle);
    drawMarkup(painter, D + QPointF(-8, -2), QStringLiteral("D"), pointFont, Right, Baseline);
    drawMarkup(painter, F + QPointF(8, 10), QStringLiteral("F"), pointFont, Left, Top);
    drawMarkup(painter, E + QPointF(-8, 0), QStringLiteral("E"), pointFont, Right, Middle);
    drawMarkup(painter, G + QPointF(0, 10), QStringLiteral("G"), pointFont, Center, Top);
    drawMarkup(painter, N + QPointF(8, 4), QStringLiteral("N"), pointFont, Left, Middle);
    drawMarkup(painter, P + QPointF(0, 10), QStringLiteral("P"), pointFont, Center, Top);

    const QFont regionFont = makeFont(kSans, 18);
    drawMarkup(painter, at(0.76, 1.20), QStringLiteral("Liquid"), regionFont, Center, Middle);
    drawMarkup(painter, at(1.02, 0.35), QStringLiteral("Vapor"), regionFont, Center, Middle);
    return img;
}

}  // namespace zolvant::drawing
