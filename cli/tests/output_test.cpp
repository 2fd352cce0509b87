// Every command checks what it writes: standard output that cannot be
// written (a full disk, /dev/full) gives one line on standard error naming
// it and why, and status 1; a reader that goes away (a closed pipe) ends a
// streaming command quietly, with status 141, without its running on.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "cli/tests/support.h"

namespace zolvant::cli {
namespace {

using test::kMixtureCase;

class CliOutputTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(config_.isValid() && data_.isValid() && dir_.isValid());
        database_ = test::makeDatabase(dir_.path(), "n-Butane,58.12,425.12,37.96,255,0.2,0.03443,,\n"
                                                    "Methane,16.04,190.56,45.99,98.6,0.011,-0.00159,,\n");
        ASSERT_FALSE(database_.isEmpty());
        caseFile_ = dir_.filePath(QStringLiteral("case.jsonl"));
        QFile f(caseFile_);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(kMixtureCase + "\n");
    }

    // zolvant-cli with its own settings and data folders, not yet started.
    void prepare(QProcess& p) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config_.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), data_.path());
        p.setProcessEnvironment(env);
    }

    QTemporaryDir config_, data_, dir_;
    QString database_, caseFile_;
};

struct WriteRow {
    const char* what;
    QStringList args;  // "DB" and "CASE" stand for the test's files
    QByteArray input;
};

TEST_F(CliOutputTest, AFullDiskIsSaidOnStandardErrorWithStatus1) {
    if (!QFile::exists(QStringLiteral("/dev/full"))) GTEST_SKIP() << "no /dev/full on this system to stand for a full disk";
    // Many lines on standard input: more output than any buffer holds.
    QByteArray manyCases;
    for (int i = 0; i < 2000; ++i) manyCases += kMixtureCase + "\n";
    const WriteRow rows[] = {
        {"list", {"list", "--db", "DB"}, {}},
        {"solve", {"solve", "-T", "26.85", "-P", "1", "--db", "DB", "n-Butane=0.5", "Methane=0.5"}, {}},
        {"solve", {"solve", "--csv", "-T", "26.85", "-P", "1", "--db", "DB", "n-Butane=0.5", "Methane=0.5"}, {}},
        {"solve", {"solve"}, kMixtureCase + "\n"},
        {"solve", {"solve", "--csv"}, manyCases},
        {"sweep", {"sweep", "-T", "26.85", "-P", "1:60", "--points", "60", "--case", "CASE"}, {}},
        {"sweep", {"sweep", "-T", "26.85", "-P", "1:60", "--points", "60", "--db", "DB", "n-Butane=1"}, {}},
        {"isotherm", {"isotherm", "-T", "26.85", "-P", "1", "--db", "DB", "n-Butane"}, {}},
        {"isotherm", {"isotherm", "-T", "26.85", "-P", "1", "--Tc", "425.12", "--Pc", "37.96"}, {}},
        {"flash", {"flash", "-T", "26.85", "-P", "1", "--db", "DB", "n-Butane=0.5", "Methane=0.5"}, {}},
        {"flash", {"flash", "--json", "--case", "CASE"}, {}},
        {"flash", {"flash", "--csv", "-T", "26.85", "-P", "1", "--db", "DB", "n-Butane=0.5", "Methane=0.5"}, {}},
        {"envelope", {"envelope", "--db", "DB", "n-Butane=0.5", "Methane=0.5"}, {}},
        {"envelope", {"envelope", "--json", "--case", "CASE"}, {}},
        {"list", {"list", "--help"}, {}},
        {"create-db", {"create-db", "--help"}, {}},
    };
    for (const WriteRow& row : rows) {
        QStringList args = row.args;
        args.replaceInStrings(QStringLiteral("DB"), database_).replaceInStrings(QStringLiteral("CASE"), caseFile_);
        SCOPED_TRACE(args.join(' ').toStdString());
        QProcess p;
        prepare(p);
        p.setStandardOutputFile(QStringLiteral("/dev/full"));
        p.start(QStringLiteral(ZOLVANT_CLI_PATH), args);
        p.write(row.input);
        p.closeWriteChannel();
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 1);
        EXPECT_EQ(QString::fromUtf8(p.readAllStandardError()),
                  QStringLiteral("zolvant-cli %1: cannot write to standard output: No space left on device\n")
                      .arg(QString::fromLatin1(row.what)));
    }
    for (const char* option : {"--help", "--version"}) {
        SCOPED_TRACE(option);
        QProcess p;
        prepare(p);
        p.setStandardOutputFile(QStringLiteral("/dev/full"));
        p.start(QStringLiteral(ZOLVANT_CLI_PATH), {QString::fromLatin1(option)});
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 1);
        EXPECT_EQ(p.readAllStandardError(), QByteArray("zolvant-cli: cannot write to standard output: No space left on device\n"));
    }
}

// What a command did when its reader went away after the first bytes.
struct PipeEnd {
    int status = -1;  // exit status, or -1 when it did not exit by itself
    QByteArray err;
};

// Runs zolvant-cli with standard input from `input`, reads at least 4096
// bytes of its output through a pipe, closes the pipe (as `| head` does)
// and waits for the end. QProcess keeps reading a channel it was told to
// close, so the pipe is made here.
PipeEnd closeAfterTheFirstBytes(const QStringList& args, const QString& input, const QString& errFile,
                                const QProcessEnvironment& env) {
    int fds[2];
    if (::pipe(fds) != 0) return {};
    const QByteArray program = QByteArrayLiteral(ZOLVANT_CLI_PATH);
    std::vector<QByteArray> argStore{program}, envStore;
    for (const QString& a : args) argStore.push_back(a.toLocal8Bit());
    for (const QString& e : env.toStringList()) envStore.push_back(e.toLocal8Bit());
    std::vector<char*> argv, envp;
    for (QByteArray& a : argStore) argv.push_back(a.data());
    for (QByteArray& e : envStore) envp.push_back(e.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    const QByteArray in = input.toLocal8Bit(), errPath = errFile.toLocal8Bit();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const int inFd = ::open(in.constData(), O_RDONLY);
        const int errFd = ::open(errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (inFd < 0 || errFd < 0) ::_exit(127);
        ::dup2(inFd, 0);
        ::dup2(fds[1], 1);
        ::dup2(errFd, 2);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    PipeEnd end;
    if (pid < 0) {
        ::close(fds[0]);
        return end;
    }
    char buffer[4096];
    std::size_t got = 0;
    while (got < sizeof buffer) {
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer - got);
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status)) end.status = WEXITSTATUS(status);
    QFile err(errFile);
    if (err.open(QIODevice::ReadOnly)) end.err = err.readAll();
    return end;
}

TEST_F(CliOutputTest, AClosedPipeEndsAStreamingCommandQuietly) {
    // Far more output than a pipe holds: each command is still writing when
    // its reader goes, and would run for a long time if it did not stop.
    const QString manyCases = dir_.filePath(QStringLiteral("many.jsonl"));
    {
        QFile f(manyCases);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        for (int i = 0; i < 200000; ++i) f.write(kMixtureCase + "\n");
    }
    const QString empty = dir_.filePath(QStringLiteral("empty"));
    ASSERT_TRUE(QFile(empty).open(QIODevice::WriteOnly));
    const struct {
        QStringList args;
        QString input;
    } rows[] = {
        {{"sweep", "-T", "26.85", "-P", "1:60", "--points", "100000", "--case", caseFile_}, empty},
        {{"solve"}, manyCases},
        {{"solve", "--csv"}, manyCases},
    };
    QProcess p;
    prepare(p);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const PipeEnd end =
            closeAfterTheFirstBytes(row.args, row.input, dir_.filePath(QStringLiteral("err.txt")), p.processEnvironment());
        EXPECT_EQ(end.status, 141);
        EXPECT_EQ(end.err, QByteArray());
    }
}

}  // namespace
}  // namespace zolvant::cli
