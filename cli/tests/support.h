#pragma once
// Running the zolvant-cli executable from the tests, always with its own
// settings folder, so that no test reads or writes the user's settings.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <ostream>

namespace zolvant::cli::test {

struct CliRun {
    int exitCode = -1;
    QByteArray out, err;
};

// Runs zolvant-cli with args and input on standard input. XDG_CONFIG_HOME
// (where the DBPath setting lives) is configDir, XDG_DATA_HOME (where the
// user's copy of the database lives) dataDir, each a new empty folder when
// not given.
CliRun runCli(const QStringList& args, const QByteArray& input = {}, const QString& configDir = {},
              const QString& dataDir = {});

}  // namespace zolvant::cli::test

// Readable values in the failure messages of GoogleTest.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QByteArray& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
