#pragma once
// The mixture inputs `zolvant-cli flash` and `zolvant-cli envelope` share:
// the state as solve's quick form (-T, -P, NAME=FRACTION pairs, --db) or
// one line of a case file (--case, optionally with "kij"), --kij pair
// overrides and the --equation filter. The case is run by the code solve
// runs, so a mixture Solve refuses is refused here with the same words;
// the accepted state then gets its kij (the database's, then the case's,
// then --kij) and its molar masses for report::mixtureReports.

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "report/case_report.h"
#include "report/mixture_reports.h"

namespace zolvant::cli {

struct MixtureOptions {
    explicit MixtureOptions(bool envelope);
    void addTo(QCommandLineParser& parser) const;

    bool envelope;
    QCommandLineOption temperature, pressure, caseFile, kij, equation;
};

struct MixtureInput {
    report::CaseReport report;         // the solved case
    std::vector<std::string> captions; // each position's name as shown ("Component N" without one)
    CompVector z{};
    report::KijByBlock kij{};
    MolarMasses molWt{};
    std::vector<int> blocks;           // the equations asked for, in the grid's order
};

// Solve refused the case, or its line is not a case: the message box's
// title ("Mixture ERROR", "Input ERROR", ...) and its message.
struct MixtureRefusal {
    QString title;
    QString message;
};

// What reading the inputs gave: the input, a refusal to report as the
// command's output form wants, or an exit status (the usage error or
// failure already said on err).
using MixtureRead = std::variant<MixtureInput, MixtureRefusal, int>;

MixtureRead readMixture(const QCommandLineParser& parser, const MixtureOptions& options, const QStringList& arguments,
                        QIODevice& err);

// What every command's help says of the shared inputs.
QString mixtureInputHelp(bool envelope);

}  // namespace zolvant::cli
