#pragma once
// The phase envelopes of a mixture as a chart, P against T, one curve per
// equation in the isotherm window's styles, the critical points, the
// cricondenbars and cricondentherms marked: the picture `zolvant-cli
// envelope --plot` writes and the Mixture Phases window can show.

#include <QString>

#include <vector>

#include "chart/chart.h"
#include "solver/mixture_model.h"

namespace zolvant::plot {

// `mixture` names the feed in the title ("Methane 0.7, Ethane 0.3").
Chart envelopeChart(const std::vector<MixtureReport>& reports, const QString& mixture);

inline constexpr int kEnvelopePictureWidth = 960, kEnvelopePictureHeight = 600;

// PNG or SVG of the chart at that size, whole or not at all; "" or why it failed.
QString writeEnvelopePicture(const std::vector<MixtureReport>& reports, const QString& mixture, const QString& path);

}  // namespace zolvant::plot
