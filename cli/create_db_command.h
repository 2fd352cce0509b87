#pragma once
// `zolvant-cli create-db`: a new component database, empty or filled from a
// CSV file.

#include <QIODevice>
#include <QStringList>

namespace zolvant::cli {

// arguments[0] is the command's name as shown ("zolvant-cli create-db").
int runCreateDbCommand(const QStringList& arguments, QIODevice& out, QIODevice& err);

}  // namespace zolvant::cli
