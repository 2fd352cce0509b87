#include "ui/main/frmZolvMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "db/startup.h"
#include "solver/solve.h"
#include "solver/text.h"
#include "ui/common/layout.h"
#include "ui/common/services.h"
#include "ui/main/cell_insight.h"
#include "ui/main/component_finder.h"
#include "ui/main/focus_router.h"
#include "ui/main/results_commands.h"
#include "ui/main/window_dialogs.h"

#include "ui/editor/editor_window.h"
#include "ui/help/help_windows.h"
#include "ui/pictures/pictures.h"

namespace zolvant::ui {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// Entering a box selects its whole text with the caret at the start, so
// that typing replaces what the box shows and a long text shows its
// beginning. A mouse press clears a selection made in the focus event, so
// it is made once more after the press has been handled.
void selectForOvertyping(QLineEdit* box) {
    const auto apply = [box] {
        const int n = static_cast<int>(box->text().size());
        box->setCursorPosition(n);
        box->cursorBackward(true, n);
    };
    apply();
    const QString shown = box->text();
    QTimer::singleShot(0, box, [box, apply, shown] {
        if (box->hasFocus() && box->text() == shown) apply();
    });
}

}  // namespace

frmZolvMain::frmZolvMain(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmZolvMain"));
    setWindowTitle(appTitle());
    setFont(fontMsSansSerif());
    fixClientTwips(this, 9648, 7236);
    zolvant_init_pictures();
    if (background_.load(QStringLiteral(":/pictures/background.bmp")))
        backgroundEdge_ = background_.toImage().pixelColor(background_.width() - 1, background_.height() - 1);
    ui_ = createMainControls(this);
    windowBase_ = ui_.cells[0][0][0]->palette().color(QPalette::Base);
    arrangeTabOrder(ui_);
    watchFocus();
    results_ = new ResultsCommands(this, [this] { return shownResults(); });
    QList<QLineEdit*> cells;
    for (int e = 0; e < kBlocks; ++e)
        for (int c = 0; c < 3; ++c)
            for (QLineEdit* cell : resultColumn(e, static_cast<Column>(c))) cells << cell;
    results_->attachCells(cells);
    results_->setCellEntries([this](QMenu* menu, const QObject* cell) {
        const int row = rowOfCell(cell);
        if (!solved_ || row < 0 || row >= solved_->state.numComps) return;
        const std::string& name = solved_->names[static_cast<std::size_t>(row)];
        const QString caption = name.empty() ? QStringLiteral("Component %1").arg(row + 1) : qs(name);
        QAction* a = menu->addAction(QStringLiteral("Isotherms of %1").arg(caption));
        a->setObjectName(QStringLiteral("actIsothermsOfRow"));
        connect(a, &QAction::triggered, this, [this, row] { emit isothermsRequested(row); });
        menu->addSeparator();
    });
    insight_ = new CellInsight(this, ui_);
    for (std::size_t i = 0; i < 4; ++i) finders_[i] = new ComponentFinder(ui_.cmbComp[i]);
}

frmZolvMain::~frmZolvMain() {
    // No handler may run while the controls are being destroyed.
    delete router_;
    router_ = nullptr;
    delete results_;
    results_ = nullptr;
    releaseDatabase();
}

void frmZolvMain::watchFocus() {
    router_ = new FocusRouter(this);
    for (int i = 0; i < 4; ++i) {
        router_->watch(
            ui_.cmbComp[i], [this, i] { cmbComp_GotFocus(i); }, [this, i] { cmbComp_LostFocus(i); });
        router_->watch(
            ui_.txtCmpMF[i], [this, i] { txtCmpMF_GotFocus(i); }, [this, i] { txtCmpMF_LostFocus(i); });
    }
    router_->watch(
        ui_.txtTemp, [this] { txtTemp_GotFocus(); }, [this] { txtTemp_LostFocus(); });
    router_->watch(
        ui_.txtPress, [this] { txtPress_GotFocus(); }, [this] { txtPress_LostFocus(); });
    // Enter in a box presses Solve, an Alt key its button: as a click would, after the box's check.
    router_->pressOnEnter(ui_.cmdSolve);
    router_->pressOnMnemonic({ui_.cmdSolve, ui_.cmdClrComp, ui_.cmdCompList, ui_.cmdInstruct, ui_.cmdDataForm});

    connect(ui_.cmdSolve, &QPushButton::clicked, this, [this] { cmdSolve_Click(); });
    connect(ui_.cmdClrComp, &QPushButton::clicked, this, [this] { cmdClrComp_Click(); });
    connect(ui_.cmdCompList, &QPushButton::clicked, this, [this] { cmdCompList_Click(); });
    connect(ui_.cmdInstruct, &QPushButton::clicked, this, [this] { cmdInstruct_Click(); });
    connect(ui_.cmdDataForm, &QPushButton::clicked, this, [this] { cmdDataForm_Click(); });
}

frmZolvMain::Cells& frmZolvMain::resultColumn(int block, Column column) {
    return ui_.cells[static_cast<std::size_t>(block)][static_cast<std::size_t>(column)];
}

void frmZolvMain::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (background_.isNull()) {
        p.fillRect(rect(), mainBackground());
    } else {
        // The client area is a few pixels larger than the picture: the strip
        // beyond it takes the picture's own edge colour.
        p.fillRect(rect(), backgroundEdge_);
        p.drawPixmap(0, 0, background_);
    }
    if (insight_) insight_->paintCue(p);
}

bool frmZolvMain::event(QEvent* event) {
    // The stable-phase tags are painted on the window: their tooltips are its own.
    return (event->type() == QEvent::ToolTip && insight_ && insight_->showTagToolTip(event)) || QWidget::event(event);
}

// ---------------------------------------------------------- start and end

void frmZolvMain::Form_Load() {
    for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) w->show();
    for (QComboBox* box : ui_.cmbComp) box->setCurrentIndex(-1);

    WindowDialogs dialogs(this);
    try {
        db::StartupResult opened = db::openComponentDatabase(dialogs);
        dbComps = std::move(opened.dbComps);
        rstComps = std::move(opened.rstComps);
        abandoned_ = opened.abandoned;
    } catch (const db::DbError& e) {
        // The opening ends without a recordset: the lists stay empty.
        qWarning("Opening the component database failed: %s", e.description().c_str());
    }
    loaded_ = !abandoned_;
    // The first control of the tab order receives the focus when the window
    // is shown; its list is filled at that moment.
    ui_.cmbComp[0]->setFocus(Qt::OtherFocusReason);
}

void frmZolvMain::closeEvent(QCloseEvent* event) {
    // Closing never runs an input check, whatever the boxes hold.
    if (router_) router_->setClosing(true);
    // The other windows close with this one (an unsaved edit in the editor
    // is discarded as by its own close box): the program ends.
    std::vector<QPointer<QWidget>> others;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && !w->parentWidget() && w->isVisible()) others.emplace_back(w);
    for (const QPointer<QWidget>& w : others)
        if (w) w->close();
    Form_Unload();
    event->accept();
}

void frmZolvMain::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    releaseDatabase();
    emit unloaded();
}

void frmZolvMain::releaseDatabase() {
    // The recordset is closed before the database it belongs to. Each close
    // is best effort: the connection goes whatever the engine says, and a
    // failure is only worth a trace.
    const auto closeBestEffort = [](const char* what, const auto& close) {
        try {
            close();
        } catch (const db::DbError& e) {
            qWarning("Closing the component %s failed: %s", what, e.description().c_str());
        }
    };
    if (rstComps) closeBestEffort("recordset", [this] { rstComps->Close(); });
    rstComps.reset();
    if (dbComps) closeBestEffort("database", [this] { dbComps->Close(); });
    dbComps.reset();
}

void frmZolvMain::showDatabaseError(const db::DbError& e) {
    services().message(this, qs(e.description()), QStringLiteral("Database ERROR"));
}

// ---------------------------------------------------------- mole fractions

FractionTexts frmZolvMain::fractionTexts() const {
    FractionTexts f;
    for (std::size_t k = 0; k < 4; ++k) f[k] = ui_.txtCmpMF[k]->text().toStdString();
    return f;
}

void frmZolvMain::txtCmpMF_GotFocus(int Index) {
    QLineEdit* box = ui_.txtCmpMF[Index];
    box->setText(qs(entry_.enterFraction(fractionTexts(), Index)));
    selectForOvertyping(box);
}

void frmZolvMain::txtCmpMF_LostFocus(int Index) {
    const FractionLeft left = entry_.leaveFraction(Index, ui_.txtCmpMF[Index]->text().toStdString());
    ui_.txtCmpMF[Index]->setText(qs(left.text));
    if (left.deselect) selectNone(ui_.cmbComp[Index]);
}

// ---------------------------------------------------- temperature, pressure

void frmZolvMain::txtTemp_GotFocus() { selectForOvertyping(ui_.txtTemp); }

void frmZolvMain::txtTemp_LostFocus() {
    const TemperatureLeft left = entry_.leaveTemperature(ui_.txtTemp->text().toStdString());
    if (!left.accepted) {
        services().message(this, qs(left.message), qs(left.title));
        if (left.emptyBox) ui_.txtTemp->clear();
        ui_.txtTemp->setFocus(Qt::OtherFocusReason);
        return;
    }
    for (int k = 0; k < left.rows; ++k)
        ui_.chkCritT[k]->setChecked(mixture().aboveCritT[static_cast<std::size_t>(k)]);
    ui_.lblMsg->setText(qs(left.messageLine));
}

void frmZolvMain::txtPress_GotFocus() { selectForOvertyping(ui_.txtPress); }

void frmZolvMain::txtPress_LostFocus() { entry_.leavePressure(ui_.txtPress->text().toStdString()); }

// ------------------------------------------------------------------ Solve

void frmZolvMain::cmdSolve_Click() {
    const ShownConditions shown{ui_.txtTemp->text().toStdString(), ui_.txtPress->text().toStdString()};
    const SolveCheck check = entry_.solve(fractionTexts(), shown, *this, [this](const SolveCheck& decided) {
        for (std::size_t k = 0; k < 4; ++k)
            if (decided.deselect[k] && ui_.cmbComp[k]->currentIndex() != -1) selectNone(ui_.cmbComp[k]);
        if (!decided.accepted) return;
        accepted_ = solveInputs();
        roots_.clear();
        const int numComps = mixture().numComps;
        for (int k = 0; k < 4; ++k) {
            const bool used = k < numComps;
            if (used) {
                const QString name = ui_.cmbComp[k]->currentText();
                ui_.lblComp[k]->setText(name);
                ui_.lblComp[k + 4]->setText(name);
            }
            ui_.lblComp[k]->setVisible(used);
            ui_.lblComp[k + 4]->setVisible(used);
            ui_.chkCritT[k]->setVisible(used);
        }
        hideRowsNotInUse();
    });
    if (!check.accepted) {
        services().message(this, qs(check.message), qs(check.title));
        if (check.focusTemperature) ui_.txtTemp->setFocus(Qt::OtherFocusReason);
        if (check.focusPressure) ui_.txtPress->setFocus(Qt::OtherFocusReason);
        return;
    }
    results_->setAvailable(true);
    solved_ = SolvedCase{mixture(), fractionTexts(), {}, roots_, ui_.txtTemp->text().toStdString(),
                         ui_.txtPress->text().toStdString()};
    for (int k = 0; k < std::clamp<int>(mixture().numComps, 0, 4); ++k)
        solved_->names[static_cast<std::size_t>(k)] = ui_.cmbComp[k]->currentText().toStdString();
    emit solveAccepted();
}

int frmZolvMain::rowOfCell(const QObject* cell) const {
    for (const auto& block : ui_.cells)
        for (const Cells& column : block)
            for (int k = 0; k < 4; ++k)
                if (column[static_cast<std::size_t>(k)] == cell) return k;
    return -1;
}

// The window's half of ClearResults; the cells are emptied by the solver's.
void frmZolvMain::hideRowsNotInUse() {
    for (int k = std::max<int>(mixture().numComps, 0); k < 4; ++k) {
        ui_.cmbComp[k]->hide();
        ui_.txtCmpMF[k]->hide();
        ui_.chkCritT[k]->hide();
        for (auto& block : ui_.cells)
            for (Cells& column : block) column[static_cast<std::size_t>(k)]->hide();
    }
}

void frmZolvMain::setCellText(int block, Column column, int row, const std::string& text) {
    if (block < 0 || block >= kBlocks || row < 0 || row > kMixtureRow) return;
    resultColumn(block, column)[static_cast<std::size_t>(row)]->setText(qs(text));
}

void frmZolvMain::rootDone(int block, int row, Phase phase, const RootOutcome& root) {
    if (insight_) insight_->rootDone(block, row, phase, root);
    roots_.record(block, row, phase, root);
}

void frmZolvMain::setCellMark(int block, int row, Mark mark) {
    if (block < 0 || block >= kBlocks || row < 0 || row >= kMixtureRow) return;
    const QColor colour = mark == Mark::Window ? windowBase_ : colourFromNumber(markColour(mark));
    for (Column c : {Column::Vapour, Column::Z}) {
        QLineEdit* cell = resultColumn(block, c)[static_cast<std::size_t>(row)];
        QPalette pal = cell->palette();
        pal.setColor(QPalette::Base, colour);
        cell->setPalette(pal);
    }
}

// ------------------------------------------------------------------ Clear

void frmZolvMain::cmdClrComp_Click() {
    const auto emptyAndShow = [](QLineEdit* cell) {
        cell->clear();
        cell->show();
    };
    for (int i = 0; i < 4; ++i) {
        ui_.cmbComp[i]->show();
        ui_.txtCmpMF[i]->show();
        selectNone(ui_.cmbComp[i]);
        ui_.txtCmpMF[i]->clear();
        ui_.chkCritT[i]->show();
        for (int e = 0; e < 3; ++e)
            for (int c = 0; c < 3; ++c) emptyAndShow(resultColumn(e, static_cast<Column>(c))[static_cast<std::size_t>(i)]);
    }
    for (int e = 0; e < 3; ++e)
        for (int c = 0; c < 3; ++c) emptyAndShow(resultColumn(e, static_cast<Column>(c))[kMixtureRow]);
    for (int e = 3; e < kBlocks; ++e)
        for (int c = 0; c < 3; ++c)
            for (QLineEdit* cell : resultColumn(e, static_cast<Column>(c))) emptyAndShow(cell);
    ui_.txtTemp->clear();
    ui_.txtPress->clear();
    // The grid is empty: there is nothing to copy or save until the next Solve.
    accepted_.reset();
    results_->setAvailable(false);
    solved_.reset();
    emit resultsCleared();
}

// ---------------------------------------------------------- results out

namespace {
// A row whose component Solve released is captioned by nothing; it is
// named by its position instead.
QString captionOr(const QString& caption, int row) {
    return caption.isEmpty() ? QStringLiteral("Component %1").arg(row + 1) : caption;
}
}  // namespace

ResultsInputs frmZolvMain::solveInputs() {
    ResultsInputs in;
    for (int k = 0; k < std::clamp<int>(mixture().numComps, 0, 4); ++k)
        in.components.push_back({captionOr(ui_.cmbComp[k]->currentText(), k), ui_.txtCmpMF[k]->text()});
    in.temperatureC = ui_.txtTemp->text();
    in.temperatureK = qs(formatGeneral(mixture().tempK));
    in.pressureBar = qs(formatGeneral(mixture().pressBar));
    return in;
}

ResultsTable frmZolvMain::shownResults() {
    ResultsTable t;
    if (!accepted_) return t;
    t.inputs = *accepted_;
    const int rows = static_cast<int>(t.inputs.components.size());
    for (int e = 0; e < kBlocks; ++e) {
        const int band = e < 3 ? 0 : 1;
        ResultsBlock block;
        block.equation = ui_.lblEOS[e]->text();
        const auto cellsOf = [this, e](int row) {
            std::array<QString, 3> cells;
            for (int c = 0; c < 3; ++c) cells[c] = resultColumn(e, static_cast<Column>(c))[row]->text();
            return cells;
        };
        for (int k = 0; k < rows; ++k) block.rows.push_back({captionOr(ui_.lblComp[k + 4 * band]->text(), k), cellsOf(k)});
        // The mixture row holds results only when more than one row is in use.
        if (rows > 1) block.rows.push_back({ui_.lblMix[band]->text(), cellsOf(kMixtureRow)});
        t.blocks.push_back(block);
    }
    return t;
}

void frmZolvMain::contextMenuEvent(QContextMenuEvent* event) {
    if (!results_ || !results_->showBackgroundMenu(event)) event->ignore();
}

// ------------------------------------------------------------- navigation

// Each opens its window modeless and ownerless, or raises the open one.
void frmZolvMain::cmdCompList_Click() { showComponentEditor(); }
void frmZolvMain::cmdInstruct_Click() { showInstructions(); }
void frmZolvMain::cmdDataForm_Click() { showInformation(); }

}  // namespace zolvant::ui
