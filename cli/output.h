#pragma once
// Standard output and standard error as zolvant-cli writes them: every
// write checked. The first failed write is remembered with its reason and
// every later write refused, so a command streaming its answers stops at
// once; main() then says what could not be written, or ends quietly when
// the reader has gone (a closed pipe, as in `zolvant-cli sweep ... | head`).

#include <QIODevice>
#include <QString>

namespace zolvant::cli {

class CheckedOutput : public QIODevice {
public:
    // fd stays open; the device is opened for writing, unbuffered.
    explicit CheckedOutput(int fd);

    bool failed() const { return errorNumber_ != 0; }
    // The reader has gone (EPIPE): not a failure to report.
    bool readerGone() const;
    // Why the first failed write failed, as the system says it.
    QString reason() const;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    int fd_;
    int errorNumber_ = 0;
};

// The command's exit status once it has ended: its own status when every
// write to `out` went through; otherwise ExitReaderGone, quietly, when the
// reader has gone, or ExitFailure after the line "COMMAND: cannot write to
// standard output: REASON" on err.
int endCommand(const QString& command, int status, const CheckedOutput& out, QIODevice& err);

// Makes a closed pipe a failed write (EPIPE) instead of a signal that ends
// the program: call once, before anything is written.
void ignoreBrokenPipes();

}  // namespace zolvant::cli
