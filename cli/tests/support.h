#pragma once
// Running the zolvant-cli executable from the tests, always with its own
// settings folder, so that no test reads or writes the user's settings.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <ostream>

namespace zolvant::cli::test {

struct CliRun {
    int exitCode = -1;
    QByteArray out, err;
};

// Runs zolvant-cli with args and input on standard input. XDG_CONFIG_HOME
// (where the DBPath setting lives) is configDir, or a new empty folder.
CliRun runCli(const QStringList& args, const QByteArray& input = {}, const QString& configDir = {});

using Records = QList<QStringList>;

// A strict RFC 4180 reader: quoted fields may hold commas, doubled quotes
// and line breaks; every record ends with CRLF. nullopt for anything else.
std::optional<Records> readCsv(const QByteArray& bytes);

}  // namespace zolvant::cli::test

// Readable values in the failure messages of GoogleTest.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QByteArray& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
