// The manual page keeps up with the program: every command the top-level
// --help lists, and every option each command's --help lists, appears in
// zolvant-cli(1).

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include "cli/tests/support.h"

namespace zolvant::cli {
namespace {

using test::CliRun;
using test::runCli;

// The page as a reader sees it: roff's escaped hyphens and font changes gone.
QString manPageText() {
    QFile f(QStringLiteral(ZOLVANT_MAN_PAGE));
    if (!f.open(QIODevice::ReadOnly)) return {};
    QString text = QString::fromUtf8(f.readAll());
    text.replace(QStringLiteral("\\-"), QStringLiteral("-"));
    text.remove(QRegularExpression(QStringLiteral(R"(\\f[BIRP])")));
    return text;
}

// The command names of the top-level help's "Commands:" list.
QStringList commandsOf(const QByteArray& help) {
    QStringList commands;
    bool inList = false;
    for (const QString& line : QString::fromUtf8(help).split('\n')) {
        if (line == QStringLiteral("Commands:")) {
            inList = true;
        } else if (inList) {
            static const QRegularExpression entry(QStringLiteral(R"(^  ([a-z][a-z-]*)\s)"));
            const QRegularExpressionMatch m = entry.match(line);
            if (!m.hasMatch()) break;
            commands << m.captured(1);
        }
    }
    return commands;
}

// Every option of a command's "Options:" list: "-T", "--temperature", "--db", ...
QStringList optionsOf(const QByteArray& help) {
    QStringList options;
    static const QRegularExpression entry(QStringLiteral(R"(^  (?:(-[A-Za-z]), )?(--[A-Za-z0-9][A-Za-z0-9-]*))"));
    for (const QString& line : QString::fromUtf8(help).split('\n')) {
        const QRegularExpressionMatch m = entry.match(line);
        if (!m.hasMatch()) continue;
        if (!m.captured(1).isEmpty()) options << m.captured(1);
        options << m.captured(2);
    }
    return options;
}

TEST(ManPage, NamesEveryCommandAndEveryOptionTheHelpLists) {
    const QString page = manPageText();
    ASSERT_FALSE(page.isEmpty()) << "cannot read " << ZOLVANT_MAN_PAGE;
    const CliRun top = runCli({"--help"});
    ASSERT_EQ(top.exitCode, 0);
    const QStringList commands = commandsOf(top.out);
    ASSERT_TRUE(commands.contains(QStringLiteral("solve"))) << top.out.toStdString();
    for (const QString& command : commands) {
        SCOPED_TRACE(command.toStdString());
        EXPECT_TRUE(page.contains(QRegularExpression(QStringLiteral("^\\.B %1\\b").arg(QRegularExpression::escape(command)),
                                                     QRegularExpression::MultilineOption)))
            << "the page has no entry for the command";
        const CliRun help = runCli({command, "--help"});
        ASSERT_EQ(help.exitCode, 0);
        const QStringList options = optionsOf(help.out);
        EXPECT_TRUE(options.contains(QStringLiteral("--help")));
        for (const QString& option : options) {
            const QRegularExpression word(QRegularExpression::escape(option) + QStringLiteral("(?![A-Za-z0-9-])"));
            EXPECT_TRUE(page.contains(word)) << option.toStdString() << " is not in the page";
        }
    }
}

}  // namespace
}  // namespace zolvant::cli
