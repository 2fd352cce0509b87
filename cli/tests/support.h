#pragma once
// Running the zolvant-cli executable from the tests, always with its own
// settings folder, so that no test reads or writes the user's settings.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <ostream>

namespace zolvant::cli::test {

// The two-component example: n-butane-like and methane-like, which is above
// its critical temperature at 26.85 °C, at 1 bar.
inline const QByteArray kMixtureCase =
    R"({"temperature": "26.85", "pressure": "1", "components": [)"
    R"({"Tc": 425.1, "Pc": 37.96, "omega": 0.2, "K1": 0.03443, "K2": null, "K3": null, "fraction": "0.5"},)"
    R"({"Tc": 190.6, "Pc": 45.99, "omega": 0.011, "K1": -0.00159, "fraction": "0.5"}]})";

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

// A component database test.mdb in `dir` made by create-db from the CSV
// rows given (after the header line); "" when create-db fails.
QString makeDatabase(const QString& dir, const QByteArray& rows);

using Records = QList<QStringList>;

// A strict RFC 4180 reader: quoted fields may hold commas, doubled quotes
// and line breaks; every record ends with CRLF. nullopt for anything else.
std::optional<Records> readCsv(const QByteArray& bytes);

}  // namespace zolvant::cli::test

// Readable values in the failure messages of GoogleTest.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QByteArray& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
