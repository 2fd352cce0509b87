#pragma once
// The Mixture Phases window: what the one-fluid model says about the last
// accepted Solve's mixture by all six equations. The flash of each (phases,
// vapour fraction, volumes, Z, densities, bubble and dew points), the six
// phase envelopes as a chart, the phase compositions by one chosen equation
// and the kij in use, which can be edited (the window recomputes, the grid
// does not) and stored in the database. Modeless, ownerless, one instance,
// resizable; it remembers its size. It never touches the main window's
// boxes, so it runs no input check there.

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "db/kij.h"
#include "solver/insight.h"
#include "solver/mixture_model.h"
#include "ui/plot/chart_view.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace zolvant::ui {

class MixturePhasesWindow : public QWidget {
    Q_OBJECT
public:
    MixturePhasesWindow();
    ~MixturePhasesWindow() override;

    static MixturePhasesWindow* open();
    static MixturePhasesWindow* instance();  // nullptr when not open

    // A new accepted Solve, read with the database at `dbPath` (its kij and
    // molar masses), or none: the window empties and says why.
    void setSolved(const std::optional<SolvedCase>& solved, const QString& dbPath);

    // The six reports shown (empty when there is nothing), the kij in use
    // per block, and whether they are the database's as read.
    const std::vector<MixtureReport>& reports() const { return reports_; }
    const db::KijMatrices& kij() const { return kij_; }

    // The kij of positions i and j for the blocks of one family column of
    // the kij table (0 PR family, 1 SRK, 2 RK, 3 VDW); recomputes the window.
    void setFamilyKij(int family, int i, int j, double value);

    // The data file: the flash table's records, then the envelope points.
    std::string dataCsv() const;
    // The flash table as tab-separated text (what Copy puts on the clipboard).
    QString tabSeparated() const;

    void saveData();
    void saveImage();
    void copyTable();
    // Stores the Peng-Robinson and Soave-Redlich-Kwong pairs in use in the
    // database, whole or not at all; false (and a box saying why) when refused.
    bool storeKij();

    // How Store opens the database in use (a test may open it read-only).
    std::function<std::unique_ptr<db::Database>(const std::string& path)> openDatabase = [](const std::string& path) {
        return db::Database::OpenDatabase(path);
    };

    // Milliseconds the last recomputation took (for the closing figures).
    double lastUpdateMs() const { return lastUpdateMs_; }

    QTableWidget* flashTable = nullptr;
    QTableWidget* compositionTable = nullptr;
    QTableWidget* kijTable = nullptr;
    ChartView* envelopeChart = nullptr;
    QComboBox* cmbEquation = nullptr;  // whose compositions show
    QComboBox* cmbScale = nullptr;
    std::array<QCheckBox*, kBlocks> chkEquation{};
    QPushButton* saveDataButton = nullptr;
    QPushButton* saveImageButton = nullptr;
    QPushButton* copyButton = nullptr;
    QPushButton* storeButton = nullptr;
    QLabel* lblStatus = nullptr;  // why the window is empty, the hover read-out, a store's outcome

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void recompute();
    void fillFlashTable();
    void fillCompositions();
    void fillKijTable();
    void redrawChart();
    void kijEdited(int row, int column);
    QString componentName(int k) const;

    std::optional<SolvedCase> solved_;
    QString dbPath_;
    CompVector z_{};
    MolarMasses molWt_{};
    db::KijMatrices kij_{};
    std::vector<MixtureReport> reports_;
    bool filling_ = false;
    double lastUpdateMs_ = 0.0;
};

}  // namespace zolvant::ui
