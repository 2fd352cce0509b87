// Figure 2: P-V diagram of a pure fluid (van der Waals, Maxwell-constructed
// two-phase lines). Pressure is linear. The volume axis is spaced by
// ln(V - v0): in true proportion the liquid side is a sliver beside a long
// vapour side, and the stretch keeps both readable while every curve keeps
// its shape (steep liquid branches, hyperbola-like vapour branches, the flat
// inflection at C).

#include <array>
#include <cmath>
#include <vector>

#include "tools/pictures/drawing.h"
#include "tools/pictures/figures.h"
#include "tools/pictures/markup.h"
#include "tools/pictures/vdw_fluid.h"

namespace zolvant::drawing {

namespace {

// Moves label positions (sorted top to bottom) apart to at least `gap`,
// keeping them as near their wishes as possible.
std::vector<double> spreadApart(std::vector<double> y, double gap)
{
    for (int pass = 0; pass < 200; ++pass) {
        bool moved = false;
        for (std::size_t i = 1; i < y.size(); ++i) {
            const double overlap = gap - (y[i] - y[i - 1]);
            if (overlap > 1e-6) {
                y[i - 1] -= overlap / 2;
                y[i] += overlap / 2;
                moved = true;
            }
        }
        if (!moved)
            break;
    }
    return y;
}

}  // namespace

QImage picture::fig2()
{
    QImage img = newCanvas(643, 458, kWhite);
    QPainter painter(&img);
    beginPainting(painter);

    const QPointF origin(66, 412);
    const double xEnd = 624, yEnd = 22;
    const double v0 = 0.30, vMin = 0.42, vMax = 6.0;
    const double xLeft = origin.x() + 6, xRight = 560;
    const double pMax = 1.78;
    const double sy = (origin.y() - 40) / pMax;
    const auto U = [&](double v) { return std::log(v - v0); };
    const auto X = [&](double v) { return xLeft + (U(v) - U(vMin)) / (U(vMax) - U(vMin)) * (xRight - xLeft); };
    const auto V = [&](double x) {
        return v0 + std::exp(U(vMin) + (x - xLeft) / (xRight - xLeft) * (U(vMax) - U(vMin)));
    };
    const auto Y = [&](double p) { return origin.y() - p * sy; };
    const auto at = [&](double v, double p) { return QPointF(X(v), Y(p)); };

    drawAxes(painter, origin, xEnd, yEnd);
    const QFont varFont = makeFont(kSerif, 22);
    const QFont subFont = makeFont(kSerif, 20);
    drawMarkup(painter, {origin.x() - 14, yEnd + 8}, QStringLiteral("*P*"), varFont, Right, Top);
    drawMarkup(painter, {xEnd - 4, origin.y() + 12}, QStringLiteral("*V*"), varFont, Center, Top);

    const std::array<double, 5> temps{kT1, kT2, 1.0, kT3, kT4};
    const Saturation s3 = vdwSaturation(kT3);
    const Saturation s4 = vdwSaturation(kT4);
    const Saturation sA = vdwSaturation(kDomeBottom);

    // Critical pressure and volume marked on the axes.
    painter.setPen(dashedPen(1.2));
    painter.drawLine(at(1.0, 1.0), QPointF(origin.x(), Y(1.0)));
    painter.drawLine(at(1.0, 1.0), QPointF(X(1.0), origin.y()));
    drawMarkup(painter, {origin.x() - 8, Y(1.0)}, QStringLiteral("*P*_c"), subFont, Right, Middle);
    drawMarkup(painter, {X(1.0), origin.y() + 12}, QStringLiteral("*V*_c"), subFont, Center, Top);

    // J and K end the two-phase line of T3; N and P lie straight above them
    // on T2, reached by heating the saturated liquid J and the saturated
    // vapour K at constant volume.
    const double vJ = s3.vl, vK = s3.vg;
    const QPointF J = at(vJ, s3.p), K = at(vK, s3.p);
    const QPointF N = at(vJ, vdwP(vJ, kT2)), P = at(vK, vdwP(vK, kT2));
    painter.drawLine(QPointF(J.x(), origin.y()), N);
    painter.drawLine(QPointF(K.x(), origin.y()), P);

    // Saturation dome A-C-B, sampled densely near its flat top.
    std::vector<QPointF> left, right;
    const int n = 240;
    for (int i = 0; i <= n; ++i) {
        const double s = 1.0 - double(i) / n;
        const Saturation sat = vdwSaturation(1.0 - (1.0 - kDomeBottom) * s * s);
        left.push_back(at(sat.vl, sat.p));
        right.push_back(at(sat.vg, sat.p));
    }
    std::vector<QPointF> dome(left);
    dome.insert(dome.end(), right.rbegin() + 1, right.rend());
    painter.setPen(solidPen(2.2));
    painter.drawPath(pathThrough(dome));

    // Isotherms, clipped to the drawing area.
    painter.save();
    painter.setClipRect(QRectF(xLeft - 1, Y(pMax) - 1, xRight - xLeft + 2, origin.y() - Y(pMax) + 1));
    std::array<QPointF, 5> ends;
    for (std::size_t k = 0; k < temps.size(); ++k) {
        const double t = temps[k];
        const Saturation sat = vdwSaturation(t);
        std::vector<QPointF> pts;
        for (double x = xLeft; x <= xRight + 0.01; x += 0.5) {
            const double p = vdwIsothermP(V(x), t, sat);
            pts.push_back(QPointF(x, Y(std::min(p, pMax * 1.5))));
        }
        ends[k] = pts.back();
        painter.setPen(solidPen(k == 2 ? 1.9 : 1.5));
        painter.drawPath(pathThrough(pts));
    }
    painter.restore();

    // Isotherm names in a column at the right ends, with short leaders where
    // the converging curves leave too little room.
    const std::array<QString, 5> names{QStringLiteral("*T*_1"), QStringLiteral("*T*_2"), QStringLiteral("*T*_c"),
                                       QStringLiteral("*T*_3"), QStringLiteral("*T*_4")};
    std::vector<double> wish;
    for (const QPointF &e : ends)
        wish.push_back(e.y());
    const std::vector<double> placed = spreadApart(wish, 19);
    painter.setPen(solidPen(0.9));
    for (std::size_t k = 0; k < names.size(); ++k) {
        const QPointF label(xRight + 22, placed[k]);
        painter.drawLine(ends[k] + QPointF(3, 0), label + QPointF(-4, 0));
        drawMarkup(painter, label, names[k], subFont, Left, Middle);
    }

    const QFont pointFont = makeFont(kSans, 17);
    const QPointF C = at(1.0, 1.0), A = at(sA.vl, sA.p), B = at(sA.vg, sA.p);
    for (const QPointF &p : {J, K, N, P, C, A, B})
        dot(painter, p, 3.4);
    drawMarkup(painter, C + QPointF(0, -10), QStringLiteral("C"), pointFont, Center, Baseline);
    drawMarkup(painter, A + QPointF(-8, 4), QStringLiteral("A"), pointFont, Right, Top);
    drawMarkup(painter, B + QPointF(8, 4), QStringLiteral("B"), pointFont, Left, Top);
    drawMarkup(painter, J + QPointF(7, 7), QStringLiteral("J"), pointFont, Left, Top);
    drawMarkup(painter, K + QPointF(-7, 7), QStringLiteral("K"), pointFont, Right, Top);
    drawMarkup(painter, N + QPointF(-8, -2), QStringLiteral("N"), pointFont, Right, Middle);
    drawMarkup(painter, P + QPointF(7, -8), QStringLiteral("P"), pointFont, Left, Baseline);

    // Regions. Dashed lines give way to the label inside the dome.
    const QFont regionFont = makeFont(kSans, 17);
    const QColor ground = kWhite;
    drawMarkup(painter, {0.5 * (J.x() + K.x()), Y(0.5 * (s3.p + s4.p))}, QStringLiteral("Liquid and vapor"),
               regionFont, Center, Middle, &ground);
    drawMarkup(painter, at(0.47, 0.62), QStringLiteral("Liquid"), regionFont, Center, Middle);
    // The vapour region is the thin wedge between the saturated-vapour branch
    // and the T3 isotherm: the label follows the wedge's slant.
    const auto domeYAt = [&](double x) {
        for (std::size_t i = 1; i < right.size(); ++i) {
            const QPointF a = right[i - 1], b = right[i];
            if ((a.x() - x) * (b.x() - x) <= 0 && a.x() != b.x())
                return a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x());
        }
        return origin.y();
    };
    const auto wedgeMid = [&](double x) { return QPointF(x, 0.5 * (domeYAt(x) + Y(vdwP(V(x), kT3)))); };
    const double xv = X(3.25);
    const QPointF w0 = wedgeMid(xv - 18), w1 = wedgeMid(xv + 18);
    painter.save();
    painter.translate(wedgeMid(xv));
    painter.rotate(std::atan2(w1.y() - w0.y(), w1.x() - w0.x()) * 180.0 / M_PI);
    drawMarkup(painter, {0, 0}, QStringLiteral("Vapor"), makeFont(kSans, 13), Center, Middle);
    painter.restore();
    drawMarkup(painter, at(3.4, 1.45), QStringLiteral("Gas"), regionFont, Center, Middle);
    return img;
}

}  // namespace zolvant::drawing
