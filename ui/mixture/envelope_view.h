#pragma once
// The six equations' phase envelopes of one mixture as a chart: temperature
// in °C across, pressure in bar up, each equation in the Isotherms window's
// colour and dash pattern, its critical point marked, and the solved state
// as a marker of its own.

#include <array>
#include <vector>

#include "chart/chart.h"
#include "solver/grid.h"
#include "solver/mixture_model.h"

namespace zolvant::ui {

inline constexpr double kKelvinOffset = 273.15;

// `shown` per block; the reports in block order (each one's envelope).
plot::Chart phaseEnvelopeChart(const std::vector<MixtureReport>& reports, const std::array<bool, kBlocks>& shown);

}  // namespace zolvant::ui
