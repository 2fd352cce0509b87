#pragma once
// The Sweep window: the last accepted Solve's mixture at many states, one
// variable varied over a range, as a table and as curves. Modeless,
// ownerless, one instance; it remembers its size. Points are computed off
// the user-interface thread, on all cores, in order; Cancel keeps the
// points already done (a prefix of the sweep, in order). A Run reads the
// last accepted Solve again: a finished sweep never changes by itself.

#include <QWidget>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "solver/insight.h"
#include "solver/sweep.h"
#include "solver/sweep_point.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QSplitter;
class QTableView;
class QTimer;

namespace zolvant::ui {

class ChartView;
class SweepTableModel;

class SweepWindow : public QWidget {
    Q_OBJECT
public:
    // Where a Run takes its mixture and state from: the last accepted Solve, or none.
    using SolveSource = std::function<std::optional<SolvedCase>()>;

    explicit SweepWindow(SolveSource source);
    ~SweepWindow() override;

    // The one window, created on first use and raised afterwards.
    static SweepWindow* open(SolveSource source);
    static SweepWindow* instance();  // nullptr when not open

    // Reads the last accepted Solve again for the fixed value and Run.
    void refreshSolve();
    // Starts a sweep of the current fields; "" or why it cannot start.
    QString run();
    void cancel();
    bool running() const { return worker_.joinable(); }
    // The plan and grid values of the sweep shown (the last Run).
    const SweepPlan& plan() const { return plan_; }
    const std::vector<double>& values() const { return values_; }
    SweepTableModel* model() const { return model_; }

    void saveCsv();
    void copyTable();
    void saveImage();
    // What "Save CSV…" writes for the points shown.
    QByteArray csvBytes() const;

    QComboBox* cmbVariable = nullptr;  // Pressure (bar) / Temperature (°C)
    QLabel* lblFixed = nullptr;        // the fixed variable's value, from the Solve
    QLineEdit* txtFrom = nullptr;
    QLineEdit* txtTo = nullptr;
    QSpinBox* spnPoints = nullptr;
    QComboBox* cmbSpacing = nullptr;   // Linear / Geometric
    QComboBox* cmbRow = nullptr;       // component names, Mixture
    QComboBox* cmbQuantity = nullptr;  // Z, Vapor volume, Liquid volume
    QCheckBox* chkLog = nullptr;
    QPushButton* cmdRun = nullptr;
    QPushButton* cmdCancel = nullptr;
    QProgressBar* progress = nullptr;
    QLabel* lblStatus = nullptr;
    QLabel* lblHover = nullptr;  // the curve's point under the mouse
    QTableView* table = nullptr;
    ChartView* chartView = nullptr;
    QSplitter* splitter = nullptr;
    QPushButton* cmdSaveCsv = nullptr;
    QPushButton* cmdCopy = nullptr;
    QPushButton* cmdSaveImage = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void takeResults();  // the worker's points into the table; the end of a run
    void stopWorker();
    void redraw();
    void fitColumns();
    void updateEnabled();
    QString rowCaption(int row) const;

    SolveSource source_;
    std::optional<SolvedCase> solved_;  // as last read
    SweepPlan plan_;
    std::vector<double> values_;
    SweepTableModel* model_ = nullptr;
    QTimer* poll_ = nullptr;

    std::thread worker_;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> finished_{false};
    std::mutex mutex_;
    std::vector<SweepPoint> pending_;  // done by the worker, not yet in the table
};

}  // namespace zolvant::ui
