#pragma once
// Text with italics, subscripts and superscripts, as the pictures' labels
// are written.
//
// Mark-up: '*' toggles italic; '_x' or '_{xy}' sets x or xy as a subscript;
// '^x' or '^{xy}' as a superscript. Everything else is drawn as it stands.

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <stdexcept>
#include <vector>

namespace zolvant::drawing {

struct Piece {
    QString text;
    bool italic;
    int shift;  // 0 on the line, -1 subscript, +1 superscript

    bool operator==(const Piece &) const = default;
};

// A label that cannot be typeset; what() names the label and the fault.
class MarkupError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws MarkupError for a '{' that is never closed.
std::vector<Piece> parseMarkup(const QString &m);

// Sizes in pixels: the pictures must come out the same whatever the screen.
QFont makeFont(const QString &family, double px);

inline const QString kSans = QStringLiteral("Liberation Sans");
inline const QString kSerif = QStringLiteral("Liberation Serif");

double markupWidth(const QString &markup, const QFont &base);

enum HAlign { Left, Center, Right };
enum VAlign { Top, Middle, Baseline };

// Draws the mark-up with its anchor at `at`: horizontally by `h`; vertically
// the cap height's top, middle or the baseline at `at`. With `knockout` the
// ground is cleared behind the text first, so a dashed line passing behind
// it is interrupted rather than struck through.
QRectF drawMarkup(QPainter &painter, QPointF at, const QString &markup, const QFont &base,
                  HAlign h = Left, VAlign v = Baseline, const QColor *knockout = nullptr);

// A stacked fraction starting at `at`, on the baseline of the text around
// it; returns its width.
double drawFraction(QPainter &painter, QPointF at, const QString &num, const QString &den, const QFont &base);

}  // namespace zolvant::drawing
