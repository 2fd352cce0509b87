// Throughput of the command-line tool's two batch commands, measured inside
// one process so the figure is the work alone: `sweep` (100 000 points of a
// four-component mixture, CSV) and `solve` (20 000 four-component JSON Lines
// cases). Output goes to a device that drops it, as /dev/null would.
// The constants are given, not read from a database, so the figures do not
// depend on a file. Run: build/bin/cli_bench [--benchmark_filter=Sweep]

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QIODevice>
#include <QStringList>

#include <array>
#include <thread>

#include "cli/solve_command.h"
#include "cli/sweep_command.h"

namespace {

using namespace zolvant;
using namespace zolvant::cli;

class Discard : public QIODevice {
public:
    Discard() { open(QIODevice::WriteOnly); }
    qint64 bytes = 0;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 n) override {
        bytes += n;
        return n;
    }
};

// Four light alkanes: Tc (K), Pc (bar), omega, K1, K2, K3.
struct Named {
    const char* name;
    ComponentConstants constants;
};
const std::array<Named, 4> kAlkanes{{
    {"Methane", {190.56, 45.99, 0.011, -0.00159, 0.1521, 0.517}},
    {"Ethane", {305.32, 48.72, 0.099, 0.02669, 0.1358, 0.424}},
    {"Propane", {369.83, 42.48, 0.152, 0.03136, 0.2757, 0.447}},
    {"n-Butane", {425.12, 37.96, 0.2, 0.03443, 0.6767, 0.461}},
}};

std::optional<ComponentConstants> lookup(const QString& name) {
    for (const Named& n : kAlkanes)
        if (name == QLatin1String(n.name)) return n.constants;
    return std::nullopt;
}

constexpr int kSweepPoints = 100000;

void BM_SweepCsv(benchmark::State& st) {
    const QStringList args{QStringLiteral("zolvant-cli sweep"), QStringLiteral("-T"), QStringLiteral("26.85"),
                           QStringLiteral("-P"), QStringLiteral("1:60"), QStringLiteral("--points"),
                           QString::number(kSweepPoints), QStringLiteral("--threads"),
                           QString::number(st.range(0)), QStringLiteral("Methane=0.85"),
                           QStringLiteral("Ethane=0.08"), QStringLiteral("Propane=0.05"),
                           QStringLiteral("n-Butane=0.02")};
    qint64 bytes = 0;
    for (auto _ : st) {
        Discard out, err;
        if (runSweepCommand(args, out, err, lookup) != 0) st.SkipWithError("sweep failed");
        bytes = out.bytes;
    }
    st.counters["states/s"] = benchmark::Counter(double(kSweepPoints) * double(st.iterations()),
                                                 benchmark::Counter::kIsRate);
    st.counters["MB out"] = double(bytes) / 1e6;
}

// 20 000 cases: the four alkanes by constants, pressures 1..20000 / 400 bar,
// the fractions typed, as a script would write them.
QByteArray solveInput() {
    QByteArray in;
    for (int i = 0; i < 20000; ++i) {
        in += "{\"temperature\": \"26.85\", \"pressure\": \"" + QByteArray::number((i + 1) / 400.0) +
              "\", \"components\": [";
        const char* fractions[] = {"0.85", "0.08", "0.05", "0.02"};
        for (std::size_t k = 0; k < kAlkanes.size(); ++k) {
            const ComponentConstants& c = kAlkanes[k].constants;
            in += (k ? ", " : "") + QByteArray("{\"Tc\": ") + QByteArray::number(*c[0], 'g', 17) +
                  ", \"Pc\": " + QByteArray::number(*c[1], 'g', 17) +
                  ", \"omega\": " + QByteArray::number(*c[2], 'g', 17) +
                  ", \"K1\": " + QByteArray::number(*c[3], 'g', 17) +
                  ", \"K2\": " + QByteArray::number(*c[4], 'g', 17) +
                  ", \"K3\": " + QByteArray::number(*c[5], 'g', 17) + ", \"fraction\": \"" + fractions[k] +
                  "\"}";
        }
        in += "]}\n";
    }
    return in;
}

void BM_SolveJsonLines(benchmark::State& st) {
    QByteArray input = solveInput();
    const QStringList args{QStringLiteral("zolvant-cli solve")};
    for (auto _ : st) {
        QBuffer in(&input);
        in.open(QIODevice::ReadOnly);
        Discard out, err;
        if (runSolveCommand(args, in, out, err) != 0) st.SkipWithError("solve failed");
    }
    st.counters["cases/s"] = benchmark::Counter(20000.0 * double(st.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_SweepCsv)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(static_cast<int>(std::max(1u, std::thread::hardware_concurrency())))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
// solve uses every core; under `taskset -c 0` it shows the one-core figure.
BENCHMARK(BM_SolveJsonLines)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
