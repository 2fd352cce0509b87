#include "cli/tests/support.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

namespace zolvant::cli::test {

CliRun runCli(const QStringList& args, const QByteArray& input, const QString& configDir, const QString& dataDir) {
    QTemporaryDir emptyConfig, emptyData;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configDir.isEmpty() ? emptyConfig.path() : configDir);
    // No user copy of the database unless a test makes one.
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataDir.isEmpty() ? emptyData.path() : dataDir);
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ZOLVANT_CLI_PATH), args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

QString makeDatabase(const QString& dir, const QByteArray& rows) {
    QFile csv(dir + QStringLiteral("/components.csv"));
    if (!csv.open(QIODevice::WriteOnly)) return QString();
    csv.write("Component,MolWt,CritTemp,CritPress,CritVol,AcentricF,K1,K2,K3\n" + rows);
    csv.close();
    const QString db = dir + QStringLiteral("/test.mdb");
    return runCli({QStringLiteral("create-db"), db, QStringLiteral("--from"), csv.fileName()}).exitCode == 0 ? db
                                                                                                           : QString();
}

// A strict RFC 4180 reader: quoted fields may hold commas, doubled quotes
// and line breaks; every record ends with CRLF. nullopt for anything else.
std::optional<Records> readCsv(const QByteArray& bytes) {
    const QString text = QString::fromUtf8(bytes);
    Records records;
    QStringList record;
    QString field;
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i] == QLatin1Char('"')) {
            for (++i;; ++i) {
                if (i >= text.size()) return std::nullopt;  // unterminated
                if (text[i] != QLatin1Char('"')) {
                    field += text[i];
                } else if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    field += QLatin1Char('"');
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
        } else {
            for (; i < text.size() && text[i] != QLatin1Char(',') && text[i] != QLatin1Char('\r') &&
                   text[i] != QLatin1Char('\n');
                 ++i) {
                if (text[i] == QLatin1Char('"')) return std::nullopt;  // quote in an unquoted field
                field += text[i];
            }
        }
        if (i >= text.size()) return std::nullopt;  // no CRLF after the last record
        record << field;
        field.clear();
        if (text[i] == QLatin1Char(',')) {
            ++i;
        } else if (text.mid(i, 2) == QStringLiteral("\r\n")) {
            records << record;
            record.clear();
            i += 2;
        } else {
            return std::nullopt;  // a bare CR or LF
        }
    }
    return records;
}

}  // namespace zolvant::cli::test
