// The plant drawings of the background: a distillation column's flow sheet
// and a shell-and-tube exchanger, from small equipment symbols.

#include <QPainterPath>
#include <QPolygonF>

#include <initializer_list>
#include <utility>

#include "tools/pictures/background.h"
#include "tools/pictures/drawing.h"
#include "tools/pictures/markup.h"

namespace zolvant::drawing {
namespace {

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

}  // namespace

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

}  // namespace zolvant::drawing
