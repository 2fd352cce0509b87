#include "cli/command_support.h"

#include <QFile>
#include <QFileInfo>

#include "db/settings.h"

namespace zolvant::cli {

void writeText(QIODevice& device, const QString& text) { device.write(text.toUtf8()); }

std::optional<int> parseCommandLine(QCommandLineParser& parser, const QStringList& arguments, const QString& usageLine,
                                    QIODevice& out, QIODevice& err) {
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Explain the command and its options, then stop."));
    parser.addOption(help);
    if (!parser.parse(arguments)) return usageError(arguments, parser.errorText(), err);
    if (parser.isSet(help)) {
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

QCommandLineOption databaseOption() {
    return QCommandLineOption(QStringLiteral("db"),
                              QStringLiteral("The component database to read (default: the one named by the "
                                             "calculator window's DBPath setting; without a setting the user's own "
                                             "copy when it exists, else the default database shipped with this "
                                             "program, read only)."),
                              QStringLiteral("file"));
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
