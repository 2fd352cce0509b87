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
#include "solver/grid.h"
#include "solver/state.h"
#include "ui/main/results_export.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zolvant::ui {

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
    const zolvant::MixtureState& mixture() const { return state_; }
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

    // Controls, named as the form names them; arrays indexed by element.
    using Cells = std::array<QLineEdit*, 5>;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QPushButton* cmdClrComp = nullptr;
    QPushButton* cmdCompList = nullptr;
    std::array<QCheckBox*, 4> chkCritT{};
    std::array<QComboBox*, 4> cmbComp{};
    std::array<QLineEdit*, 4> txtCmpMF{};
    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* txtTemp = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* txtPress = nullptr;
    QPushButton* cmdSolve = nullptr;
    QPushButton* cmdDataForm = nullptr;
    QPushButton* cmdInstruct = nullptr;
    QLabel* lblMsg = nullptr;
    QLabel* Label16 = nullptr;
    QLabel* Label11 = nullptr;
    std::array<QLabel*, 6> lblEOS{};
    std::array<QLabel*, 6> lblLiq{};
    std::array<QLabel*, 6> lblVap{};
    std::array<QLabel*, 6> lblZ{};
    std::array<QLabel*, 8> lblComp{};
    std::array<QLabel*, 2> lblMix{};
    Cells txtLiqVDW{}, txtVapVDW{}, txtZVDW{};
    Cells txtLiqRK{}, txtVapRK{}, txtZRK{};
    Cells txtLiqPR{}, txtVapPR{}, txtZPR{};
    Cells txtLiqSRK{}, txtVapSRK{}, txtZSRK{};
    Cells txtLiqPRSV1{}, txtVapPRSV1{}, txtZPRSV1{};
    Cells txtLiqPRSV2{}, txtVapPRSV2{}, txtZPRSV2{};

    // The column of one equation block (0 VDW … 5 PRSV2).
    Cells& resultColumn(int block, zolvant::Column column);

    // The menu bar's way in (ui/main/main_window.h): the results' actions,
    // the database in use, and another one taking its place (the current
    // one is released first; nullptrs leave none open).
    ResultsCommands* resultsCommands() const { return results_; }
    QString databasePath() const;  // empty when none is open
    void useDatabase(std::unique_ptr<zolvant::db::Database> db, std::unique_ptr<zolvant::db::Recordset> rst);

signals:
    // Form_Unload has run: the program is to end.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void createControls();
    void placeExponent();
    void arrangeTabOrder();
    void watchFocus();
    void Form_Unload();
    void releaseDatabase();
    void ClearResults();
    zolvant::FractionTexts fractionTexts() const;
    void showDatabaseError(const zolvant::db::DbError& e);
    void selectNone(QComboBox* box);
    ResultsInputs solveInputs();
    ResultsTable shownResults();

    // ResultGrid: the equations write their cells through these.
    void setCellText(int block, zolvant::Column column, int row, const std::string& text) override;
    void setCellMark(int block, int row, zolvant::Mark mark) override;

    zolvant::MixtureState state_;
    std::unique_ptr<zolvant::db::Database> dbComps;
    std::unique_ptr<zolvant::db::Recordset> rstComps;  // declared after dbComps: released first
    FocusRouter* router_ = nullptr;
    ResultsCommands* results_ = nullptr;
    std::optional<ResultsInputs> accepted_;  // inputs of the Solve whose results the grid shows
    QPixmap background_;
    QColor backgroundEdge_;  // fills the strip the picture does not cover
    QColor windowBase_;  // the text boxes' own background: cells without a mark
    bool loaded_ = false;
    bool abandoned_ = false;
    bool unloaded_ = false;
};

}  // namespace zolvant::ui
