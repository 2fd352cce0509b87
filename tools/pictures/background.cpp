// Background: a pale green collage of a chemical engineer's drawings. It lies
// behind bold labels and white boxes over the whole window, so every stroke
// stays light. The larger drawings sit where the window leaves the ground
// open: the strip left of the result grid (the column), the band between the
// two halves of the grid and the bottom edge (the pipe runs), and the space
// around the input boxes at the top (sketches and equations).

#include <QPainterPath>
#include <QPolygonF>

#include <cmath>
#include <initializer_list>
#include <utility>
#include <vector>

#include "tools/pictures/drawing.h"
#include "tools/pictures/figures.h"
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

const QColor kGround(0xe8, 0xf5, 0xe8);
const QColor kPaperGrid(0xdd, 0xee, 0xdd);
const QColor kInk(0xb5, 0xd6, 0xb5);
const QColor kInkText(0xa9, 0xcf, 0xa9);

QPen inkPen(double width = 1.3)
{
    return solidPen(width, kInk);
}

void drawPump(QPainter &painter, QPointF c, double r)
{
    // Centrifugal pump: casing, tangential discharge at the top, foot.
    painter.drawEllipse(c, r, r);
    painter.drawLine(c + QPointF(0, -r), c + QPointF(r * 1.4, -r));
    painter.drawLine(c + QPointF(-r * 0.6, r * 0.8), c + QPointF(-r * 0.95, r * 1.3));
    painter.drawLine(c + QPointF(r * 0.6, r * 0.8), c + QPointF(r * 0.95, r * 1.3));
    painter.drawLine(c + QPointF(-r * 1.15, r * 1.3), c + QPointF(r * 1.15, r * 1.3));
}

void drawExchanger(QPainter &painter, QPointF c, double r)
{
    // Circle with the utility coil passing through it.
    painter.drawEllipse(c, r, r);
    QPolygonF zig;
    zig << c + QPointF(-r * 1.6, r * 0.3) << c + QPointF(-r * 0.55, r * 0.3) << c + QPointF(-r * 0.28, -r * 0.45)
        << c + QPointF(0, r * 0.45) << c + QPointF(r * 0.28, -r * 0.45) << c + QPointF(r * 0.55, r * 0.3)
        << c + QPointF(r * 1.6, r * 0.3);
    painter.drawPolyline(zig);
}

void drawValve(QPainter &painter, QPointF c, double s, bool vertical = false)
{
    QPolygonF bow;
    if (!vertical)
        bow << c + QPointF(-s, -s * 0.6) << c + QPointF(s, s * 0.6) << c + QPointF(s, -s * 0.6)
            << c + QPointF(-s, s * 0.6);
    else
        bow << c + QPointF(-s * 0.6, -s) << c + QPointF(s * 0.6, s) << c + QPointF(-s * 0.6, s)
            << c + QPointF(s * 0.6, -s);
    painter.drawPolygon(bow);
}

void drawCompressor(QPainter &painter, QPointF c, double s)
{
    // Trapezoid narrowing towards the discharge.
    QPolygonF body;
    body << c + QPointF(-s, -s) << c + QPointF(s, -s * 0.45) << c + QPointF(s, s * 0.45) << c + QPointF(-s, s);
    painter.drawPolygon(body);
}

void drawInstrument(QPainter &painter, QPointF c, const QString &tag, const QFont &font)
{
    painter.drawEllipse(c, 9, 9);
    painter.drawLine(c + QPointF(-9, 0), c + QPointF(9, 0));
    painter.save();
    painter.setPen(kInkText);
    drawMarkup(painter, c + QPointF(0, -2), tag, font, Center, Baseline);
    painter.restore();
}

void flowArrow(QPainter &painter, QPointF from, QPointF to)
{
    painter.drawLine(from, to);
    arrowHead(painter, to, from, 8, 3);
}

void polyline(QPainter &painter, std::initializer_list<QPointF> pts)
{
    QPolygonF poly;
    for (const QPointF &p : pts)
        poly << p;
    painter.drawPolyline(poly);
}

// A tray column; returns the y of the first and the last tray.
std::pair<double, double> drawColumn(QPainter &painter, QRectF body, int trays)
{
    const double r = body.width() / 2;
    QPainterPath shell;
    shell.addRoundedRect(body, r, r * 0.9);
    painter.drawPath(shell);
    const double top = body.top() + r * 1.1, bottom = body.bottom() - r * 1.3;
    const double weir = body.width() * 0.25;
    for (int i = 0; i < trays; ++i) {
        const double y = top + (bottom - top) * i / (trays - 1);
        // Segmental trays with their downcomers on alternate sides.
        if (i % 2 == 0) {
            painter.drawLine(QPointF(body.left(), y), QPointF(body.right() - weir, y));
            painter.drawLine(QPointF(body.right() - weir, y), QPointF(body.right() - weir, y - 5));
        } else {
            painter.drawLine(QPointF(body.left() + weir, y), QPointF(body.right(), y));
            painter.drawLine(QPointF(body.left() + weir, y), QPointF(body.left() + weir, y - 5));
        }
    }
    return {top, bottom};
}

void tagText(QPainter &painter, QPointF at, const QString &text, HAlign h = Center, VAlign v = Top)
{
    painter.save();
    painter.setPen(kInkText);
    drawMarkup(painter, at, text, makeFont(kSans, 10), h, v);
    painter.restore();
}

void drawFlowSheet(QPainter &painter)
{
    painter.setPen(inkPen());
    painter.setBrush(Qt::NoBrush);

    // Column T-101 in the strip left of the grid.
    const QRectF col(58, 226, 42, 300);
    const double cx = col.center().x();
    drawColumn(painter, col, 16);
    tagText(painter, {col.left() - 6, col.top() + 30}, QStringLiteral("T-101"), Right, Middle);

    // Feed through the preheater E-101 onto the middle tray.
    const QPointF e101(22, 392);
    flowArrow(painter, QPointF(0, 330), QPointF(e101.x(), 330));
    tagText(painter, {3, 325}, QStringLiteral("FEED"), Left, Baseline);
    painter.drawLine(QPointF(e101.x(), 330), e101 + QPointF(0, -11));
    drawExchanger(painter, e101, 11);
    tagText(painter, e101 + QPointF(0, 16), QStringLiteral("E-101"));
    polyline(painter, {e101 + QPointF(0, 11), QPointF(e101.x(), 425), QPointF(44, 425)});
    flowArrow(painter, QPointF(44, 425), QPointF(col.left(), 425));
    drawValve(painter, QPointF(e101.x(), 360), 4.5, true);

    // Overhead: vapour to the condenser E-102, reflux drum V-101, pump P-101,
    // reflux back onto the top tray, distillate away to the right.
    const QPointF e102(160, 148);
    polyline(painter, {QPointF(cx, col.top()), QPointF(cx, 128), QPointF(e102.x(), 128)});
    painter.drawLine(QPointF(e102.x(), 128), e102 + QPointF(0, -13));
    drawExchanger(painter, e102, 13);
    tagText(painter, e102 + QPointF(-24, -4), QStringLiteral("E-102"), Right, Baseline);
    flowArrow(painter, e102 + QPointF(-38, 4), e102 + QPointF(-21, 4));
    tagText(painter, e102 + QPointF(-40, 8), QStringLiteral("cw"), Right, Baseline);

    const QRectF drum(132, 170, 72, 26);
    painter.drawLine(e102 + QPointF(0, 13), QPointF(e102.x(), drum.top()));
    painter.drawRoundedRect(drum, 13, 13);
    painter.drawLine(QPointF(drum.left() + 14, drum.bottom() - 8), QPointF(drum.right() - 14, drum.bottom() - 8));
    tagText(painter, {drum.left() + 26, drum.bottom() + 3}, QStringLiteral("V-101"), Center, Top);

    const QPointF p101(236, 206);
    polyline(painter, {QPointF(drum.right() - 12, drum.bottom()), QPointF(drum.right() - 12, p101.y()),
                       p101 + QPointF(-8, 0)});
    drawPump(painter, p101, 8);
    tagText(painter, p101 + QPointF(14, 4), QStringLiteral("P-101"), Left, Top);
    polyline(painter, {p101 + QPointF(11, -8), QPointF(262, p101.y() - 8), QPointF(262, 160)});
    polyline(painter, {QPointF(262, 160), QPointF(262, 112), QPointF(112, 112), QPointF(112, 236)});
    flowArrow(painter, QPointF(112, 236), QPointF(col.right(), 236));
    drawValve(painter, QPointF(190, 112), 4.5);
    drawInstrument(painter, QPointF(222, 160), QStringLiteral("LC"), makeFont(kSans, 7));
    QPen signal = inkPen(1.0);
    signal.setStyle(Qt::DotLine);
    painter.setPen(signal);
    polyline(painter, {QPointF(213, 160), QPointF(drum.right() - 6, 172)});
    polyline(painter, {QPointF(222, 151), QPointF(222, 122), QPointF(190, 122), QPointF(190, 117)});
    painter.setPen(inkPen());
    polyline(painter, {QPointF(262, 160), QPointF(280, 160), QPointF(280, 206)});
    flowArrow(painter, QPointF(280, 206), QPointF(300, 206));
    tagText(painter, {303, 206}, QStringLiteral("DISTILLATE"), Left, Middle);

    // Bottoms: kettle reboiler E-103, pump P-102, cooler E-104 along the
    // bottom edge.
    const QRectF reb(96, 540, 62, 22);
    polyline(painter, {QPointF(cx, col.bottom()), QPointF(cx, 551), QPointF(reb.left(), 551)});
    painter.drawRoundedRect(reb, 9, 9);
    for (int i = 1; i <= 2; ++i)
        painter.drawLine(QPointF(reb.left() + 10, reb.top() + 7.3 * i), QPointF(reb.right() - 18, reb.top() + 7.3 * i));
    polyline(painter, {QPointF(reb.center().x() + 6, reb.top()), QPointF(reb.center().x() + 6, 510), QPointF(112, 510)});
    flowArrow(painter, QPointF(112, 510), QPointF(col.right(), 510));
    tagText(painter, {reb.center().x(), reb.bottom() + 3}, QStringLiteral("E-103"));
    tagText(painter, {reb.right() - 6, reb.top() - 22}, QStringLiteral("steam"), Left, Baseline);
    flowArrow(painter, QPointF(reb.right() - 6, reb.top() - 18), QPointF(reb.right() - 6, reb.top()));

    const QPointF p102(196, 584);
    polyline(painter, {QPointF(reb.right(), 556), QPointF(172, 556), QPointF(172, p102.y()), p102 + QPointF(-8, 0)});
    drawPump(painter, p102, 8);
    tagText(painter, p102 + QPointF(-12, -10), QStringLiteral("P-102"), Right, Baseline);
    const QPointF e104(262, 576);
    polyline(painter, {p102 + QPointF(11, -8), e104 + QPointF(-11, 0)});
    drawExchanger(painter, e104, 11);
    tagText(painter, e104 + QPointF(0, -14), QStringLiteral("E-104"), Center, Baseline);
    drawValve(painter, QPointF(300, 576), 4.5);
    flowArrow(painter, e104 + QPointF(11, 0), QPointF(372, 576));
    tagText(painter, {376, 576}, QStringLiteral("BOTTOMS"), Left, Middle);

    // Side stream along the band between the two halves of the grid:
    // pump P-103, heater E-105, flash drum V-102, compressor K-101.
    const double band = 390;
    const QPointF p103(150, band + 4);
    polyline(painter, {QPointF(col.right(), 372), QPointF(118, 372), QPointF(118, band + 4), p103 + QPointF(-8, 0)});
    drawPump(painter, p103, 8);
    tagText(painter, p103 + QPointF(0, 14), QStringLiteral("P-103"));
    const QPointF e105(236, band);
    polyline(painter, {p103 + QPointF(11, -8), QPointF(e105.x() - 13, band - 4)});
    drawExchanger(painter, e105, 13);
    tagText(painter, e105 + QPointF(0, 17), QStringLiteral("E-105"));
    const QRectF flash(318, band - 30, 28, 56);
    flowArrow(painter, e105 + QPointF(13, 0), QPointF(flash.left(), band));
    painter.drawRoundedRect(flash, 14, 12);
    tagText(painter, {flash.right() + 4, flash.bottom() - 6}, QStringLiteral("V-102"), Left, Baseline);
    // Vapour to the compressor, liquid to storage.
    const QPointF k101(430, band - 8);
    polyline(painter, {QPointF(flash.center().x(), flash.top()), QPointF(flash.center().x(), band - 38),
                       QPointF(380, band - 38), QPointF(380, band - 8), QPointF(k101.x() - 12, band - 8)});
    drawCompressor(painter, k101, 12);
    tagText(painter, k101 + QPointF(0, -16), QStringLiteral("K-101"), Center, Baseline);
    flowArrow(painter, k101 + QPointF(12, 0), QPointF(560, band - 8));
    tagText(painter, {560, band - 12}, QStringLiteral("GAS"), Right, Baseline);
    polyline(painter, {QPointF(flash.center().x(), flash.bottom()), QPointF(flash.center().x(), band + 36),
                       QPointF(470, band + 36)});
    drawValve(painter, QPointF(400, band + 36), 4.5);
    flowArrow(painter, QPointF(470, band + 36), QPointF(560, band + 36));
    tagText(painter, {560, band + 32}, QStringLiteral("LIQUID"), Right, Baseline);
    drawInstrument(painter, QPointF(flash.right() + 22, band - 4), QStringLiteral("PC"), makeFont(kSans, 7));
}

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

// Shell-and-tube exchanger in elevation: channel and floating heads, tube
// sheets, bundle, baffles, nozzles with flanges.
void drawShellAndTube(QPainter &painter, QRectF shell)
{
    painter.setPen(inkPen(1.3));
    painter.setBrush(Qt::NoBrush);
    const double h = shell.height();
    painter.drawRect(shell);
    QPainterPath heads;
    heads.moveTo(shell.left(), shell.top());
    heads.cubicTo(shell.left() - h * 0.55, shell.top(), shell.left() - h * 0.55, shell.bottom(), shell.left(),
                  shell.bottom());
    heads.moveTo(shell.right(), shell.top());
    heads.cubicTo(shell.right() + h * 0.55, shell.top(), shell.right() + h * 0.55, shell.bottom(), shell.right(),
                  shell.bottom());
    painter.drawPath(heads);
    // Tube sheets, then the bundle between them.
    const double inset = 14;
    for (double x : {shell.left() + inset, shell.right() - inset})
        painter.drawLine(QPointF(x, shell.top() - 4), QPointF(x, shell.bottom() + 4));
    painter.setPen(inkPen(0.8));
    for (int i = 1; i <= 5; ++i) {
        const double y = shell.top() + h * i / 6.0;
        painter.drawLine(QPointF(shell.left() + inset, y), QPointF(shell.right() - inset, y));
    }
    // Segmental baffles, alternately from the top and the bottom.
    painter.setPen(inkPen(1.1));
    const int baffles = 6;
    for (int i = 1; i <= baffles; ++i) {
        const double x = shell.left() + inset + (shell.width() - 2 * inset) * i / (baffles + 1);
        if (i % 2)
            painter.drawLine(QPointF(x, shell.top()), QPointF(x, shell.bottom() - h * 0.25));
        else
            painter.drawLine(QPointF(x, shell.top() + h * 0.25), QPointF(x, shell.bottom()));
    }
    painter.setPen(inkPen(1.3));
    const auto nozzle = [&](QPointF base, double dir, const QString &text, bool in) {
        const QPointF tip = base + QPointF(0, dir * 16);
        painter.drawLine(base + QPointF(-5, 0), tip + QPointF(-5, 0));
        painter.drawLine(base + QPointF(5, 0), tip + QPointF(5, 0));
        painter.drawLine(tip + QPointF(-9, 0), tip + QPointF(9, 0));
        const QPointF far = tip + QPointF(0, dir * 14);
        if (in)
            flowArrow(painter, far, tip + QPointF(0, dir * 1));
        else
            flowArrow(painter, tip + QPointF(0, dir * 1), far);
        tagText(painter, far + QPointF(8, dir * -4), text, Left, Middle);
    };
    nozzle({shell.left() + 40, shell.top()}, -1, QStringLiteral("shell in"), true);
    nozzle({shell.right() - 40, shell.bottom()}, 1, QStringLiteral("shell out"), false);
    nozzle({shell.left() - h * 0.2, shell.bottom() - 2}, 1, QStringLiteral("tubes in"), true);
    nozzle({shell.right() + h * 0.2, shell.top() + 2}, -1, QStringLiteral("tubes out"), false);
    tagText(painter, {shell.center().x(), shell.bottom() + 6}, QStringLiteral("E-106  BEU"), Center, Top);
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

}  // namespace

QImage picture::background()
{
    QImage img = newCanvas(800, 600, kGround);
    QPainter painter(&img);
    beginPainting(painter);

    // Drafting paper.
    painter.setPen(QPen(kPaperGrid, 1.0));
    for (int x = 10; x < 800; x += 20)
        painter.drawLine(QPointF(x + 0.5, 0), QPointF(x + 0.5, 600));
    for (int y = 10; y < 600; y += 20)
        painter.drawLine(QPointF(0, y + 0.5), QPointF(800, y + 0.5));

    drawEquations(painter);
    drawFlowSheet(painter);
    drawCompressibilityChart(painter, QRectF(620, 236, 160, 124));
    drawPVSketch(painter, QRectF(575, 10, 96, 72));
    drawPTSketch(painter, QRectF(300, 64, 136, 66));
    drawShellAndTube(painter, QRectF(200, 262, 250, 54));
    drawMcCabeThiele(painter, QRectF(420, 444, 110, 110));
    drawBoilingDiagram(painter, QRectF(250, 450, 120, 100));
    return img;
}

}  // namespace zolvant::drawing
