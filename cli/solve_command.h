#pragma once
// `zolvant-cli solve`: cases as JSON Lines in, one result line per case out;
// or, for people, one case given on the command line, printed as a table.

#include <QIODevice>
#include <QStringList>

#include <utility>
#include <vector>

#include "cli/command_support.h"
#include "report/case_parser.h"

namespace zolvant::cli {

using report::ComponentLookup;

// arguments[0] is the command's name as shown in the help
// ("zolvant-cli solve"); the rest are its options and files (or NAME=FRACTION
// pairs). `in` is read when no file is given (or for "-"). Components given
// by name are found through `lookup` when one is given, otherwise in the
// component database (--db, the DBPath setting or the default), opened at
// the first name.
// The case of the quick form (NAME=FRACTION pairs) as the JSON line it
// stands for.
QByteArray quickCase(const QString& temperature, const QString& pressure,
                     const std::vector<std::pair<QString, QString>>& pairs);

int runSolveCommand(const QStringList& arguments, QIODevice& in, QIODevice& out, QIODevice& err,
                    const ComponentLookup& lookup = {});

}  // namespace zolvant::cli
