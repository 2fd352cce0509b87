#pragma once
// The parts of the main window's background (background.cpp), all in one
// pale green ink: the plant drawings (background_plant.cpp) and the
// diagrams and equations (background_diagrams.cpp).

#include <QColor>
#include <QPainter>
#include <QPen>
#include <QRectF>

namespace zolvant::drawing {

inline const QColor kGround(0xe8, 0xf5, 0xe8);
inline const QColor kPaperGrid(0xdd, 0xee, 0xdd);
inline const QColor kInk(0xb5, 0xd6, 0xb5);
inline const QColor kInkText(0xa9, 0xcf, 0xa9);

QPen inkPen(double width = 1.3);

// The flow sheet of a distillation column with its pumps, exchangers and
// flash drum, around the column in the strip left of the result grid.
void drawFlowSheet(QPainter &painter);
// Shell-and-tube exchanger in elevation: channel and floating heads, tube
// sheets, bundle, baffles, nozzles with flanges.
void drawShellAndTube(QPainter &painter, QRectF shell);

// A generalised compressibility chart from Peng-Robinson.
void drawCompressibilityChart(QPainter &painter, QRectF plot);
// Small P-V sketch: dome, the critical isotherm and one on either side.
void drawPVSketch(QPainter &painter, QRectF plot);
// Small P-T sketch: sublimation, fusion and vapour-pressure curves.
void drawPTSketch(QPainter &painter, QRectF plot);
// McCabe-Thiele construction: equilibrium curve of constant relative
// volatility, the diagonal, the two operating lines and the stages.
void drawMcCabeThiele(QPainter &painter, QRectF plot);
// Boiling-point diagram of an ideal binary at constant pressure: the bubble
// and dew curves from Raoult's law with Clausius-Clapeyron vapour pressures,
// and one tie line.
void drawBoilingDiagram(QPainter &painter, QRectF plot);
// The equations of state and their companions, around the input boxes.
void drawEquations(QPainter &painter);

}  // namespace zolvant::drawing
