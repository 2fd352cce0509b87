#pragma once
// A chart taken out of the program: PNG at a scale of its logical size, SVG,
// the clipboard's image. Files are written whole or not at all (a temporary
// file beside the target, renamed when complete).

#include <QImage>
#include <QString>

#include "ui/plot/chart.h"

namespace zolvant::plot {

// The chart drawn at `size` logical pixels into an image `scale` times as large.
QImage chartImage(const Chart& chart, QSize size, double scale = 1.0);

// The chart as an SVG document of `size` pixels.
QByteArray chartSvg(const Chart& chart, QSize size);

// Writes bytes to path through a temporary file in the same folder that
// replaces the target only when complete: a failure leaves the target as it
// was and no temporary file behind. "" or the reason it failed. Every file
// the windows save goes through it, charts or not.
QString writeWholeFile(const QString& path, const QByteArray& bytes);

// Writes PNG (".png") or SVG (".svg", by the name's ending); "" or the reason it failed.
QString writeChartFile(const Chart& chart, const QString& path, QSize size, double scale = 1.0);

}  // namespace zolvant::plot
