#include "cli/output.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <unistd.h>

#include "cli/command_support.h"

namespace zolvant::cli {

CheckedOutput::CheckedOutput(int fd) : fd_(fd) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }

bool CheckedOutput::readerGone() const { return errorNumber_ == EPIPE; }

QString CheckedOutput::reason() const { return QString::fromLocal8Bit(std::strerror(errorNumber_)); }

qint64 CheckedOutput::writeData(const char* data, qint64 size) {
    if (failed()) return -1;
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd_, data + done, static_cast<std::size_t>(size - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            errorNumber_ = n < 0 ? errno : EIO;
            setErrorString(reason());
            return -1;
        }
        done += n;
    }
    return done;
}

int endCommand(const QString& command, int status, const CheckedOutput& out, QIODevice& err) {
    if (!out.failed()) return status;
    if (out.readerGone()) return ExitReaderGone;
    writeText(err, QStringLiteral("%1: cannot write to standard output: %2\n").arg(command, out.reason()));
    return ExitFailure;
}

void ignoreBrokenPipes() { std::signal(SIGPIPE, SIG_IGN); }

}  // namespace zolvant::cli
