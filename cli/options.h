#pragma once
// The options several commands share, declared and checked here only: each
// kind of value has one name in --help (CELSIUS, BAR, NAME=FRACTION, N,
// FILE) and each kind of mistake one message:
//
//   -T is missing                                  a needed option not given
//   --points: '2.5' is not a whole number from 2 to 100000
//   --Tc: 'x' is not a number
//   --case: cannot open FILE: REASON
//   'A' is not a NAME=FRACTION pair                a component argument
//   '=1' gives no component name
//   no components: give up to 4 NAME=FRACTION pairs
//   5 components given; a mixture has at most 4
//
// A command declares an option with one call (parser.addOption(
// temperatureOption(...))) and reads it with the matching check, which
// gives the value or the message for usageError().

#include <QByteArray>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

namespace zolvant::cli {

// The value names of --help.
inline const QString kCelsiusValue = QStringLiteral("CELSIUS");
inline const QString kBarValue = QStringLiteral("BAR");
inline const QString kPairValue = QStringLiteral("NAME=FRACTION");
inline const QString kWholeNumberValue = QStringLiteral("N");
inline const QString kFileValue = QStringLiteral("FILE");

// -T/--temperature CELSIUS and -P/--pressure BAR: texts taken as if typed
// into the window's boxes.
QCommandLineOption temperatureOption(const QString& description);
QCommandLineOption pressureOption(const QString& description);
// --db FILE: the component database to read.
QCommandLineOption databaseOption();
// --case FILE: the components from the first line of a case file.
QCommandLineOption caseOption(const QString& description);
// --NAME N: a whole number.
QCommandLineOption wholeNumberOption(const QString& name, const QString& description);
// --NAME FILE.
QCommandLineOption fileOption(const QString& name, const QString& description);
// The positional NAME=FRACTION arguments, for --help.
void addComponentPairs(QCommandLineParser& parser, const QString& description);

// A check's answer: the value, or what is wrong.
template <class T>
struct Checked {
    std::optional<T> value;
    QString problem;
    explicit operator bool() const { return value.has_value(); }
    const T& operator*() const { return *value; }
    const T* operator->() const { return &*value; }
};

// The option as the messages name it: "-T" or "--points".
QString optionName(const QCommandLineOption& option);

// "-T is missing".
QString missingProblem(const QCommandLineOption& option);

// For a command that takes no arguments, only options reading the database:
// the problem with the first argument given, or an empty text.
QString unexpectedArgumentProblem(const QCommandLineParser& parser);

// The value of an option that must be given.
Checked<QString> requiredValue(const QCommandLineParser& parser, const QCommandLineOption& option);

// A whole number from min to max; `fallback` when the option is not given
// (without one, the option is needed).
Checked<int> wholeNumber(const QCommandLineParser& parser, const QCommandLineOption& option, int min, int max,
                         std::optional<int> fallback = std::nullopt);

// A number in the calculator's number grammar.
Checked<double> number(const QCommandLineParser& parser, const QCommandLineOption& option);

// NAME=FRACTION arguments, 1 to 4 (a fraction never holds '=': a name may).
// `otherwise` follows "give up to 4 NAME=FRACTION pairs" in the message for
// none (", or --case"); `hint` follows the message for an argument that is
// not a pair.
using ComponentPairs = std::vector<std::pair<QString, QString>>;
Checked<ComponentPairs> componentPairs(const QStringList& arguments, const QString& otherwise = {},
                                       const QString& hint = {});

// The first line of the --case FILE (a byte-order mark dropped).
Checked<QByteArray> caseLine(const QCommandLineParser& parser, const QCommandLineOption& option);

}  // namespace zolvant::cli
