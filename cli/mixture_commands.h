#pragma once
// `zolvant-cli flash` and `zolvant-cli envelope`: the real mixture (the
// one-fluid rule with kij) of a state Solve accepts, by each equation: the
// phase split and saturation points at the state, or the phase envelope.

#include <QIODevice>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

#include "solver/mixture_model.h"

namespace zolvant::cli {

int runFlashCommand(const QStringList& arguments, QIODevice& out, QIODevice& err);

// Writes the envelopes' picture to a PNG or SVG file (`mixture` names the
// feed for the title); "" or why it could not. Given by the executable
// when it is built with pictures.
using EnvelopePlotter =
    std::function<QString(const std::vector<MixtureReport>& reports, const QString& mixture, const QString& path)>;

int runEnvelopeCommand(const QStringList& arguments, QIODevice& out, QIODevice& err,
                       const EnvelopePlotter& plotter = {});

}  // namespace zolvant::cli
