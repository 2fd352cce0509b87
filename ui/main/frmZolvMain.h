#pragma once
// The calculator's main window: component rows, mole fractions, the state
// temperature and pressure, Solve and Clear, the result grid of the six
// equations of state, and the buttons that open the other windows.

#include <QColor>
#include <QPixmap>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>

#include "db/database.h"
#include "report/results_table.h"
#include "solver/grid.h"
#include "solver/insight.h"
#include "solver/mixture_entry.h"
#include "solver/state.h"
#include "ui/main/main_layout.h"

class QComboBox;

namespace zolvant::ui {

using report::ResultsBlock;
using report::ResultsInputs;
using report::ResultsRow;
using report::ResultsTable;

class CellInsight;
class ComponentFinder;
class FocusRouter;
class ResultsCommands;

class frmZolvMain : public QWidget, private zolvant::ResultGrid {
    Q_OBJECT
public:
    explicit frmZolvMain(QWidget* parent = nullptr);
    ~frmZolvMain() override;

    // Start-up: shows every control and opens the component database (with
    // its recovery dialog). When the user gives up on finding a database the
    // window is not to be shown: abandoned() tells.
    void Form_Load();
    bool loaded() const { return loaded_; }
    bool abandoned() const { return abandoned_; }

    // The mixture specification the equations read.
    const zolvant::MixtureState& mixture() const { return entry_.state(); }
    bool hasComponentRecordset() const { return rstComps != nullptr; }

    // Event handlers. The focus handlers are reached only through the
    // window's focus router; the buttons' through their clicked signals.
    void cmbComp_GotFocus(int Index);
    void cmbComp_LostFocus(int Index);
    void txtCmpMF_GotFocus(int Index);
    void txtCmpMF_LostFocus(int Index);
    void txtTemp_GotFocus();
    void txtTemp_LostFocus();
    void txtPress_GotFocus();
    void txtPress_LostFocus();
    void cmdSolve_Click();
    void cmdClrComp_Click();
    void cmdCompList_Click();
    void cmdInstruct_Click();
    void cmdDataForm_Click();

    using Cells = MainControls::Cells;

    // The column of one equation block (0 VDW … 5 PRSV2).
    Cells& resultColumn(int block, zolvant::Column column);

    // The menu bar's way in (ui/main/main_window.h): the results' actions,
    // the database in use, and another one taking its place (the current
    // one is released first; nullptrs leave none open).
    ResultsCommands* resultsCommands() const { return results_; }
    QString databasePath() const;  // empty when none is open
    const zolvant::db::Database* database() const { return dbComps.get(); }
    void useDatabase(std::unique_ptr<zolvant::db::Database> db, std::unique_ptr<zolvant::db::Recordset> rst);
    // Every box lists the database in use again at once (after records were
    // added to it), keeping each chosen name that is still there.
    void refreshComponentLists();
    // What typing in a component box finds (for tests and the benchmark).
    const ComponentFinder* componentFinder(int Index) const;

    // What the last accepted Solve left behind (state, captions, how each
    // root ended), for the windows that explain the grid; none after Clear.
    const std::optional<zolvant::SolvedCase>& solvedCase() const { return solved_; }

signals:
    // Form_Unload has run: the program is to end.
    void unloaded();
    // A Solve was accepted and the grid filled; Clear emptied it.
    void solveAccepted();
    void resultsCleared();
    // "Isotherms of <component>" chosen in a result box's context menu.
    void isothermsRequested(int row);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void watchFocus();
    void Form_Unload();
    void releaseDatabase();
    void hideRowsNotInUse();
    zolvant::FractionTexts fractionTexts() const;
    void showDatabaseError(const zolvant::db::DbError& e);
    void selectNone(QComboBox* box);
    // component_boxes.cpp
    void fillComponentList(int Index);
    bool chooseTyped(int Index);
    void loadSelected(int Index);
    ResultsInputs solveInputs();
    ResultsTable shownResults();

    // ResultGrid: the equations write their cells through these.
    void setCellText(int block, zolvant::Column column, int row, const std::string& text) override;
    void setCellMark(int block, int row, zolvant::Mark mark) override;
    void rootDone(int block, int row, zolvant::Phase phase, const zolvant::RootOutcome& root) override;
    int rowOfCell(const QObject* cell) const;

    MainControls ui_;              // every control; the cells by block, column and row
    zolvant::MixtureEntry entry_;  // the mixture state and its entry rules
    std::unique_ptr<zolvant::db::Database> dbComps;
    std::unique_ptr<zolvant::db::Recordset> rstComps;  // declared after dbComps: released first
    FocusRouter* router_ = nullptr;
    ResultsCommands* results_ = nullptr;
    CellInsight* insight_ = nullptr;
    std::array<ComponentFinder*, 4> finders_{};  // owned by their boxes  // tooltips and the stable-phase cue of the result cells
    std::optional<ResultsInputs> accepted_;  // inputs of the Solve whose results the grid shows
    std::optional<zolvant::SolvedCase> solved_;
    zolvant::RootLog roots_;  // filled while the equations run
    QPixmap background_;
    QColor backgroundEdge_;  // fills the strip the picture does not cover
    QColor windowBase_;  // the text boxes' own background: cells without a mark
    bool loaded_ = false;
    bool abandoned_ = false;
    bool unloaded_ = false;
};

}  // namespace zolvant::ui
