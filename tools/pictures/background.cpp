// Background: a pale green collage of a chemical engineer's drawings. It lies
// behind bold labels and white boxes over the whole window, so every stroke
// stays light. The larger drawings sit where the window leaves the ground
// open: the strip left of the result grid (the column), the band between the
// two halves of the grid and the bottom edge (the pipe runs), and the space
// around the input boxes at the top (sketches and equations).

#include "tools/pictures/background.h"
#include "tools/pictures/drawing.h"
#include "tools/pictures/figures.h"

namespace zolvant::drawing {

QPen inkPen(double width)
{
    return solidPen(width, kInk);
}

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
