#include "ui/mixture/mixture_phases_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "db/lookup.h"
#include "report/mixture_csv.h"
#include "report/mixture_phases_csv.h"
#include "report/mixture_reports.h"
#include "solver/text.h"
#include "ui/common/services.h"
#include "ui/common/windows.h"
#include "ui/mixture/envelope_view.h"
#include "ui/plot/save_as.h"

namespace zolvant::ui {
namespace {

QPointer<MixturePhasesWindow>& slot() {
    static QPointer<MixturePhasesWindow> w;
    return w;
}

const QString kSizeKey = QStringLiteral("MixturePhases/size");
constexpr int kPengRobinson = 2;

QString qs(const std::string& s) { return QString::fromStdString(s); }

// The kij table's columns and the blocks each one sets.
struct Family {
    const char* caption;
    std::vector<int> blocks;
};
const std::array<Family, 4>& families() {
    static const std::array<Family, 4> f{{{"PR family", {2, 4, 5}}, {"SRK", {3}}, {"RK", {1}}, {"VDW", {0}}}};
    return f;
}

const QStringList kFlashColumns{
    QStringLiteral("Phases"),           QStringLiteral("Vapour\nfraction"),  QStringLiteral("Liquid V\n(cm\u00b3/mol)"),
    QStringLiteral("Vapour V\n(cm\u00b3/mol)"), QStringLiteral("Liquid Z"), QStringLiteral("Vapour Z"),
    QStringLiteral("Liquid\ndensity\n(g/cm\u00b3)"), QStringLiteral("Vapour\ndensity\n(g/cm\u00b3)"),
    QStringLiteral("Bubble P\n(bar)"),  QStringLiteral("Dew P\n(bar)"),     QStringLiteral("Bubble T\n(\u00b0C)"),
    QStringLiteral("Dew T\n(\u00b0C)")};

QTableWidgetItem* item(const QString& text, const QVariant& value = {}, const QString& tip = {}) {
    auto* it = new QTableWidgetItem(text);
    it->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    it->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (value.isValid()) it->setData(Qt::UserRole, value);
    if (!tip.isEmpty()) it->setToolTip(tip);
    return it;
}

// A list of saturation points: the values (°C for temperatures) or a dash
// whose tooltip gives the reasons.
QTableWidgetItem* listItem(const std::vector<double>& values, double offset, const QString& reasons) {
    if (values.empty()) return item(QStringLiteral("\u2013"), QVariantList{}, reasons.isEmpty() ? QStringLiteral("none") : reasons);
    QStringList texts;
    QVariantList exact;
    for (double v : values) {
        texts << qs(formatDigits(v - offset, 5));
        exact << (v - offset);
    }
    return item(texts.join(QStringLiteral("; ")), exact);
}

QTableWidget* table(const char* name) {
    auto* t = new QTableWidget;
    t->setObjectName(QLatin1String(name));
    t->verticalHeader()->setDefaultSectionSize(22);
    t->setSelectionMode(QAbstractItemView::ContiguousSelection);
    return t;
}

}  // namespace

MixturePhasesWindow::MixturePhasesWindow() {
    setWindowTitle(QStringLiteral("Mixture Phases"));
    setObjectName(QStringLiteral("MixturePhasesWindow"));

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Envelopes:")));
    for (int e = 0; e < kBlocks; ++e) {
        auto* box = new QCheckBox(QString::fromLatin1(blockName(e)));
        box->setObjectName(QStringLiteral("chkEquation%1").arg(e));
        box->setChecked(true);
        chkEquation[static_cast<std::size_t>(e)] = box;
        top->addWidget(box);
        connect(box, &QCheckBox::toggled, this, [this] { redrawChart(); });
    }
    top->addStretch();

    envelopeChart = new ChartView;
    envelopeChart->setObjectName(QStringLiteral("envelopeChart"));
    envelopeChart->setMinimumSize(420, 280);
    envelopeChart->setHoverFormat([](const QString& series, plot::DataPoint p) {
        return QStringLiteral("%1: T = %2 \u00b0C, P = %3 bar").arg(series, qs(formatDigits(p.x, 5)), qs(formatDigits(p.y, 5)));
    });

    cmbEquation = new QComboBox;
    cmbEquation->setObjectName(QStringLiteral("cmbEquation"));
    for (int e = 0; e < kBlocks; ++e) cmbEquation->addItem(QString::fromLatin1(blockName(e)));
    cmbEquation->setCurrentIndex(kPengRobinson);
    connect(cmbEquation, &QComboBox::currentIndexChanged, this, [this] { fillCompositions(); });
    compositionTable = table("compositionTable");
    compositionTable->setColumnCount(3);
    compositionTable->setHorizontalHeaderLabels({QStringLiteral("Feed z"), QStringLiteral("Liquid x"), QStringLiteral("Vapour y")});
    compositionTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    compositionTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    kijTable = table("kijTable");
    kijTable->setColumnCount(4);
    QStringList famCaptions;
    for (const Family& f : families()) famCaptions << QString::fromLatin1(f.caption);
    kijTable->setHorizontalHeaderLabels(famCaptions);
    kijTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    kijTable->setToolTip(QStringLiteral("Binary interaction parameters per equation family (PR family: Peng-Robinson, "
                                        "PRSV1 and PRSV2). Edit one to recompute this window; the grid is not changed."));
    connect(kijTable, &QTableWidget::cellChanged, this, [this](int r, int c) { kijEdited(r, c); });
    storeButton = new QPushButton(QStringLiteral("Store in Database"));
    storeButton->setObjectName(QStringLiteral("storeButton"));
    connect(storeButton, &QPushButton::clicked, this, [this] { storeKij(); });

    auto* side = new QVBoxLayout;
    auto* pick = new QHBoxLayout;
    pick->addWidget(new QLabel(QStringLiteral("Phase compositions by")));
    pick->addWidget(cmbEquation, 1);
    side->addLayout(pick);
    side->addWidget(compositionTable, 1);
    side->addWidget(new QLabel(QStringLiteral("Interaction parameters kij:")));
    side->addWidget(kijTable, 1);
    side->addWidget(storeButton, 0, Qt::AlignRight);
    auto* middle = new QHBoxLayout;
    middle->addWidget(envelopeChart, 3);
    middle->addLayout(side, 2);

    flashTable = table("flashTable");
    flashTable->setColumnCount(static_cast<int>(kFlashColumns.size()));
    flashTable->setHorizontalHeaderLabels(kFlashColumns);
    flashTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    flashTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    flashTable->setFixedHeight(6 * 22 + 58);  // six rows under a three-line header

    lblStatus = new QLabel;
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setWordWrap(true);
    connect(envelopeChart, &ChartView::hovered, this, [this](const QString& t) {
        if (!reports_.empty() && !t.isEmpty()) lblStatus->setText(t);
    });
    cmbScale = new QComboBox;
    cmbScale->setObjectName(QStringLiteral("cmbScale"));
    cmbScale->addItems({QStringLiteral("1\u00d7"), QStringLiteral("2\u00d7")});
    cmbScale->setToolTip(QStringLiteral("Size of a saved PNG, in window sizes"));
    saveDataButton = new QPushButton(QStringLiteral("Save Data\u2026"));
    saveDataButton->setObjectName(QStringLiteral("saveDataButton"));
    saveImageButton = new QPushButton(QStringLiteral("Save Image\u2026"));
    saveImageButton->setObjectName(QStringLiteral("saveImageButton"));
    copyButton = new QPushButton(QStringLiteral("Copy"));
    copyButton->setObjectName(QStringLiteral("copyButton"));
    copyButton->setToolTip(QStringLiteral("Copies the flash table as tab-separated text"));
    connect(saveDataButton, &QPushButton::clicked, this, [this] { saveData(); });
    connect(saveImageButton, &QPushButton::clicked, this, [this] { saveImage(); });
    connect(copyButton, &QPushButton::clicked, this, [this] { copyTable(); });
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblStatus, 1);
    bottom->addWidget(new QLabel(QStringLiteral("Image size:")));
    bottom->addWidget(cmbScale);
    bottom->addWidget(saveImageButton);
    bottom->addWidget(copyButton);
    bottom->addWidget(saveDataButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addWidget(flashTable);
    layout->addLayout(bottom);

    restoreSize(this, kSizeKey, QSize(1000, 700));
    setSolved(std::nullopt, {});
}

MixturePhasesWindow::~MixturePhasesWindow() = default;

MixturePhasesWindow* MixturePhasesWindow::open() { return showSingle(slot()); }
MixturePhasesWindow* MixturePhasesWindow::instance() { return slot().data(); }

void MixturePhasesWindow::closeEvent(QCloseEvent* event) {
    rememberSize(this, kSizeKey);
    QWidget::closeEvent(event);
}

QString MixturePhasesWindow::componentName(int k) const {
    if (!solved_) return {};
    const std::string& name = solved_->names[static_cast<std::size_t>(k)];
    return name.empty() ? QStringLiteral("Component %1").arg(k + 1) : qs(name);
}

void MixturePhasesWindow::setSolved(const std::optional<SolvedCase>& solved, const QString& dbPath) {
    solved_ = solved;
    dbPath_ = dbPath;
    kij_ = {};
    molWt_ = {};
    QString unread;
    if (solved_ && solved_->state.numComps >= 2) {
        z_ = feedFractions(solved_->state, solved_->fractions);
        const int m = solved_->state.numComps;
        if (!dbPath.isEmpty()) {
            try {
                std::vector<std::string> names(solved_->names.begin(), solved_->names.begin() + m);
                kij_ = db::kijMatrices(dbPath.toStdString(), names);
                for (const db::ComponentRow& row : db::listComponents(dbPath.toStdString()))
                    for (int k = 0; k < m; ++k)
                        if (const double* w = std::get_if<double>(&row.MolWt);
                            w && *w > 0 && std::isfinite(*w) && db::componentName(row.Component) == names[static_cast<std::size_t>(k)])
                            molWt_[static_cast<std::size_t>(k)] = *w;
            } catch (const db::DbError& e) {
                unread = QStringLiteral("The database's pairs could not be read (%1): kij = 0.").arg(qs(e.description()));
            }
        }
    } else {
        solved_.reset();
    }
    fillKijTable();
    recompute();
    if (!unread.isEmpty()) lblStatus->setText(unread);
}

void MixturePhasesWindow::recompute() {
    QElapsedTimer clock;
    clock.start();
    reports_.clear();
    // The same path as `zolvant-cli flash` and `envelope`, so that they agree.
    if (solved_) reports_ = report::mixtureReports(solved_->state, z_, kij_, molWt_);
    const bool have = !reports_.empty();
    for (QWidget* w : std::initializer_list<QWidget*>{saveDataButton, saveImageButton, copyButton, storeButton, cmbEquation})
        w->setEnabled(have);
    fillFlashTable();
    fillCompositions();
    redrawChart();
    lblStatus->setText(have ? QString()
                            : QStringLiteral("The grid has no mixture (cleared, not solved yet, or one component): "
                                             "solve a mixture of two or more components in the main window."));
    lastUpdateMs_ = static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

void MixturePhasesWindow::fillFlashTable() {
    flashTable->setRowCount(static_cast<int>(reports_.size()));
    QStringList rows;
    for (int r = 0; r < static_cast<int>(reports_.size()); ++r) {
        const MixtureReport& m = reports_[static_cast<std::size_t>(r)];
        rows << qs(m.equation);
        QStringList why;
        if (!m.ok) why << qs(m.why);
        for (const std::string& n : m.notes) why << qs(n);
        const QString reasons = why.join(QStringLiteral("\n"));
        const bool one = m.ok && m.phases == 1, two = m.ok && m.phases == 2;
        const auto& L = m.liquid;
        const auto& V = m.vapour;
        const auto none = [&] { return item(QStringLiteral("\u2013"), {}, reasons); };
        auto set = [&](int c, QTableWidgetItem* it) { flashTable->setItem(r, c, it); };
        set(0, one || two ? item(QString::number(m.phases), m.phases, reasons) : none());
        set(1, two && m.beta ? item(qs(formatMask(*m.beta, Mask::Fraction)), *m.beta) : none());
        set(2, (one || two) && L ? item(qs(formatMask(L->V, Mask::MixLiquid)), L->V) : none());
        set(3, (one || two) && V ? item(qs(formatMask(V->V, Mask::Vapour)), V->V) : none());
        set(4, (one || two) && L ? item(qs(formatMask(L->Z, Mask::Z)), L->Z) : none());
        set(5, (one || two) && V ? item(qs(formatMask(V->Z, Mask::Z)), V->Z) : none());
        set(6, (one || two) && L && L->density ? item(QString::number(*L->density, 'f', 4), *L->density) : none());
        set(7, (one || two) && V && V->density ? item(QString::number(*V->density, 'f', 4), *V->density) : none());
        const SaturationLists& s = m.saturation;
        set(8, listItem(s.bubbleP, 0.0, reasons));
        set(9, listItem(s.dewP, 0.0, reasons));
        set(10, listItem(s.bubbleT, kKelvinOffset, reasons));
        set(11, listItem(s.dewT, kKelvinOffset, reasons));
        if (one) flashTable->item(r, 0)->setToolTip(QStringLiteral("one phase, %1-like").arg(qs(*m.phase)));
    }
    flashTable->setVerticalHeaderLabels(rows);
}

void MixturePhasesWindow::fillCompositions() {
    const int block = cmbEquation->currentIndex();
    const bool have = !reports_.empty() && block >= 0;
    const int m = have ? reports_[static_cast<std::size_t>(block)].m : 0;
    compositionTable->setRowCount(m);
    QStringList rows;
    for (int k = 0; k < m; ++k) {
        const MixtureReport& r = reports_[static_cast<std::size_t>(block)];
        rows << componentName(k);
        const auto fraction = [&](const std::optional<PhaseReport>& p) {
            if (!r.ok || !p) return item(QStringLiteral("\u2013"), {}, QStringLiteral("no such phase at this state"));
            const double x = p->x[static_cast<std::size_t>(k)];
            return item(qs(formatDigits(x, 5)), x);
        };
        compositionTable->setItem(k, 0, item(qs(formatDigits(z_[static_cast<std::size_t>(k)], 5)), z_[static_cast<std::size_t>(k)]));
        compositionTable->setItem(k, 1, fraction(r.liquid));
        compositionTable->setItem(k, 2, fraction(r.vapour));
    }
    compositionTable->setVerticalHeaderLabels(rows);
}

void MixturePhasesWindow::fillKijTable() {
    filling_ = true;
    const int m = solved_ ? solved_->state.numComps : 0;
    QStringList rows;
    kijTable->setRowCount(m * (m - 1) / 2);
    int row = 0;
    for (int i = 0; i < m; ++i)
        for (int j = i + 1; j < m; ++j, ++row) {
            rows << componentName(i) + QStringLiteral(" \u2013 ") + componentName(j);
            for (int f = 0; f < 4; ++f) {
                const double v = kij_[static_cast<std::size_t>(families()[static_cast<std::size_t>(f)].blocks.front())]
                                     [static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
                auto* it = new QTableWidgetItem(qs(shortestText(v)));
                it->setData(Qt::UserRole, QPoint(i, j));
                it->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                kijTable->setItem(row, f, it);
            }
        }
    kijTable->setVerticalHeaderLabels(rows);
    filling_ = false;
}

void MixturePhasesWindow::setFamilyKij(int family, int i, int j, double value) {
    if (family < 0 || family >= 4) return;
    for (int b : families()[static_cast<std::size_t>(family)].blocks) {
        kij_[static_cast<std::size_t>(b)][static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] = value;
        kij_[static_cast<std::size_t>(b)][static_cast<std::size_t>(j)][static_cast<std::size_t>(i)] = value;
    }
    recompute();
}

void MixturePhasesWindow::kijEdited(int row, int column) {
    if (filling_) return;
    QTableWidgetItem* it = kijTable->item(row, column);
    if (!it) return;
    const QPoint ij = it->data(Qt::UserRole).toPoint();
    const int block = families()[static_cast<std::size_t>(column)].blocks.front();
    const double old = kij_[static_cast<std::size_t>(block)][static_cast<std::size_t>(ij.x())][static_cast<std::size_t>(ij.y())];
    const std::optional<double> v = readNumber(it->text().toStdString());
    if (!v || !(*v < 1.0)) {
        // The value in use stays; the box says what was wrong.
        const QString typed = it->text();
        filling_ = true;
        it->setText(qs(shortestText(old)));
        filling_ = false;
        lblStatus->setText(QStringLiteral("\u201c%1\u201d is not a usable kij (a number below 1): %2 is kept.")
                               .arg(typed, qs(shortestText(old))));
        return;
    }
    setFamilyKij(column, ij.x(), ij.y(), *v);
}

void MixturePhasesWindow::redrawChart() {
    if (reports_.empty()) {
        plot::Chart empty;
        empty.emptyText = QStringLiteral("No mixture to draw: the grid is empty. Solve a mixture in the main window, "
                                         "and its phase envelopes appear here.");
        envelopeChart->setChart(empty);
        return;
    }
    std::array<bool, kBlocks> shown{};
    for (std::size_t e = 0; e < shown.size(); ++e) shown[e] = chkEquation[e]->isChecked();
    envelopeChart->setChart(phaseEnvelopeChart(reports_, shown));
}

std::string MixturePhasesWindow::dataCsv() const {
    return report::mixturePhasesCsv(reports_) + report::envelopeCsv(reports_);
}

QString MixturePhasesWindow::tabSeparated() const {
    QStringList header{QStringLiteral("Equation")};
    for (const QString& c : kFlashColumns) header << QString(c).replace(QLatin1Char('\n'), QLatin1Char(' '));
    QString out = header.join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (int r = 0; r < flashTable->rowCount(); ++r) {
        QStringList fields{flashTable->verticalHeaderItem(r)->text()};
        for (int c = 0; c < flashTable->columnCount(); ++c) {
            const QString t = flashTable->item(r, c) ? flashTable->item(r, c)->text() : QString();
            fields << (t == QStringLiteral("\u2013") ? QString() : t);
        }
        out += fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return out;
}

void MixturePhasesWindow::saveData() {
    if (reports_.empty()) return;
    saveBytesAs(this, QStringLiteral("mixture-phases.csv"), QStringLiteral("CSV files (*.csv)"), QStringLiteral("data"),
                [this] { return QByteArray::fromStdString(dataCsv()); });
}

void MixturePhasesWindow::saveImage() {
    if (reports_.empty()) return;
    saveChartAs(this, envelopeChart->chart(), envelopeChart->size(), cmbScale->currentIndex() == 1 ? 2.0 : 1.0,
                QStringLiteral("mixture-phases.png"));
}

void MixturePhasesWindow::copyTable() {
    if (reports_.empty()) return;
    QGuiApplication::clipboard()->setText(tabSeparated());
}

bool MixturePhasesWindow::storeKij() {
    if (!solved_ || dbPath_.isEmpty()) return false;
    std::vector<db::KijPair> pairs;
    const int m = solved_->state.numComps;
    for (int i = 0; i < m; ++i)
        for (int j = i + 1; j < m; ++j)
            for (const auto& [equation, block] : {std::pair{db::kPengRobinson, 2}, std::pair{db::kSoaveRedlichKwong, 3}})
                pairs.push_back({solved_->names[static_cast<std::size_t>(i)], solved_->names[static_cast<std::size_t>(j)],
                                 equation, kij_[static_cast<std::size_t>(block)][static_cast<std::size_t>(i)][static_cast<std::size_t>(j)]});
    try {
        const auto db = openDatabase(dbPath_.toStdString());
        db::storeKijPairs(*db, pairs);
    } catch (const db::DbError& e) {
        services().message(this, qs(e.description()), QStringLiteral("Store in Database"));
        return false;
    }
    lblStatus->setText(QStringLiteral("Stored %1 Peng-Robinson and Soave-Redlich-Kwong pairs in %2; the main window uses "
                                      "them from its next Solve. Van der Waals and Redlich-Kwong pairs are not stored.")
                           .arg(pairs.size())
                           .arg(dbPath_));
    return true;
}

}  // namespace zolvant::ui
