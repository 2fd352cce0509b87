#pragma once
// A chart taken out of the program: PNG at a scale of its logical size, SVG,
// the clipboard's image. Files are written whole or not at all, by the one
// whole-file writer (report/whole_file.h).

#include <QImage>
#include <QString>

#include "chart/chart.h"

namespace zolvant::plot {

// The chart drawn at `size` logical pixels into an image `scale` times as large.
QImage chartImage(const Chart& chart, QSize size, double scale = 1.0);

// The chart as an SVG document of `size` pixels.
QByteArray chartSvg(const Chart& chart, QSize size);

// Writes PNG (".png") or SVG (".svg", by the name's ending); "" or the reason it failed.
QString writeChartFile(const Chart& chart, const QString& path, QSize size, double scale = 1.0);

}  // namespace zolvant::plot
