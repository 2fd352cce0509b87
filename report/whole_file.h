#pragma once
// Files written whole or not at all: every file the program writes goes
// through here, from the windows and from zolvant-cli.

#include <QByteArray>
#include <QString>

namespace zolvant::report {

// Writes bytes to path through a temporary file in the same folder that
// replaces the target only when complete: a failure leaves the target as it
// was and no temporary file behind. "" or the reason it failed.
QString writeWholeFile(const QString& path, const QByteArray& bytes);

}  // namespace zolvant::report
