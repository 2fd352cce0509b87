#pragma once
// `zolvant-cli list`: the components of the component database with their
// constants, as a table.

#include <QIODevice>
#include <QStringList>

#include <vector>

#include "db/lookup.h"

namespace zolvant::cli {

// arguments[0] is the command's name as shown ("zolvant-cli list").
int runListCommand(const QStringList& arguments, QIODevice& out, QIODevice& err);

// The rows as an aligned table under a heading of the field names: names
// left-aligned, numbers right-aligned, a Null field empty.
QString componentTable(const std::vector<db::ComponentRow>& rows);

}  // namespace zolvant::cli
