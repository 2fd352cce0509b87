#include "cli/options.h"

#include <QFile>

#include "solver/text.h"

namespace zolvant::cli {

QCommandLineOption temperatureOption(const QString& description) {
    return QCommandLineOption({QStringLiteral("T"), QStringLiteral("temperature")}, description, kCelsiusValue);
}

QCommandLineOption pressureOption(const QString& description) {
    return QCommandLineOption({QStringLiteral("P"), QStringLiteral("pressure")}, description, kBarValue);
}

QCommandLineOption databaseOption() {
    return fileOption(QStringLiteral("db"),
                      QStringLiteral("The component database to read (default: the one named by the calculator "
                                     "window's DBPath setting; without a setting the user's own copy when it exists, "
                                     "else the default database shipped with this program, read only)."));
}

QCommandLineOption caseOption(const QString& description) { return fileOption(QStringLiteral("case"), description); }

QCommandLineOption wholeNumberOption(const QString& name, const QString& description) {
    return QCommandLineOption(name, description, kWholeNumberValue);
}

QCommandLineOption fileOption(const QString& name, const QString& description) {
    return QCommandLineOption(name, description, kFileValue);
}

void addComponentPairs(QCommandLineParser& parser, const QString& description) {
    parser.addPositionalArgument(QStringLiteral("components"), description,
                                 QStringLiteral("[%1...]").arg(kPairValue));
}

QString optionName(const QCommandLineOption& option) {
    const QString name = option.names().constFirst();
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

QString missingProblem(const QCommandLineOption& option) { return QStringLiteral("%1 is missing").arg(optionName(option)); }

QString unexpectedArgumentProblem(const QCommandLineParser& parser) {
    const QStringList given = parser.positionalArguments();
    if (given.isEmpty()) return {};
    return QStringLiteral("unexpected argument '%1' (the database is given with --db)").arg(given.constFirst());
}

Checked<QString> requiredValue(const QCommandLineParser& parser, const QCommandLineOption& option) {
    if (!parser.isSet(option)) return {std::nullopt, missingProblem(option)};
    return {parser.value(option), {}};
}

Checked<int> wholeNumber(const QCommandLineParser& parser, const QCommandLineOption& option, int min, int max,
                         std::optional<int> fallback) {
    if (!parser.isSet(option)) {
        if (fallback) return {*fallback, {}};
        return {std::nullopt, missingProblem(option)};
    }
    const QString text = parser.value(option);
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < min || n > max)
        return {std::nullopt, QStringLiteral("%1: '%2' is not a whole number from %3 to %4")
                                  .arg(optionName(option), text)
                                  .arg(min)
                                  .arg(max)};
    return {n, {}};
}

Checked<double> number(const QCommandLineParser& parser, const QCommandLineOption& option) {
    const QString text = parser.value(option);
    const std::string s = text.trimmed().toStdString();
    if (!readsAsNumber(s)) return {std::nullopt, QStringLiteral("%1: '%2' is not a number").arg(optionName(option), text)};
    return {leadingNumber(s), {}};
}

Checked<ComponentPairs> componentPairs(const QStringList& arguments, const QString& otherwise, const QString& hint) {
    ComponentPairs pairs;
    for (const QString& arg : arguments) {
        const qsizetype eq = arg.lastIndexOf(QLatin1Char('='));
        if (eq < 0) return {std::nullopt, QStringLiteral("'%1' is not a %2 pair%3").arg(arg, kPairValue, hint)};
        if (eq == 0) return {std::nullopt, QStringLiteral("'%1' gives no component name").arg(arg)};
        pairs.emplace_back(arg.left(eq), arg.mid(eq + 1));
    }
    if (pairs.empty())
        return {std::nullopt, QStringLiteral("no components: give up to 4 %1 pairs%2").arg(kPairValue, otherwise)};
    if (pairs.size() > 4)
        return {std::nullopt, QStringLiteral("%1 components given; a mixture has at most 4").arg(pairs.size())};
    return {std::move(pairs), {}};
}

Checked<QByteArray> caseLine(const QCommandLineParser& parser, const QCommandLineOption& option) {
    const QString path = parser.value(option);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {std::nullopt, QStringLiteral("%1: cannot open %2: %3").arg(optionName(option), path, f.errorString())};
    QByteArray line = f.readLine();
    if (line.startsWith("\xEF\xBB\xBF")) line.remove(0, 3);
    return {std::move(line), {}};
}

}  // namespace zolvant::cli
