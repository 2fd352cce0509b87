#pragma once
// `zolvant-cli add-defaults`: adds to a component database the default
// components and interaction parameters it lacks.

#include <QIODevice>
#include <QStringList>

namespace zolvant::cli {

// arguments[0] is the command's name as shown ("zolvant-cli add-defaults").
int runAddDefaultsCommand(const QStringList& arguments, QIODevice& out, QIODevice& err);

}  // namespace zolvant::cli
