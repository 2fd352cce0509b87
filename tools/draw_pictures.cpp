// Draws the calculator's pictures: the three phase-diagram figures of the
// help windows and the main window's background. Run by the build; writes
// fig1.bmp, fig2.bmp, fig3.bmp and background.bmp (24-bit, uncompressed) into
// the folder given, and PNG copies as well with --png (for looking at them).
//
// The curves of the P-V and P-T figures come from the reduced van der Waals
// equation with Maxwell's equal-area rule, so the isotherms, the saturation
// dome, the vapour-pressure curve and the constant-volume lines of the two
// figures belong to one and the same fluid and agree with each other.

#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QStringList>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// Reduced van der Waals fluid: Pr = 8 Tr / (3 Vr - 1) - 3 / Vr^2.

double vdwP(double v, double t) { return 8.0 * t / (3.0 * v - 1.0) - 3.0 / (v * v); }

// Slope of an isochore in the P-T plane (the equation is linear in T).
double vdwIsochoreSlope(double v) { return 8.0 / (3.0 * v - 1.0); }

struct Saturation {
    double p;   // vapour pressure
    double vl;  // saturated liquid volume
    double vg;  // saturated vapour volume
};

double bisect(double lo, double hi, const std::function<double(double)> &f)
{
    double flo = f(lo);
    for (int i = 0; i < 200; ++i) {
        const double mid = 0.5 * (lo + hi);
        const double fm = f(mid);
        if ((fm > 0) == (flo > 0)) {
            lo = mid;
            flo = fm;
        } else {
            hi = mid;
        }
    }
    return 0.5 * (lo + hi);
}

// Below the critical temperature: the spinodal volumes bound the liquid and
// vapour branches, and the vapour pressure is the one whose horizontal line
// cuts equal areas from the loop.
Saturation vdwSaturation(double t)
{
    if (t >= 1.0 - 1e-9)
        return {1.0, 1.0, 1.0};
    // dP/dV = 0  <=>  4 t V^3 = (3 V - 1)^2; one root on each side of V = 1.
    const auto g = [t](double v) { return 4.0 * t * v * v * v - (3.0 * v - 1.0) * (3.0 * v - 1.0); };
    const double s1 = bisect(1.0 / 3.0 + 1e-12, 1.0, g);
    const double s2 = bisect(1.0, 1e4, g);
    const auto volumeOn = [t](double p, double lo, double hi) {
        return bisect(lo, hi, [t, p](double v) { return vdwP(v, t) - p; });
    };
    const auto areaExcess = [&](double p) {
        const double vl = volumeOn(p, 1.0 / 3.0 + 1e-12, s1);
        const double vg = volumeOn(p, s2, 1e6);
        return 8.0 * t / 3.0 * std::log((3.0 * vg - 1.0) / (3.0 * vl - 1.0)) + 3.0 / vg - 3.0 / vl
               - p * (vg - vl);
    };
    const double p = bisect(std::max(vdwP(s1, t), 1e-9), vdwP(s2, t), areaExcess);
    return {p, volumeOn(p, 1.0 / 3.0 + 1e-12, s1), volumeOn(p, s2, 1e6)};
}

// The isotherm as drawn: the stable branches joined by the flat two-phase
// line below the critical temperature.
double vdwIsothermP(double v, double t, const Saturation &sat)
{
    if (t < 1.0 && v > sat.vl && v < sat.vg)
        return sat.p;
    return vdwP(v, t);
}

// ---------------------------------------------------------------------------
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

// ---------------------------------------------------------------------------
// Text with italics, subscripts and superscripts.
//
// Mark-up: '*' toggles italic; '_x' or '_{xy}' sets x or xy as a subscript;
// '^x' or '^{xy}' as a superscript. Everything else is drawn as it stands.

struct Piece {
    QString text;
    bool italic;
    int shift;  // 0 on the line, -1 subscript, +1 superscript
};

std::vector<Piece> parseMarkup(const QString &m)
{
    std::vector<Piece> pieces;
    bool italic = false;
    QString cur;
    const auto flush = [&] {
        if (!cur.isEmpty())
            pieces.push_back({cur, italic, 0});
        cur.clear();
    };
    for (qsizetype i = 0; i < m.size(); ++i) {
        const QChar c = m.at(i);
        if (c == u'*') {
            flush();
            italic = !italic;
        } else if ((c == u'_' || c == u'^') && i + 1 < m.size()) {
            flush();
            QString group;
            if (m.at(i + 1) == u'{') {
                const qsizetype end = m.indexOf(u'}', i + 2);
                group = m.mid(i + 2, end - i - 2);
                i = end;
            } else {
                group = m.at(i + 1);
                ++i;
            }
            pieces.push_back({group, false, c == u'_' ? -1 : 1});
        } else {
            cur += c;
        }
    }
    flush();
    return pieces;
}

// Sizes in pixels: the pictures must come out the same whatever the screen.
QFont makeFont(const QString &family, double px)
{
    QFont f(family);
    f.setPixelSize(std::max(1, int(std::lround(px))));
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

const QString kSans = QStringLiteral("Liberation Sans");
const QString kSerif = QStringLiteral("Liberation Serif");

QFont pieceFont(const QFont &base, const Piece &p)
{
    QFont f = base;
    if (p.shift != 0)
        f.setPixelSize(std::max(1, int(std::lround(base.pixelSize() * 0.68))));
    f.setItalic(p.italic);
    return f;
}

double pieceRise(const QFont &base, const Piece &p)
{
    if (p.shift < 0)
        return -0.22 * base.pixelSize();
    if (p.shift > 0)
        return 0.38 * base.pixelSize();
    return 0.0;
}

struct PlacedPiece {
    Piece piece;
    QFont font;
    double x;
};

// Lays the pieces out from x = 0. A superscript right after a subscript (or
// the other way round) stands above it, as in P_r^sat, not after it.
std::vector<PlacedPiece> layoutMarkup(const QString &markup, const QFont &base, double *width)
{
    std::vector<PlacedPiece> placed;
    double x = 0, scriptStart = 0, scriptWidth = 0;
    int lastShift = 0;
    for (const Piece &p : parseMarkup(markup)) {
        const QFont f = pieceFont(base, p);
        const double w = QFontMetricsF(f).horizontalAdvance(p.text);
        if (p.shift != 0 && lastShift == -p.shift) {
            placed.push_back({p, f, scriptStart});
            x = scriptStart + std::max(scriptWidth, w);
            lastShift = 2;  // a third script starts afresh
            continue;
        }
        placed.push_back({p, f, x});
        scriptStart = x;
        scriptWidth = w;
        x += w;
        lastShift = p.shift;
    }
    if (width)
        *width = x;
    return placed;
}

double markupWidth(const QString &markup, const QFont &base)
{
    double w = 0;
    layoutMarkup(markup, base, &w);
    return w;
}

enum HAlign { Left, Center, Right };
enum VAlign { Top, Middle, Baseline };

// Draws the mark-up with its anchor at `at`: horizontally by `h`; vertically
// the cap height's top, middle or the baseline at `at`. With `knockout` the
// ground is cleared behind the text first, so a dashed line passing behind
// it is interrupted rather than struck through.
QRectF drawMarkup(QPainter &painter, QPointF at, const QString &markup, const QFont &base,
                  HAlign h = Left, VAlign v = Baseline, const QColor *knockout = nullptr)
{
    const QFontMetricsF fm(base);
    double width = 0;
    const std::vector<PlacedPiece> placed = layoutMarkup(markup, base, &width);
    double x = at.x();
    if (h == Center)
        x -= width / 2;
    else if (h == Right)
        x -= width;
    double baseline = at.y();
    if (v == Top)
        baseline += fm.capHeight();
    else if (v == Middle)
        baseline += fm.capHeight() / 2;
    const QRectF box(x - 2, baseline - fm.ascent() - 1, width + 4, fm.ascent() + fm.descent() + 2);
    if (knockout)
        painter.fillRect(box, *knockout);
    painter.save();
    for (const PlacedPiece &p : placed) {
        painter.setFont(p.font);
        painter.drawText(QPointF(x + p.x, baseline - pieceRise(base, p.piece)), p.piece.text);
    }
    painter.restore();
    return box;
}

// A stacked fraction starting at `at`, on the baseline of the text around
// it; returns its width.
double drawFraction(QPainter &painter, QPointF at, const QString &num, const QString &den, const QFont &base)
{
    const double w = std::max(markupWidth(num, base), markupWidth(den, base)) + 4;
    const double x = at.x();
    const double axis = at.y() - QFontMetricsF(base).capHeight() * 0.45;
    painter.drawLine(QPointF(x, axis), QPointF(x + w, axis));
    drawMarkup(painter, {x + w / 2, axis - 3}, num, base, Center, Baseline);
    drawMarkup(painter, {x + w / 2, axis + 2}, den, base, Center, Top);
    return w;
}

// ---------------------------------------------------------------------------
// Line-work helpers.

void arrowHead(QPainter &painter, QPointF tip, QPointF from, double length = 11, double halfWidth = 4)
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

QPen solidPen(double width, const QColor &c = Qt::black)
{
    QPen pen(c, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

QPen dashedPen(double width, const QColor &c = Qt::black)
{
    QPen pen(c, width);
    pen.setCapStyle(Qt::FlatCap);
    // The pattern counts in pen widths: 6.5 px dashes, 4.5 px gaps at any width.
    pen.setDashPattern({6.5 / width, 4.5 / width});
    return pen;
}

void dot(QPainter &painter, QPointF at, double r = 3.2)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawEllipse(at, r, r);
    painter.restore();
}

// Axes with arrowheads, drawn from the origin to the two ends.
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

const QColor kWhite(255, 255, 255);

// ---------------------------------------------------------------------------
// Figure 1: P-T diagram of a pure substance (not water: the fusion curve
// leans to the right). The curves follow the Clausius-Clapeyron form
// ln P = a - b/T, the sublimation curve steeper than the vaporization curve at
// the triple point, its latent heat being the larger.

QImage drawFigure1()
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

// ---------------------------------------------------------------------------
// Figure 2: P-V diagram of a pure fluid (van der Waals, Maxwell-constructed
// two-phase lines). Pressure is linear. The volume axis is spaced by
// ln(V - v0): in true proportion the liquid side is a sliver beside a long
// vapour side, and the stretch keeps both readable while every curve keeps
// its shape (steep liquid branches, hyperbola-like vapour branches, the flat
// inflection at C).

// The isotherms shared by figures 2 and 3: T1 > T2 > Tc > T3 > T4.
constexpr double kT1 = 1.30, kT2 = 1.06, kT3 = 0.95, kT4 = 0.81;
constexpr double kDomeBottom = 0.78;  // temperature of A and B

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

QImage drawFigure2()
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

// ---------------------------------------------------------------------------
// Figure 3: the vapour-pressure curve in the P-T plane with constant-volume
// lines of the same van der Waals fluid. Its isochores are straight lines;
// the critical one continues the curve's slope through C.

QImage drawFigure3()
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

// ---------------------------------------------------------------------------
// Background: a pale green collage of a chemical engineer's drawings. It lies
// behind bold labels and white boxes over the whole window, so every stroke
// stays light. The larger drawings sit where the window leaves the ground
// open: the strip left of the result grid (the column), the band between the
// two halves of the grid and the bottom edge (the pipe runs), and the space
// around the input boxes at the top (sketches and equations).

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

QImage drawBackground()
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

bool save(const QImage &picture, const QDir &dir, const QString &name, bool png)
{
    // 24 bits per pixel, uncompressed: the BMP writer keeps RGB888 as it is.
    const QImage out = picture.convertToFormat(QImage::Format_RGB888);
    if (!out.save(dir.filePath(name + QStringLiteral(".bmp")), "BMP"))
        return false;
    return !png || out.save(dir.filePath(name + QStringLiteral(".png")), "PNG");
}

}  // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    QStringList args = app.arguments().mid(1);
    const bool png = args.removeAll(QStringLiteral("--png")) > 0;
    if (args.size() != 1) {
        err << "usage: zolvant-draw-pictures [--png] OUTPUT_FOLDER\n";
        return 2;
    }
    for (const QString &family : {kSans, kSerif}) {
        if (!QFontDatabase::families().contains(family)) {
            err << "zolvant-draw-pictures: font \"" << family << "\" is not installed (fonts-liberation)\n";
            return 1;
        }
    }
    QDir dir(args.front());
    if (!dir.exists() && !QDir().mkpath(dir.path())) {
        err << "zolvant-draw-pictures: cannot create " << dir.path() << "\n";
        return 1;
    }
    const struct {
        const char *name;
        QImage (*draw)();
    } pictures[] = {{"fig1", drawFigure1}, {"fig2", drawFigure2}, {"fig3", drawFigure3}, {"background", drawBackground}};
    for (const auto &p : pictures) {
        if (!save(p.draw(), dir, QString::fromLatin1(p.name), png)) {
            err << "zolvant-draw-pictures: cannot write " << p.name << " into " << dir.path() << "\n";
            return 1;
        }
    }
    return 0;
}
