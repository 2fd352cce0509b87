// A large sweep in the window, timed from Run to the last point in the
// table, to compare with `zolvant-cli sweep --insight` of the same plan:
//   sweep_window_bench [points]   (default 100000; pressure 1 to 60 bar,
//   n-butane/methane 0.5/0.5 at 26.85 °C, as in the README's example)
// Run it under a display, and with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 in a
// D-Bus session to include the accessibility bridge.

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <cstdio>

#include "report/case_report.h"
#include "ui/sweep/sweep_table.h"
#include "ui/sweep/sweep_window.h"

using namespace zolvant;

namespace {

constexpr char kCase[] =
    R"({"temperature": "26.85", "pressure": "1", "components": [)"
    R"({"Tc": 425.12, "Pc": 37.96, "omega": 0.2, "K1": 0.03443, "fraction": "0.5"},)"
    R"( {"Tc": 190.56, "Pc": 45.99, "omega": 0.011, "K1": -0.00159, "fraction": "0.5"}]})";

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int points = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 100000;
    const report::CaseReport r = report::evaluateLine(kCase, QString());
    if (r.inputError || !r.outcome.solved) return 2;
    SolvedCase s;
    s.state = r.outcome.state;
    s.fractions = r.outcome.fractions;
    s.temperatureText = *r.parsed.input.temperature;
    s.pressureText = *r.parsed.input.pressure;

    ui::SweepWindow* w = ui::SweepWindow::open([s] { return std::optional<SolvedCase>(s); });
    if (!QTest::qWaitForWindowExposed(w)) return 3;
    w->txtFrom->setText(QStringLiteral("1"));
    w->txtTo->setText(QStringLiteral("60"));
    w->spnPoints->setValue(points);
    QElapsedTimer t;
    t.start();
    if (!w->run().isEmpty()) return 4;
    while (w->running() || w->cmdCancel->isEnabled()) QTest::qWait(5);
    std::printf("%d points in the window: %lld ms (accessibility %s)\n", w->model()->rowCount(),
                static_cast<long long>(t.elapsed()), QAccessible::isActive() ? "active" : "inactive");
    w->close();
    return 0;
}
