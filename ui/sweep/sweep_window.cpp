#include "ui/sweep/sweep_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "report/sweep_csv.h"
#include "solver/ordered_parallel.h"
#include "solver/text.h"
#include "ui/common/services.h"
#include "ui/common/windows.h"
#include "ui/plot/chart_view.h"
#include "ui/plot/save_as.h"
#include "ui/sweep/sweep_table.h"

namespace zolvant::ui {
namespace {

QPointer<SweepWindow>& slot() {
    static QPointer<SweepWindow> w;
    return w;
}

const QString kSizeKey = QStringLiteral("Sweep/size");
// The first points show soon; later ones come in larger batches.
constexpr int kFirstLook = 50;     // ms
constexpr int kLaterLooks = 250;   // ms

const QString kReady = QStringLiteral("Ready: choose the range and press Run.");
const QString kNoSolve = QStringLiteral("No accepted Solve: solve a mixture in the main window, then Run here.");

QString qs(const std::string& s) { return QString::fromStdString(s); }

// The mixture of an accepted Solve as a case: its constants as stored, its
// fraction texts, its temperature and pressure texts.
CaseInput caseOf(const SolvedCase& s) {
    CaseInput c;
    for (int k = 0; k < std::clamp<int>(s.state.numComps, 0, 4); ++k) {
        CaseComponent comp;
        for (int p = 0; p < 6; ++p) comp.constants[static_cast<std::size_t>(p)] = s.state.constant(k, p);
        comp.fraction = s.fractions[static_cast<std::size_t>(k)];
        c.components.push_back(comp);
    }
    c.temperature = s.temperatureText;
    c.pressure = s.pressureText;
    return c;
}

QString sentence(const std::string& problem) {
    QString s = qs(problem);
    if (!s.isEmpty()) s[0] = s[0].toUpper();
    return s + QLatin1Char('.');
}

}  // namespace

SweepWindow::SweepWindow(SolveSource source) : source_(std::move(source)) {
    setWindowTitle(QStringLiteral("Sweep"));
    setObjectName(QStringLiteral("Sweep"));
    model_ = new SweepTableModel(this);

    cmbVariable = new QComboBox;
    cmbVariable->setObjectName(QStringLiteral("cmbVariable"));
    cmbVariable->addItems({QStringLiteral("Pressure (bar)"), QStringLiteral("Temperature (\u00b0C)")});
    lblFixed = new QLabel;
    lblFixed->setObjectName(QStringLiteral("lblFixed"));
    txtFrom = new QLineEdit(QStringLiteral("1"));
    txtFrom->setObjectName(QStringLiteral("txtFrom"));
    txtTo = new QLineEdit(QStringLiteral("60"));
    txtTo->setObjectName(QStringLiteral("txtTo"));
    for (QLineEdit* e : {txtFrom, txtTo}) e->setMaximumWidth(110);
    spnPoints = new QSpinBox;
    spnPoints->setObjectName(QStringLiteral("spnPoints"));
    spnPoints->setRange(kMinSweepPoints, kMaxSweepPoints);
    spnPoints->setValue(60);
    cmbSpacing = new QComboBox;
    cmbSpacing->setObjectName(QStringLiteral("cmbSpacing"));
    cmbSpacing->addItems({QStringLiteral("Linear"), QStringLiteral("Geometric")});
    cmdRun = new QPushButton(QStringLiteral("Run"));
    cmdRun->setObjectName(QStringLiteral("cmdRun"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    progress = new QProgressBar;
    progress->setObjectName(QStringLiteral("progress"));
    progress->setMinimumWidth(120);

    auto* range = new QHBoxLayout;
    range->addWidget(new QLabel(QStringLiteral("Vary:")));
    range->addWidget(cmbVariable);
    range->addWidget(new QLabel(QStringLiteral("from")));
    range->addWidget(txtFrom);
    range->addWidget(new QLabel(QStringLiteral("to")));
    range->addWidget(txtTo);
    range->addWidget(new QLabel(QStringLiteral("Points:")));
    range->addWidget(spnPoints);
    range->addWidget(cmbSpacing);
    range->addSpacing(12);
    range->addWidget(cmdRun);
    range->addWidget(cmdCancel);
    range->addStretch();

    cmbRow = new QComboBox;
    cmbRow->setObjectName(QStringLiteral("cmbRow"));
    cmbRow->setMinimumContentsLength(14);
    cmbQuantity = new QComboBox;
    cmbQuantity->setObjectName(QStringLiteral("cmbQuantity"));
    cmbQuantity->addItems({QStringLiteral("Z"), QStringLiteral("Vapor volume"), QStringLiteral("Liquid volume")});
    chkLog = new QCheckBox(QStringLiteral("Log axis"));
    chkLog->setObjectName(QStringLiteral("chkLog"));
    auto* view = new QHBoxLayout;
    view->addWidget(lblFixed);
    view->addSpacing(12);
    view->addWidget(new QLabel(QStringLiteral("Row:")));
    view->addWidget(cmbRow);
    view->addWidget(new QLabel(QStringLiteral("Plot:")));
    view->addWidget(cmbQuantity);
    view->addWidget(chkLog);
    view->addStretch();

    table = new QTableView;
    table->setObjectName(QStringLiteral("table"));
    table->setModel(model_);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setDefaultSectionSize(96);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    chartView = new ChartView;
    chartView->setObjectName(QStringLiteral("chartView"));
    chartView->setMinimumSize(480, 240);
    splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(table);
    splitter->addWidget(chartView);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);

    lblStatus = new QLabel;
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setWordWrap(true);
    cmdSaveCsv = new QPushButton(QStringLiteral("Save CSV\u2026"));
    cmdSaveCsv->setObjectName(QStringLiteral("cmdSaveCsv"));
    cmdCopy = new QPushButton(QStringLiteral("Copy"));
    cmdCopy->setObjectName(QStringLiteral("cmdCopy"));
    cmdSaveImage = new QPushButton(QStringLiteral("Save Image\u2026"));
    cmdSaveImage->setObjectName(QStringLiteral("cmdSaveImage"));
    lblHover = new QLabel;
    lblHover->setObjectName(QStringLiteral("lblHover"));
    // The bar below, beside the status: the rows above stay narrow enough
    // for a small screen.
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(progress);
    bottom->addWidget(lblStatus, 1);
    bottom->addWidget(lblHover, 1);
    bottom->addWidget(cmdSaveCsv);
    bottom->addWidget(cmdCopy);
    bottom->addWidget(cmdSaveImage);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(range);
    layout->addLayout(view);
    layout->addWidget(splitter, 1);
    layout->addLayout(bottom);

    connect(cmdRun, &QPushButton::clicked, this, [this] {
        if (const QString why = run(); !why.isEmpty()) lblStatus->setText(why);
    });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cancel(); });
    connect(cmdSaveCsv, &QPushButton::clicked, this, [this] { saveCsv(); });
    connect(cmdCopy, &QPushButton::clicked, this, [this] { copyTable(); });
    connect(cmdSaveImage, &QPushButton::clicked, this, [this] { saveImage(); });
    connect(cmbVariable, &QComboBox::currentIndexChanged, this, [this](int i) {
        // Sensible ends for the other variable; the fixed value follows.
        txtFrom->setText(i == 0 ? QStringLiteral("1") : QStringLiteral("-50"));
        txtTo->setText(i == 0 ? QStringLiteral("60") : QStringLiteral("150"));
        refreshSolve();
    });
    connect(cmbSpacing, &QComboBox::currentIndexChanged, this, [this](int i) { chkLog->setChecked(i == 1); });
    connect(cmbRow, &QComboBox::currentIndexChanged, this, [this](int i) {
        model_->setRow(i == cmbRow->count() - 1 && cmbRow->count() > 1 ? kMixtureRow : i);
        fitColumns();
        redraw();
    });
    connect(cmbQuantity, &QComboBox::currentIndexChanged, this, [this] { redraw(); });
    connect(chkLog, &QCheckBox::toggled, this, [this] { redraw(); });
    chartView->setHoverFormat([this](const QString& series, plot::DataPoint p) {
        return QStringLiteral("%1: %2 = %3, %4 = %5")
            .arg(series, plan_.variable == SweepVariable::Pressure ? QStringLiteral("P") : QStringLiteral("T"),
                 qs(formatDigits(p.x, 5)), cmbQuantity->currentText(), qs(formatDigits(p.y, 5)));
    });

    connect(chartView, &ChartView::hovered, lblHover, &QLabel::setText);

    // The finished points go into the table a few times a second, in large
    // batches: each insertion costs the view (and, with the accessibility
    // bridge on, an event for the assistive technology), not each point.
    poll_ = new QTimer(this);
    connect(poll_, &QTimer::timeout, this, [this] { takeResults(); });

    restoreSize(this, kSizeKey, QSize(1180, 760));
    fitColumns();
    refreshSolve();
    redraw();
}

SweepWindow::~SweepWindow() { stopWorker(); }

SweepWindow* SweepWindow::open(SolveSource source) {
    const bool fresh = !slot();
    SweepWindow* w = showSingle(slot(), source);
    if (!fresh) w->refreshSolve();
    return w;
}

SweepWindow* SweepWindow::instance() { return slot().data(); }

void SweepWindow::closeEvent(QCloseEvent* event) {
    stopWorker();
    rememberSize(this, kSizeKey);
    QWidget::closeEvent(event);
}

bool SweepWindow::event(QEvent* e) {
    // Back from the main window: show what a Run would now start from.
    if (e->type() == QEvent::WindowActivate) refreshSolve();
    return QWidget::event(e);
}

void SweepWindow::refreshSolve() {
    solved_ = source_ ? source_() : std::nullopt;
    const bool pressure = cmbVariable->currentIndex() == 0;
    if (!solved_) {
        lblFixed->setText(QStringLiteral("No accepted Solve"));
    } else {
        lblFixed->setText(pressure ? QStringLiteral("At T = %1 \u00b0C").arg(qs(solved_->temperatureText))
                                   : QStringLiteral("At P = %1 bar").arg(qs(solved_->pressureText)));
    }
    if (!running() && model_->points().empty()) {
        // The rows offered are the Solve's until a sweep is shown.
        const QSignalBlocker block(cmbRow);
        cmbRow->clear();
        const std::array<std::string, 4> names = solved_ ? solved_->names : std::array<std::string, 4>{};
        const int n = solved_ ? std::clamp<int>(solved_->state.numComps, 0, 4) : 0;
        for (int k = 0; k < n; ++k)
            cmbRow->addItem(names[static_cast<std::size_t>(k)].empty() ? QStringLiteral("Component %1").arg(k + 1)
                                                                       : qs(names[static_cast<std::size_t>(k)]));
        if (n > 1) cmbRow->addItem(QStringLiteral("Mixture"));
        model_->setRow(0);
    }
    // Until a sweep is shown the status says what a Run would start from.
    if (!running() && model_->points().empty()) {
        if (!solved_)
            lblStatus->setText(kNoSolve);
        else if (lblStatus->text() == kNoSolve || lblStatus->text().isEmpty())
            lblStatus->setText(kReady);
    }
    updateEnabled();
}

void SweepWindow::updateEnabled() {
    const bool busy = running();
    cmdRun->setEnabled(!busy && solved_.has_value());
    cmdCancel->setEnabled(busy);
    for (QWidget* w : std::initializer_list<QWidget*>{cmbVariable, txtFrom, txtTo, spnPoints, cmbSpacing})
        w->setEnabled(!busy);
    const bool have = !model_->points().empty() && !busy;
    for (QWidget* w : std::initializer_list<QWidget*>{cmdSaveCsv, cmdCopy, cmdSaveImage}) w->setEnabled(have);
}

QString SweepWindow::run() {
    if (running()) return QStringLiteral("A sweep is running.");
    refreshSolve();
    if (!solved_) return kNoSolve;
    const std::optional<double> from = readNumber(txtFrom->text().trimmed().toStdString());
    const std::optional<double> to = readNumber(txtTo->text().trimmed().toStdString());
    if (!from) return QStringLiteral("From: '%1' is not a number.").arg(txtFrom->text());
    if (!to) return QStringLiteral("To: '%1' is not a number.").arg(txtTo->text());
    SweepPlan plan;
    plan.mixture = caseOf(*solved_);
    plan.variable = cmbVariable->currentIndex() == 0 ? SweepVariable::Pressure : SweepVariable::Temperature;
    plan.range = {*from, *to, spnPoints->value(),
                  cmbSpacing->currentIndex() == 1 ? SweepSpacing::Geometric : SweepSpacing::Linear};
    if (const std::string problem = sweepRangeProblem(plan.range); !problem.empty()) return sentence(problem);

    plan_ = std::move(plan);
    values_ = sweepValues(plan_.range);
    model_->start(solved_->names);
    {
        const QSignalBlocker block(cmbRow);
        const int keep = cmbRow->currentIndex();
        cmbRow->clear();
        for (int k = 0; k < std::clamp<int>(solved_->state.numComps, 0, 4); ++k) cmbRow->addItem(rowCaption(k));
        if (cmbRow->count() > 1) cmbRow->addItem(QStringLiteral("Mixture"));
        cmbRow->setCurrentIndex(keep >= 0 && keep < cmbRow->count() ? keep : 0);
    }
    model_->setRow(cmbRow->currentIndex() == cmbRow->count() - 1 && cmbRow->count() > 1 ? kMixtureRow
                                                                                          : cmbRow->currentIndex());
    progress->setRange(0, static_cast<int>(values_.size()));
    progress->setValue(0);
    lblStatus->setText(QStringLiteral("Computing %1 points\u2026").arg(values_.size()));
    cancel_ = false;
    finished_ = false;
    pending_.clear();
    worker_ = std::thread([this, plan = plan_, values = values_] {
        // Small rounds: Cancel waits for one round at most.
        runOrdered<SweepPoint>(
            values.size(), workerThreads(), 32, [&](std::size_t i) { return computeSweepPoint(plan, values, i, true); },
            [&](std::size_t, SweepPoint&& p) {
                if (cancel_) return false;
                const std::lock_guard lock(mutex_);
                pending_.push_back(std::move(p));
                return true;
            });
        finished_ = true;
        // The end is taken at once, not at the next look.
        QMetaObject::invokeMethod(this, [this] { takeResults(); }, Qt::QueuedConnection);
    });
    poll_->start(kFirstLook);
    redraw();
    updateEnabled();
    return {};
}

void SweepWindow::cancel() { cancel_ = true; }

void SweepWindow::takeResults() {
    if (!worker_.joinable()) return;  // already ended (or closed)
    std::vector<SweepPoint> points;
    {
        const std::lock_guard lock(mutex_);
        points.swap(pending_);
    }
    const bool first = model_->rowCount() == 0;
    model_->append(std::move(points));
    progress->setValue(model_->rowCount());
    if (first && model_->rowCount() > 0) {
        fitColumns();
        poll_->setInterval(kLaterLooks);
    }
    if (!finished_) return;
    poll_->stop();
    if (worker_.joinable()) worker_.join();
    {
        // What the worker added after the last look.
        const std::lock_guard lock(mutex_);
        points.swap(pending_);
    }
    model_->append(std::move(points));
    progress->setValue(model_->rowCount());
    fitColumns();
    const auto done = static_cast<std::size_t>(model_->rowCount());
    lblStatus->setText(done < values_.size()
                           ? QStringLiteral("Cancelled after %1 of %2 points.").arg(done).arg(values_.size())
                           : QStringLiteral("%1 points.").arg(done));
    redraw();
    updateEnabled();
}

void SweepWindow::fitColumns() {
    // Each column as wide as its heading and its widest value, so that no
    // text is cut; a refused point's message is let run over. Widths differ
    // little down a column: a large sweep is sampled, its ends included.
    QHeaderView* header = table->horizontalHeader();
    const QFontMetrics metrics(table->font());
    const int rows = model_->rowCount();
    // The item's text margins, and a digit to spare for the rows not sampled.
    const int margin = 2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1) + 2 +
                       (rows > 5000 ? metrics.horizontalAdvance(QLatin1Char('0')) : 0);
    const int step = std::max(1, rows / 5000);
    for (int c = 0; c < model_->columnCount(); ++c) {
        int width = header->sectionSizeHint(c);
        const auto widen = [&](int r) {
            if (c < SweepTableModel::kLeadColumns || model_->points()[static_cast<std::size_t>(r)].solved)
                width = std::max(width, metrics.horizontalAdvance(model_->cellText(r, c)) + margin);
        };
        for (int r = 0; r < rows; r += step) widen(r);
        if (rows > 0) widen(rows - 1);
        header->resizeSection(c, width);
    }
}

void SweepWindow::stopWorker() {
    if (!worker_.joinable()) return;
    cancel_ = true;
    worker_.join();
    poll_->stop();
}

QString SweepWindow::rowCaption(int row) const {
    if (row == kMixtureRow) return QStringLiteral("the mixture");
    // The sweep's own names once it has points, the Solve's before.
    const std::array<std::string, 4>& names = model_->points().empty() && solved_ ? solved_->names : model_->names();
    const std::string& name = names[static_cast<std::size_t>(std::clamp(row, 0, 3))];
    return name.empty() ? QStringLiteral("Component %1").arg(row + 1) : qs(name);
}

void SweepWindow::redraw() {
    const int row = model_->row();
    QString caption = rowCaption(row);
    // The fixed variable of the sweep shown, as the Solve had it.
    if (!model_->points().empty())
        caption += plan_.variable == SweepVariable::Pressure
                       ? QStringLiteral(" at T = %1 \u00b0C").arg(qs(plan_.mixture.temperature.value_or(std::string())))
                       : QStringLiteral(" at P = %1 bar").arg(qs(plan_.mixture.pressure.value_or(std::string())));
    chartView->setChart(sweepChart(model_->points(), values_, plan_.variable, row, caption,
                                   static_cast<SweepQuantity>(std::max(0, cmbQuantity->currentIndex())),
                                   chkLog->isChecked()));
}

QByteArray SweepWindow::csvBytes() const {
    std::array<QString, 4> names;
    for (std::size_t k = 0; k < 4; ++k) names[k] = qs(model_->names()[k]);
    return QByteArray::fromStdString(report::sweepCsv(model_->points(), names));
}

void SweepWindow::saveCsv() {
    if (model_->points().empty() || running()) return;
    saveBytesAs(this, QStringLiteral("sweep.csv"), QStringLiteral("CSV files (*.csv)"), QStringLiteral("table"),
                [this] { return csvBytes(); });
}

void SweepWindow::copyTable() {
    if (model_->points().empty() || running()) return;
    QGuiApplication::clipboard()->setText(model_->tabSeparated());
}

void SweepWindow::saveImage() {
    if (model_->points().empty() || running()) return;
    saveChartAs(this, chartView->chart(), chartView->size(), 1.0, QStringLiteral("sweep.png"));
}

}  // namespace zolvant::ui
