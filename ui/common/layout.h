#pragma once
// Geometry in twips (12 per pixel at 96 DPI), colour numbers, and the fonts
// the windows name, mapped to free metric-compatible faces.

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QtGlobal>
#include <cstdint>

class QWidget;

namespace zolvant::ui {

inline int twips(int t) { return qRound(t / 12.0); }
inline QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twips(left), twips(top), twips(width), twips(height));
}
// Places w at the rectangle given in twips.
void placeTwips(QWidget* w, int left, int top, int width, int height);
// Fixes a window's client area to width x height twips.
void fixClientTwips(QWidget* w, int width, int height);

// A colour number 0x00BBGGRR as a QColor.
inline QColor colourFromNumber(std::uint32_t bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

// Font families the windows name. Arial -> Liberation Sans, Arial Black ->
// Liberation Sans bold, Courier New -> Liberation Mono, MS Sans Serif -> the
// platform's default sans. Sizes in points at 96 DPI.
QFont fontMsSansSerif(double points = 7.8, bool bold = false);
QFont fontArial(double points, bool bold = false);
QFont fontArialBlack(double points);
QFont fontCourierNew(double points, bool bold = false);

}  // namespace zolvant::ui
