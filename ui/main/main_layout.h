#pragma once
// The main window's controls: each one's place in twips, caption, font,
// colours and name, created on the window in one go. The window wires them
// to its handlers; nothing here reacts to an event but the component box's
// own typing rule.

#include <QColor>
#include <array>

#include "solver/grid.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace zolvant::ui {

// Controls named as the form names them; arrays indexed by element.
struct MainControls {
    using Cells = std::array<QLineEdit*, 5>;  // rows 0..3 are positions, 4 the mixture

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
    // The result cells txtLiqVDW_0 … txtZPRSV2_4 by block (0 VDW … 5 PRSV2),
    // column (Liquid, Vapour, Z) and row.
    std::array<std::array<Cells, 3>, kBlocks> cells{};
};

// The window's background colour where its picture does not paint, and the
// >CT boxes' background.
QColor mainBackground();

// Creates every control as a child of form, with form's font as the base.
MainControls createMainControls(QWidget* form);

// Tab order: the entry boxes in order, the buttons, the grid, the >CT boxes.
void arrangeTabOrder(const MainControls& controls);

}  // namespace zolvant::ui
