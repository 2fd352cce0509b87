#pragma once
// What every zolvant-cli command shares: its exit statuses, option parsing
// with --help, and where the component database is.

#include <QCommandLineParser>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>

#include "cli/options.h"

namespace zolvant::cli {

// Exit statuses of every command.
enum ExitStatus : int {
    ExitOk = 0,       // done
    ExitFailure = 1,  // a failure the command reported (on standard error, or as Input ERROR lines)
    ExitUsage = 2,    // wrong usage: a message and a hint at --help on standard error
    // The reader of standard output went away (a closed pipe): the command
    // stopped quietly, with the status a shell gives a program ended by
    // SIGPIPE.
    ExitReaderGone = 141,
};
// A failed write to standard output (a full disk) is ExitFailure, with the
// message "zolvant-cli COMMAND: cannot write to standard output: REASON".

// The text in UTF-8; false when the device did not take all of it.
bool writeText(QIODevice& device, const QString& text);
bool writeBytes(QIODevice& device, const QByteArray& bytes);
bool writeBytes(QIODevice& device, const std::string& bytes);

// What the help of every command says of its exit statuses, after its own.
QString outputStatusHelp();

// Adds -h/--help, parses arguments (arguments[0] is the command as shown,
// "zolvant-cli list") and handles what ends the command at once: a parse
// error (ExitUsage) or --help (ExitOk, the help on out). nullopt: go on.
// usageLine is what follows the command in the help's first line.
std::optional<int> parseCommandLine(QCommandLineParser& parser, const QStringList& arguments, const QString& usageLine,
                                    QIODevice& out, QIODevice& err);

// Reports wrong usage on err and returns ExitUsage.
int usageError(const QStringList& arguments, const QString& problem, QIODevice& err);

// Reports a failure on err and returns ExitFailure.
int failure(const QStringList& arguments, const QString& problem, QIODevice& err);

// The database a command reads: --db when given, otherwise the DBPath
// setting the calculator window uses, otherwise the user's own copy when it
// exists, otherwise the seed beside the executable (../share/zolvant/).
// Needs a QCoreApplication.
QString componentDatabasePath(const QCommandLineParser& parser);

// File names between the program and the file system.
std::string toFileName(const QString& path);
QString fromFileName(const std::string& path);

}  // namespace zolvant::cli
