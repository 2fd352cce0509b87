#include "tools/pictures/markup.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace zolvant::drawing {

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
                // Without this check the index wraps round to the start and
                // the label is read again for ever.
                if (end < 0)
                    throw MarkupError(QStringLiteral("label \"%1\": the '{' at character %2 is never closed")
                                          .arg(m)
                                          .arg(i + 2)
                                          .toStdString());
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

QFont makeFont(const QString &family, double px)
{
    QFont f(family);
    f.setPixelSize(std::max(1, int(std::lround(px))));
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

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

QRectF drawMarkup(QPainter &painter, QPointF at, const QString &markup, const QFont &base,
                  HAlign h, VAlign v, const QColor *knockout)
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

}  // namespace zolvant::drawing
