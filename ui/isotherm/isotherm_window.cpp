#include "ui/isotherm/isotherm_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "chart/chart_export.h"
#include "report/isotherm_csv.h"
#include "solver/text.h"
#include "ui/common/services.h"
#include "ui/common/windows.h"
#include "ui/plot/save_as.h"

namespace zolvant::ui {
namespace {

QPointer<IsothermWindow>& slot() {
    static QPointer<IsothermWindow> w;
    return w;
}

const QString kSizeKey = QStringLiteral("Isotherms/size");

QString qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

// ------------------------------------------------------- IsothermWindow

IsothermWindow::IsothermWindow() {
    setWindowTitle(QStringLiteral("Isotherms"));
    setObjectName(QStringLiteral("Isotherms"));

    cmbRow = new QComboBox;
    cmbRow->setObjectName(QStringLiteral("cmbRow"));
    cmbRow->setMinimumContentsLength(14);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Component:")));
    top->addWidget(cmbRow);
    top->addStretch();
    // The equations in two rows of their own: the window fits a small screen.
    auto* equations = new QGridLayout;
    for (int e = 0; e < kBlocks; ++e) {
        auto* box = new QCheckBox(QString::fromLatin1(blockName(e)));
        box->setObjectName(QStringLiteral("chkEquation%1").arg(e));
        box->setChecked(true);
        chkEquation[static_cast<std::size_t>(e)] = box;
        equations->addWidget(box, e / 3, e % 3);
        connect(box, &QCheckBox::toggled, this, [this] { redraw(); });
    }
    equations->setColumnStretch(3, 1);

    chkSaturation = new QCheckBox(QStringLiteral("Saturation lines"));
    chkSaturation->setObjectName(QStringLiteral("chkSaturation"));
    chkSaturation->setChecked(true);
    connect(chkSaturation, &QCheckBox::toggled, this, [this] { redraw(); });
    cmbScale = new QComboBox;
    cmbScale->setObjectName(QStringLiteral("cmbScale"));
    cmbScale->addItems({QStringLiteral("1\u00d7"), QStringLiteral("2\u00d7")});
    cmbScale->setToolTip(QStringLiteral("Size of a saved PNG or a copied image, in window sizes"));
    cmdSaveImage = new QPushButton(QStringLiteral("Save Image\u2026"));
    cmdSaveImage->setObjectName(QStringLiteral("cmdSaveImage"));
    cmdCopyImage = new QPushButton(QStringLiteral("Copy Image"));
    cmdCopyImage->setObjectName(QStringLiteral("cmdCopyImage"));
    cmdSaveData = new QPushButton(QStringLiteral("Save Data\u2026"));
    cmdSaveData->setObjectName(QStringLiteral("cmdSaveData"));
    connect(cmdSaveImage, &QPushButton::clicked, this, [this] { saveImage(); });
    connect(cmdCopyImage, &QPushButton::clicked, this, [this] { copyImage(); });
    connect(cmdSaveData, &QPushButton::clicked, this, [this] { saveData(); });

    chartView = new ChartView;
    chartView->setHoverFormat([](const QString& series, plot::DataPoint p) {
        return QStringLiteral("%1: V = %2 cm\u00b3/mol, P = %3 bar")
            .arg(series, qs(formatDigits(p.x, 5)), qs(formatDigits(p.y, 5)));
    });
    chartView->setObjectName(QStringLiteral("chartView"));
    lblStatus = new QLabel;
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setMinimumWidth(100);
    connect(chartView, &ChartView::hovered, this, [this](const QString& t) {
        if (model_) lblStatus->setText(t);
    });

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(chkSaturation);
    bottom->addSpacing(12);
    bottom->addWidget(lblStatus, 1);
    bottom->addWidget(new QLabel(QStringLiteral("Image size:")));
    bottom->addWidget(cmbScale);
    bottom->addWidget(cmdSaveImage);
    bottom->addWidget(cmdCopyImage);
    bottom->addWidget(cmdSaveData);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(equations);
    layout->addWidget(chartView, 1);
    layout->addLayout(bottom);

    connect(cmbRow, &QComboBox::currentIndexChanged, this, [this] { rebuildModel(); });

    restoreSize(this, kSizeKey, QSize(plot::kIsothermPictureWidth + 24, plot::kIsothermPictureHeight + 90));
    setSolved(std::nullopt);
}

IsothermWindow::~IsothermWindow() = default;

IsothermWindow* IsothermWindow::open() { return showSingle(slot()); }
IsothermWindow* IsothermWindow::instance() { return slot().data(); }

void IsothermWindow::closeEvent(QCloseEvent* event) {
    rememberSize(this, kSizeKey);
    QWidget::closeEvent(event);
}

void IsothermWindow::setSolved(const std::optional<SolvedCase>& solved) {
    solved_ = solved;
    const int keep = cmbRow->currentIndex();
    {
        const QSignalBlocker block(cmbRow);
        cmbRow->clear();
        if (solved_)
            for (int k = 0; k < std::clamp<int>(solved_->state.numComps, 0, 4); ++k) {
                const std::string& name = solved_->names[static_cast<std::size_t>(k)];
                cmbRow->addItem(name.empty() ? QStringLiteral("Component %1").arg(k + 1) : qs(name));
            }
        if (cmbRow->count() > 0) cmbRow->setCurrentIndex(keep >= 0 && keep < cmbRow->count() ? keep : 0);
    }
    rebuildModel();
}

void IsothermWindow::showRow(int row) {
    if (row >= 0 && row < cmbRow->count()) cmbRow->setCurrentIndex(row);
}

plot::IsothermView IsothermWindow::view() const {
    plot::IsothermView v;
    for (std::size_t e = 0; e < chkEquation.size(); ++e) v.shown[e] = chkEquation[e]->isChecked();
    v.saturation = chkSaturation->isChecked();
    return v;
}

void IsothermWindow::rebuildModel() {
    const int row = cmbRow->currentIndex();
    if (solved_ && row >= 0)
        model_ = isothermModel(*solved_, row);
    else
        model_.reset();
    redraw();
}

void IsothermWindow::redraw() {
    const bool have = model_.has_value();
    for (QWidget* w : std::initializer_list<QWidget*>{cmbRow, cmdSaveImage, cmdCopyImage, cmdSaveData}) w->setEnabled(have);
    if (!have) {
        plot::Chart empty;
        empty.emptyText = QStringLiteral("No results to draw: the grid is empty. Solve in the main window, and the isotherms of its components appear here.");
        chartView->setChart(empty);
        lblStatus->setText(QStringLiteral("The grid is empty (cleared, or not solved yet)."));
        return;
    }
    chartView->setChart(plot::isothermChart(*model_, view()));
    lblStatus->clear();
}

double IsothermWindow::imageScale() const { return cmbScale->currentIndex() == 1 ? 2.0 : 1.0; }

void IsothermWindow::saveImage() {
    if (!model_) return;
    saveChartAs(this, chartView->chart(), chartView->size(), imageScale(),
                QStringLiteral("isotherms-%1.png").arg(qs(model_->component)));
}

void IsothermWindow::copyImage() {
    if (!model_) return;
    QGuiApplication::clipboard()->setImage(plot::chartImage(chartView->chart(), chartView->size(), imageScale()));
}

void IsothermWindow::saveData() {
    if (!model_) return;
    saveBytesAs(this, QStringLiteral("isotherms-%1.csv").arg(qs(model_->component)), QStringLiteral("CSV files (*.csv)"),
                QStringLiteral("data"), [this] { return QByteArray::fromStdString(report::isothermCsv(*model_)); });
}

}  // namespace zolvant::ui
