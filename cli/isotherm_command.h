#pragma once
// zolvant-cli isotherm: the isotherm window's model of one component at one
// state, as CSV, and (with --plot) the window's picture written to a file.

#include <QIODevice>
#include <QString>
#include <QStringList>

#include <functional>

#include "solver/isotherm.h"

namespace zolvant::cli {

// Writes the picture of a model to a PNG or SVG file; returns "" or why it
// could not. Given by the executable when it is built with pictures.
using IsothermPlotter = std::function<QString(const IsothermModel& model, const QString& path)>;

int runIsothermCommand(const QStringList& arguments, QIODevice& out, QIODevice& err,
                       const IsothermPlotter& plotter = {});

}  // namespace zolvant::cli
