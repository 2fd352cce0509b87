#pragma once
// The isotherm model as a chart: the picture the Isotherms window shows and
// `zolvant-cli isotherm --plot` writes.

#include <array>

#include "chart/chart.h"
#include "solver/isotherm.h"

namespace zolvant::plot {

struct IsothermView {
    std::array<bool, kBlocks> shown{true, true, true, true, true, true};
    bool saturation = true;  // the saturation lines with their volumes
};

// Each equation's colour and line pattern, distinct in colour and in grey.
plot::LineStyle equationStyle(int block);

// The markers' look: the grid's liquid and vapour roots, the cubic's roots.
inline constexpr double kRootMarkerSize = 9.0;

plot::Chart isothermChart(const IsothermModel& model, const IsothermView& view = {});

// The picture's size when none is given (the window's initial plot size).
inline constexpr int kIsothermPictureWidth = 960, kIsothermPictureHeight = 600;

// PNG or SVG of the model at the default size; "" or why it failed.
QString writeIsothermPicture(const IsothermModel& model, const QString& path);

}  // namespace zolvant::plot
