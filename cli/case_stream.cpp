#include "cli/case_stream.h"

#include <QFileDevice>

#include <cerrno>
#include <mutex>
#include <unistd.h>

#include "cli/command_support.h"
#include "cli/csv_cases.h"
#include "solver/ordered_parallel.h"

namespace zolvant::cli {

using namespace report;  // the case and its written forms
namespace {

constexpr qint64 kReadSize = 1 << 20;

// What the source holds now (at least one byte, unless it has ended).
QByteArray readSome(QIODevice& device) {
    QByteArray chunk(kReadSize, Qt::Uninitialized);
    qint64 n = -1;
    auto* file = qobject_cast<QFileDevice*>(&device);
    if (file && file->handle() >= 0) {
        // read(2) returns as soon as a pipe or terminal has anything.
        do {
            n = ::read(file->handle(), chunk.data(), static_cast<std::size_t>(kReadSize));
        } while (n < 0 && errno == EINTR);
    } else {
        n = device.read(chunk.data(), kReadSize);
        if (n == 0 && !device.atEnd() && device.waitForReadyRead(-1)) n = device.read(chunk.data(), kReadSize);
    }
    chunk.resize(n > 0 ? n : 0);
    return chunk;
}

// One line of a source as a case, or what is wrong with it.
std::variant<Case, QString> parseLine(const QByteArray& text, bool first, InputForm input, const ComponentLookup& lookup) {
    if (input == InputForm::Csv) {
        if (first)
            return QStringLiteral("a CSV input begins with the header %1").arg(QString::fromLatin1(kCsvInputHeader));
        auto line = csvRowAsCaseLine(text);
        if (auto* message = std::get_if<QString>(&line)) return *message;
        return parseCase(std::get<QByteArray>(line), lookup);
    }
    auto parsed = parseCase(text, lookup);
    // A first line that does not even begin as JSON (a CSV header, say) is
    // likely a whole file in another form; a broken JSON line is just that.
    if (auto* message = std::get_if<QString>(&parsed); message && first) {
        const QByteArray start = text.trimmed();
        if (!start.startsWith('{') && !start.startsWith('[')) *message += notJsonLinesHint();
    }
    return parsed;
}

}  // namespace

StreamCounts solveCases(const std::vector<CaseSource>& sources, const ComponentLookup& lookup, const CaseFormat& format,
                        QIODevice& out, InputForm input) {
    StreamCounts counts;
    const unsigned threads = workerThreads();
    // Lines are parsed on the workers too; the lookup (a database behind
    // it) is asked by one of them at a time.
    std::mutex lookupMutex;
    const ComponentLookup sharedLookup =
        lookup ? ComponentLookup([&](const QString& name) {
            const std::lock_guard<std::mutex> hold(lookupMutex);
            return lookup(name);
        })
               : ComponentLookup();
    struct Line {
        QByteArray text;
        int number = 0;      // in its source
        int caseNumber = 0;  // among the answered lines
        bool first = false;  // the source's first line that is not blank
    };
    struct Answer {
        std::string text;
        bool bad = false;
    };
    std::vector<Line> batch;
    std::string answers;
    for (const CaseSource& src : sources) {
        QByteArray pending;
        int lineNumber = 0;
        bool seenFirst = false;
        for (bool ended = false; !ended;) {
            const QByteArray chunk = readSome(*src.device);
            ended = chunk.isEmpty();
            pending += chunk;

            // Every whole line read so far (and, at the end, the last one).
            batch.clear();
            qsizetype begin = 0;
            while (begin < pending.size()) {
                qsizetype end = pending.indexOf('\n', begin);
                if (end < 0) {
                    if (!ended) break;
                    end = pending.size() - 1;
                }
                QByteArray line = pending.mid(begin, end + 1 - begin);
                begin = end + 1;
                ++lineNumber;
                if (lineNumber == 1 && line.startsWith("\xEF\xBB\xBF")) line.remove(0, 3);
                if (line.trimmed().isEmpty()) continue;
                const bool first = !seenFirst;
                seenFirst = true;
                if (first && input == InputForm::Csv && isCsvInputHeader(line)) continue;
                batch.push_back({std::move(line), lineNumber, ++counts.lines, first});
            }
            pending.remove(0, begin);
            if (batch.empty()) continue;

            answers.clear();
            runOrdered<Answer>(
                batch.size(), threads, 128,
                [&](std::size_t i) {
                    const Line& line = batch[i];
                    CaseReport r;
                    r.where = src.label.isEmpty()
                                  ? QStringLiteral("line %1").arg(line.number)
                                  : QStringLiteral("%1, line %2").arg(src.label, QString::number(line.number));
                    auto parsed = parseLine(line.text, line.first, input, sharedLookup);
                    if (auto* message = std::get_if<QString>(&parsed))
                        r.inputError = *message;
                    else
                        r.parsed = std::get<Case>(std::move(parsed));
                    if (!r.inputError) r.outcome = runCase(r.parsed.input, r.grid);
                    Answer a;
                    a.bad = r.inputError.has_value();
                    format(a.text, r, line.caseNumber);
                    return a;
                },
                [&](std::size_t, Answer&& a) {
                    answers += a.text;
                    if (a.bad) ++counts.badLines;
                    return true;
                });
            // A failed write stops the run: nothing more is read or solved.
            auto* file = qobject_cast<QFileDevice*>(&out);
            if (!writeBytes(out, answers) || (file && !file->flush())) {
                counts.outputFailed = true;
                return counts;
            }
        }
    }
    return counts;
}

}  // namespace zolvant::cli
