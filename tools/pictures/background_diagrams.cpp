// The diagrams of the background: a compressibility chart, P-V and P-T
// sketches, a McCabe-Thiele construction, a boiling-point diagram, and the
// equations.

#include <QPainterPath>
#include <QPolygonF>

#include <cmath>
#include <vector>

#include "tools/pictures/background.h"
#include "tools/pictures/drawing.h"
#include "tools/pictures/markup.h"
#include "tools/pictures/vdw_fluid.h"

namespace zolvant::drawing {
namespace {

// Peng-Robinson compressibility of a simple fluid (omega = 0), for the
// generalised chart of the background: largest real root of the cubic in Z.

double prSimpleFluidZ(double tr, double pr)
{
    const double kappa = 0.37464;
    const double sq = 1.0 + kappa * (1.0 - std::sqrt(tr));
    const double a = 0.45724 * sq * sq * pr / (tr * tr);
    const double b = 0.07780 * pr / tr;
    const auto f = [a, b](double z) {
        return ((z - (1.0 - b)) * z + (a - 3.0 * b * b - 2.0 * b)) * z - (a * b - b * b - b * b * b);
    };
    double root = 1.0;
    double prev = f(b + 1e-9);
    const int steps = 4000;
    for (int i = 1; i <= steps; ++i) {
        const double z0 = b + 1e-9 + (3.0 - b) * (i - 1) / steps;
        const double z1 = b + 1e-9 + (3.0 - b) * i / steps;
        const double cur = f(z1);
        if ((cur > 0) != (prev > 0))
            root = bisect(z0, z1, f);
        prev = cur;
    }
    return root;
}

}  // namespace

void drawCompressibilityChart(QPainter &painter, QRectF plot)
{
    const double prMax = 8.0, zMin = 0.2, zMax = 1.1;
    const auto X = [&](double pr) { return plot.left() + pr / prMax * plot.width(); };
    const auto Y = [&](double z) { return plot.bottom() - (z - zMin) / (zMax - zMin) * plot.height(); };

    painter.setPen(QPen(kInk.lighter(112), 0.8));
    for (int i = 1; i < 8; ++i)
        painter.drawLine(QPointF(X(i), plot.top()), QPointF(X(i), plot.bottom()));
    for (int i = 3; i <= 10; ++i)
        painter.drawLine(QPointF(plot.left(), Y(i / 10.0)), QPointF(plot.right(), Y(i / 10.0)));
    painter.setPen(inkPen(1.2));
    painter.drawRect(plot);
    painter.setPen(dashedPen(1.0, kInk));
    painter.drawLine(QPointF(plot.left(), Y(1.0)), QPointF(plot.right(), Y(1.0)));

    const QFont tick = makeFont(kSans, 9);
    painter.setPen(kInkText);
    for (int i = 0; i <= 8; i += 2)
        drawMarkup(painter, {X(i), plot.bottom() + 4}, QString::number(i), tick, Center, Top);
    for (int i = 2; i <= 10; i += 2)
        drawMarkup(painter, {plot.left() - 4, Y(i / 10.0)}, QString::number(i / 10.0, 'f', 1), tick, Right, Middle);
    const QFont label = makeFont(kSerif, 14);
    drawMarkup(painter, {plot.center().x(), plot.bottom() + 17}, QStringLiteral("*P*_r"), label, Center, Top);
    drawMarkup(painter, {plot.left() - 24, plot.center().y()}, QStringLiteral("*Z*"), label, Right, Middle);
    drawMarkup(painter, {plot.left(), plot.top() - 6}, QStringLiteral("Generalized compressibility chart"),
               makeFont(kSans, 9), Left, Baseline);

    painter.save();
    painter.setClipRect(plot);
    for (double tr : {1.0, 1.1, 1.2, 1.3, 1.5, 2.0, 3.0}) {
        std::vector<QPointF> pts;
        for (int i = 0; i <= 200; ++i) {
            const double pr = prMax * i / 200.0;
            pts.push_back({X(pr), Y(prSimpleFluidZ(tr, pr))});
        }
        painter.setPen(inkPen(1.2));
        painter.drawPath(pathThrough(pts));
    }
    painter.restore();
    // Reduced temperatures written beside the curves where they are apart.
    const QFont curveLabel = makeFont(kSans, 8);
    painter.setPen(kInkText);
    for (double tr : {1.0, 1.1, 1.2, 1.5}) {
        const double pr = 1.0 + (tr - 1.0) * 4.0 + (tr > 1.05 ? 0.6 : 0.2);
        drawMarkup(painter, QPointF(X(pr) + 3, Y(prSimpleFluidZ(tr, pr)) + 3), QString::number(tr, 'f', 1), curveLabel,
                   Left, Top);
    }
    drawMarkup(painter, {X(7.0), Y(prSimpleFluidZ(2.0, 7.0)) + 4}, QStringLiteral("2.0"), curveLabel, Center, Top);
    drawMarkup(painter, {X(3.0), plot.bottom() - 6}, QStringLiteral("*T*_r"), makeFont(kSerif, 11), Left, Baseline);
}

// Small P-V sketch: dome, the critical isotherm and one on either side.
void drawPVSketch(QPainter &painter, QRectF plot)
{
    painter.setPen(inkPen(1.2));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    arrowHead(painter, plot.topLeft() + QPointF(0, -6), plot.bottomLeft(), 7, 2.6);
    arrowHead(painter, plot.bottomRight() + QPointF(6, 0), plot.bottomLeft(), 7, 2.6);
    const double v0 = 0.3, vMin = 0.42, vMax = 5.0, pMax = 1.6;
    const auto X = [&](double v) {
        return plot.left() + 3 + std::log((v - v0) / (vMin - v0)) / std::log((vMax - v0) / (vMin - v0)) *
                                     (plot.width() - 6);
    };
    const auto Y = [&](double p) { return plot.bottom() - p / pMax * plot.height(); };
    std::vector<QPointF> left, right;
    for (int i = 0; i <= 60; ++i) {
        const double s = 1.0 - i / 60.0;
        const Saturation sat = vdwSaturation(1.0 - 0.2 * s * s);
        left.push_back({X(sat.vl), Y(sat.p)});
        right.push_back({X(sat.vg), Y(sat.p)});
    }
    std::vector<QPointF> dome(left);
    dome.insert(dome.end(), right.rbegin() + 1, right.rend());
    painter.drawPath(pathThrough(dome));
    painter.save();
    painter.setClipRect(plot);
    for (double t : {1.2, 1.0, 0.9}) {
        const Saturation s = vdwSaturation(t);
        std::vector<QPointF> pts;
        for (int i = 0; i <= 200; ++i) {
            const double v = v0 + (vMin - v0) * std::pow((vMax - v0) / (vMin - v0), i / 200.0);
            pts.push_back({X(v), Y(std::min(vdwIsothermP(v, t, s), 2 * pMax))});
        }
        painter.setPen(t == 1.0 ? inkPen(1.2) : inkPen(0.9));
        painter.drawPath(pathThrough(pts));
    }
    painter.restore();
    painter.setPen(kInkText);
    const QFont label = makeFont(kSerif, 13);
    drawMarkup(painter, plot.topLeft() + QPointF(-6, 2), QStringLiteral("*P*"), label, Right, Top);
    drawMarkup(painter, plot.bottomRight() + QPointF(-4, 4), QStringLiteral("*V*"), label, Center, Top);
    drawMarkup(painter, {X(1.0), Y(1.0) - 5}, QStringLiteral("C"), makeFont(kSans, 9), Center, Baseline);
}

// Small P-T sketch: sublimation, fusion and vapour-pressure curves.
void drawPTSketch(QPainter &painter, QRectF plot)
{
    painter.setPen(inkPen(1.2));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    arrowHead(painter, plot.topLeft() + QPointF(0, -6), plot.bottomLeft(), 7, 2.6);
    arrowHead(painter, plot.bottomRight() + QPointF(6, 0), plot.bottomLeft(), 7, 2.6);
    const auto at = [&](double t, double p) {
        return QPointF(plot.left() + t * plot.width(), plot.bottom() - p * plot.height());
    };
    const double tt = 0.38, pt = 0.14, tc = 0.78, pc = 0.72;
    const double b = std::log(pc / pt) / (1.0 / tt - 1.0 / tc);
    std::vector<QPointF> vap, sub, fus;
    for (int i = 0; i <= 60; ++i) {
        const double t = tt + (tc - tt) * i / 60.0;
        vap.push_back(at(t, pt * std::exp(-b * (1.0 / t - 1.0 / tt))));
        const double ts = 0.22 + (tt - 0.22) * i / 60.0;
        sub.push_back(at(ts, pt * std::exp(-1.4 * b * (1.0 / ts - 1.0 / tt))));
        const double p = pt + (0.95 - pt) * i / 60.0;
        fus.push_back(at(tt + 0.06 * (p - pt), p));
    }
    painter.setPen(inkPen(1.3));
    painter.drawPath(pathThrough(vap));
    painter.drawPath(pathThrough(sub));
    painter.drawPath(pathThrough(fus));
    painter.setBrush(kInk);
    painter.drawEllipse(at(tc, pc), 2.2, 2.2);
    painter.drawEllipse(at(tt, pt), 2.2, 2.2);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(dashedPen(0.9, kInk));
    painter.drawLine(at(tc, pc), at(tc, 0));
    painter.drawLine(at(tc, pc), at(1.0, pc));
    painter.setPen(kInkText);
    const QFont label = makeFont(kSerif, 13);
    const QFont small = makeFont(kSans, 9);
    drawMarkup(painter, plot.topLeft() + QPointF(-6, 2), QStringLiteral("*P*"), label, Right, Top);
    drawMarkup(painter, plot.bottomRight() + QPointF(-4, 4), QStringLiteral("*T*"), label, Center, Top);
    drawMarkup(painter, at(tc, pc) + QPointF(-4, -4), QStringLiteral("C"), small, Right, Baseline);
    drawMarkup(painter, at(0.18, 0.55), QStringLiteral("solid"), small, Center, Middle);
    drawMarkup(painter, at(0.55, 0.80), QStringLiteral("liquid"), small, Center, Middle);
    drawMarkup(painter, at(0.62, 0.18), QStringLiteral("vapor"), small, Center, Middle);
    drawMarkup(painter, at(0.90, 0.88), QStringLiteral("fluid"), small, Center, Middle);
}

// McCabe-Thiele construction: equilibrium curve of constant relative
// volatility, the diagonal, the two operating lines and the stages.
void drawMcCabeThiele(QPainter &painter, QRectF plot)
{
    const double alpha = 2.5, xd = 0.92, xb = 0.08, zf = 0.45, reflux = 2.2;
    const auto X = [&](double x) { return plot.left() + x * plot.width(); };
    const auto Y = [&](double y) { return plot.bottom() - y * plot.height(); };
    const auto eq = [&](double x) { return alpha * x / (1.0 + (alpha - 1.0) * x); };
    const auto eqInv = [&](double y) { return y / (alpha - (alpha - 1.0) * y); };
    const double slope = reflux / (reflux + 1.0), yFeed = slope * zf + xd / (reflux + 1.0);
    const auto operating = [&](double x) {
        if (x >= zf)
            return slope * x + xd / (reflux + 1.0);
        return yFeed + (yFeed - xb) / (zf - xb) * (x - zf);
    };
    painter.setPen(inkPen(1.1));
    painter.drawRect(plot);
    painter.drawLine(QPointF(X(0), Y(0)), QPointF(X(1), Y(1)));
    std::vector<QPointF> curve;
    for (int i = 0; i <= 100; ++i)
        curve.push_back({X(i / 100.0), Y(eq(i / 100.0))});
    painter.setPen(inkPen(1.3));
    painter.drawPath(pathThrough(curve));
    painter.setPen(inkPen(1.0));
    painter.drawLine(QPointF(X(xd), Y(xd)), QPointF(X(zf), Y(yFeed)));
    painter.drawLine(QPointF(X(zf), Y(yFeed)), QPointF(X(xb), Y(xb)));
    painter.setPen(dashedPen(0.9, kInk));
    painter.drawLine(QPointF(X(zf), Y(zf)), QPointF(X(zf), Y(yFeed)));
    // Steps from the distillate down to the bottoms.
    painter.setPen(inkPen(0.9));
    double x = xd, y = xd;
    for (int stage = 0; stage < 12 && x > xb; ++stage) {
        const double xn = eqInv(y);
        painter.drawLine(QPointF(X(x), Y(y)), QPointF(X(xn), Y(y)));
        const double yn = operating(std::max(xn, xb));
        painter.drawLine(QPointF(X(xn), Y(y)), QPointF(X(xn), Y(std::max(yn, xn))));
        x = xn;
        y = yn;
    }
    painter.setPen(kInkText);
    const QFont label = makeFont(kSerif, 13);
    drawMarkup(painter, {plot.center().x(), plot.bottom() + 4}, QStringLiteral("*x*"), label, Center, Top);
    drawMarkup(painter, {plot.left() - 6, plot.center().y()}, QStringLiteral("*y*"), label, Right, Middle);
}

// Boiling-point diagram of an ideal binary at constant pressure: the bubble
// and dew curves from Raoult's law with Clausius-Clapeyron vapour pressures,
// and one tie line.
void drawBoilingDiagram(QPainter &painter, QRectF plot)
{
    const double tb1 = 0.30, tb2 = 0.80;  // boiling points on the plot's scale
    const double b1 = 9.0, b2 = 8.0;
    const auto ratio1 = [&](double t) { return std::exp(b1 * (t - tb1) / (1.0 + t)); };  // P1sat / P
    const auto ratio2 = [&](double t) { return std::exp(b2 * (t - tb2) / (1.0 + t)); };
    const auto X = [&](double x) { return plot.left() + x * plot.width(); };
    const auto Y = [&](double t) { return plot.bottom() - (0.1 + t * 0.9) * plot.height(); };
    painter.setPen(inkPen(1.1));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    painter.drawLine(plot.bottomRight(), plot.topRight());
    std::vector<QPointF> bubble, dew;
    for (int i = 0; i <= 80; ++i) {
        const double t = tb1 + (tb2 - tb1) * i / 80.0;
        const double x1 = (1.0 - ratio2(t)) / (ratio1(t) - ratio2(t));
        bubble.push_back({X(1.0 - x1), Y(t)});
        dew.push_back({X(1.0 - x1 * ratio1(t)), Y(t)});
    }
    painter.setPen(inkPen(1.3));
    painter.drawPath(pathThrough(bubble));
    painter.drawPath(pathThrough(dew));
    const double tTie = tb1 + 0.45 * (tb2 - tb1);
    const double x1 = (1.0 - ratio2(tTie)) / (ratio1(tTie) - ratio2(tTie));
    painter.setPen(inkPen(0.9));
    painter.drawLine(QPointF(X(1.0 - x1), Y(tTie)), QPointF(X(1.0 - x1 * ratio1(tTie)), Y(tTie)));
    painter.setPen(dashedPen(0.8, kInk));
    painter.drawLine(QPointF(X(1.0 - x1), Y(tTie)), QPointF(X(1.0 - x1), plot.bottom()));
    painter.drawLine(QPointF(X(1.0 - x1 * ratio1(tTie)), Y(tTie)), QPointF(X(1.0 - x1 * ratio1(tTie)), plot.bottom()));
    painter.setPen(kInkText);
    const QFont small = makeFont(kSans, 9);
    drawMarkup(painter, {plot.left() - 5, plot.top() + 4}, QStringLiteral("*T*"), makeFont(kSerif, 13), Right, Top);
    drawMarkup(painter, {plot.center().x(), plot.bottom() + 4}, QStringLiteral("*x*, *y*"), makeFont(kSerif, 13),
               Center, Top);
    drawMarkup(painter, {X(0.72), Y(0.92)}, QStringLiteral("vapor"), small, Center, Middle);
    drawMarkup(painter, {X(0.22), Y(0.12)}, QStringLiteral("liquid"), small, Center, Middle);
}

void drawEquations(QPainter &painter)
{
    painter.setPen(kInkText);
    const QFont big = makeFont(kSerif, 28);
    const QFont mid = makeFont(kSerif, 20);
    const QFont small = makeFont(kSerif, 16);

    drawMarkup(painter, {400, 44}, QStringLiteral("*PV* = *ZRT*"), big);
    drawMarkup(painter, {306, 174}, QStringLiteral("(*P* + *a*/*V*^2)(*V* − *b*) = *RT*"), mid);
    drawMarkup(painter, {566, 174}, QStringLiteral("*Z* = *Z*^0 + *ω**Z*^1"), mid);
    drawMarkup(painter, {694, 120}, QStringLiteral("*T*_r = *T*/*T*_c"), small);
    drawMarkup(painter, {694, 142}, QStringLiteral("*P*_r = *P*/*P*_c"), small);
    drawMarkup(painter, {6, 16}, QStringLiteral("*ω* = −1 − log_{10}*P*_r^{sat}  (*T*_r = 0.7)"), makeFont(kSerif, 13));
    drawMarkup(painter, {680, 594}, QStringLiteral("*F* = 2 − *π* + *N*"), small);
    drawMarkup(painter, {420, 594}, QStringLiteral("*Z*^3 − (1 − *B*)*Z*^2 + (*A* − 3*B*^2 − 2*B*)*Z* − …"),
               makeFont(kSerif, 14));

    // Peng-Robinson with proper fractions, between the grid's halves.
    const QPointF at(586, 500);
    double x = at.x();
    const QFont pr = makeFont(kSerif, 17);
    x += drawMarkup(painter, {x, at.y()}, QStringLiteral("*P* = "), pr).width() - 2;
    x += drawFraction(painter, {x, at.y()}, QStringLiteral("*RT*"), QStringLiteral("*V* − *b*"), pr) + 4;
    x += drawMarkup(painter, {x, at.y()}, QStringLiteral(" − "), pr).width() - 2;
    drawFraction(painter, {x, at.y()}, QStringLiteral("*aα*"), QStringLiteral("*V*^2 + 2*bV* − *b*^2"), pr);
}

}  // namespace zolvant::drawing
