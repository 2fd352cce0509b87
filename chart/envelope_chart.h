#pragma once
// The phase envelopes of a mixture as a chart, P against T, one curve per
// equation in the isotherm window's styles, the critical points, the
// cricondenbars and cricondentherms marked: the picture `zolvant-cli
// envelope --plot` writes and the Mixture Phases window shows.

#include <QString>

#include <array>
#include <optional>
#include <vector>

#include "chart/chart.h"
#include "solver/grid.h"
#include "solver/mixture_model.h"

namespace zolvant::plot {

inline constexpr double kKelvinOffset = 273.15;

struct EnvelopeChartOptions {
    bool celsius = false;                       // temperatures in °C instead of K
    std::array<bool, kBlocks> shown{true, true, true, true, true, true};  // per block
    std::optional<ExtremePoint> state;          // a solved state (K, bar), marked apart
};

// One series per shown report, in the reports' order, even where no
// envelope was traced (the window's check boxes index them).
Chart envelopeChart(const std::vector<MixtureReport>& reports, const QString& title,
                    const EnvelopeChartOptions& options = {});

// "Phase envelopes of Methane 0.7, Ethane 0.3": the title of the picture.
QString envelopeTitle(const QString& mixture);

inline constexpr int kEnvelopePictureWidth = 960, kEnvelopePictureHeight = 600;

// PNG or SVG of the chart at that size, whole or not at all; "" or why it failed.
QString writeEnvelopePicture(const std::vector<MixtureReport>& reports, const QString& mixture, const QString& path);

}  // namespace zolvant::plot
