#include "cli/command_support.h"

#include <QFile>
#include <QFileInfo>

#include "db/settings.h"

namespace zolvant::cli {

bool writeText(QIODevice& device, const QString& text) { return writeBytes(device, text.toUtf8()); }

bool writeBytes(QIODevice& device, const QByteArray& bytes) {
    return bytes.isEmpty() || device.write(bytes) == bytes.size();
}

bool writeBytes(QIODevice& device, const std::string& bytes) {
    return bytes.empty() || device.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
}

QString outputStatusHelp() {
    return QStringLiteral(
        "When standard output cannot be written (a full disk), the command stops, says so\n"
        "on standard error and exits with 1; when its reader has gone (a closed pipe, as in\n"
        "'... | head'), it stops quietly with 141.");
}

std::optional<int> parseCommandLine(QCommandLineParser& parser, const QStringList& arguments, const QString& usageLine,
                                    QIODevice& out, QIODevice& err) {
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Explain the command and its options, then stop."));
    parser.addOption(help);
    if (!parser.parse(arguments)) return usageError(arguments, parser.errorText(), err);
    if (parser.isSet(help)) {
        // Every command's description ends with its exit statuses; the
        // ones of a failed write are the same for all.
        parser.setApplicationDescription(parser.applicationDescription() + QLatin1Char('\n') + outputStatusHelp());
        QString text = parser.helpText();
        // The parser names the program by its file; show the command instead.
        const qsizetype eol = text.indexOf(QLatin1Char('\n'));
        text.replace(0, eol, QStringLiteral("Usage: %1 %2\n").arg(arguments.value(0), usageLine));
        writeText(out, text);
        return ExitOk;
    }
    return std::nullopt;
}

int usageError(const QStringList& arguments, const QString& problem, QIODevice& err) {
    writeText(err, QStringLiteral("%1: %2\nTry '%1 --help'.\n").arg(arguments.value(0), problem));
    return ExitUsage;
}

int failure(const QStringList& arguments, const QString& problem, QIODevice& err) {
    writeText(err, QStringLiteral("%1: %2\n").arg(arguments.value(0), problem));
    return ExitFailure;
}

QString componentDatabasePath(const QCommandLineParser& parser) {
    const QString name = databaseOption().names().constFirst();
    if (parser.isSet(name)) return parser.value(name);
    if (db::hasDbPathSetting()) return db::readDbPath();
    // Only the window makes the user's copy: a command that reads never
    // creates a file, so without a copy it reads the seed itself.
    const QString user = db::defaultDbPath();
    if (QFileInfo::exists(user)) return user;
    const QString seed = db::seedDbPath();
    return seed.isEmpty() ? user : seed;
}

std::string toFileName(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString fromFileName(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

}  // namespace zolvant::cli
