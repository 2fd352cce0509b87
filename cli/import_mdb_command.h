#pragma once
// `zolvant-cli import-mdb`: the components of an Access file (tblComps) into
// a new component database.

#include <QIODevice>
#include <QStringList>

namespace zolvant::cli {

// arguments[0] is the command's name as shown ("zolvant-cli import-mdb").
int runImportMdbCommand(const QStringList& arguments, QIODevice& out, QIODevice& err);

}  // namespace zolvant::cli
