#pragma once
// The Isotherms window: each equation's P–V isotherm of one component row
// of the last accepted Solve, drawn by the chart renderer. Modeless,
// ownerless, one instance, resizable; it remembers its size. It only reads
// what a Solve left behind: it never touches the main window's boxes, so
// opening or using it never runs an input check there.

#include <QWidget>
#include <array>
#include <optional>

#include "chart/isotherm_chart.h"
#include "solver/insight.h"
#include "solver/isotherm.h"
#include "ui/plot/chart_view.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace zolvant::ui {

class IsothermWindow : public QWidget {
    Q_OBJECT
public:
    IsothermWindow();
    ~IsothermWindow() override;

    // The one window, created on first use and raised afterwards.
    static IsothermWindow* open();
    static IsothermWindow* instance();  // nullptr when not open

    // A new accepted Solve (its rows are offered, the chosen one kept when
    // still in use), or none: the window empties and says why.
    void setSolved(const std::optional<SolvedCase>& solved);
    void showRow(int row);

    const std::optional<IsothermModel>& model() const { return model_; }
    plot::IsothermView view() const;

    void saveImage();
    void copyImage();
    void saveData();

    // Controls.
    QComboBox* cmbRow = nullptr;
    std::array<QCheckBox*, kBlocks> chkEquation{};
    QCheckBox* chkSaturation = nullptr;
    QComboBox* cmbScale = nullptr;  // PNG and copied image: 1× or 2× the window's size
    QPushButton* cmdSaveImage = nullptr;
    QPushButton* cmdCopyImage = nullptr;
    QPushButton* cmdSaveData = nullptr;
    ChartView* chartView = nullptr;
    QLabel* lblStatus = nullptr;  // the hover read-out, or why there is nothing

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void rebuildModel();
    void redraw();
    double imageScale() const;

    std::optional<SolvedCase> solved_;
    std::optional<IsothermModel> model_;
};

}  // namespace zolvant::ui
