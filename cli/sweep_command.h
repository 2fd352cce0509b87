#pragma once
// `zolvant-cli sweep`: one mixture over a range of pressures or
// temperatures, every point solved as `solve` solves the same texts, as one
// CSV table.

#include <QIODevice>
#include <QStringList>

#include "cli/command_support.h"
#include "report/case_parser.h"

namespace zolvant::cli {

using report::ComponentLookup;

// arguments[0] is the command's name as shown ("zolvant-cli sweep").
int runSweepCommand(const QStringList& arguments, QIODevice& out, QIODevice& err, const ComponentLookup& lookup = {});

}  // namespace zolvant::cli
