#include "cli/tests/support.h"

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

}  // namespace zolvant::cli::test
