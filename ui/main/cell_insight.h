#pragma once
// The result cells' insight in the main window: a tooltip on every filled
// cell (on hover, or Ctrl+F1 on the focused cell) saying how its root was
// found, the equation's true roots, its saturation pressure and the stable
// phase; and a cue of the stable phase beside every component row of every
// equation, drawn outside the cells so that their looks stay as they are.
// It only reads: no input check runs and the focus never moves.

#include <QObject>
#include <QFont>
#include <QRect>
#include <QString>
#include <array>
#include <map>
#include <optional>

#include "solver/grid.h"
#include "solver/insight.h"
#include "solver/phase.h"
#include "ui/main/one_fluid.h"

class QLineEdit;
class QPainter;

namespace zolvant::ui {

class frmZolvMain;
struct MainControls;

class CellInsight : public QObject {
    Q_OBJECT
public:
    // The window's own controls give the captions and fraction texts a Solve used.
    CellInsight(frmZolvMain* window, const MainControls& controls);

    // The grid's rootDone: each Solve's first root starts a new record of
    // the state, fractions and captions it solved.
    void rootDone(int block, int row, Phase phase, const RootOutcome& root);

    // The tooltip of a cell as it shows now; empty for an empty cell.
    QString toolTipFor(int block, Column column, int row) const;
    // What a hover or Ctrl+F1 shows: toolTipFor, and for a mixture cell the
    // one-fluid result of its equation below it.
    QString shownToolTip(int block, Column column, int row) const;
    // The one-fluid lines of the mixture row of `block` ("" when its cells are
    // empty); the bubble and dew pressures are computed on the first call.
    QString oneFluidToolTip(int block) const;
    // The tag beside the mixture Z cell: "V", "L", "V+L"; "" where none shows.
    QString mixtureTag(int block) const;
    const OneFluid& oneFluid() const { return oneFluid_; }

    // The stable phase the cue shows for a component row; nullopt when the
    // row shows nothing (cleared, not in use, undefined).
    std::optional<StablePhase> cueFor(int block, int row) const;

    // The tooltip of the stable-phase tag of a component row ("" where no
    // tag shows), and of whatever tag lies at `pos` in the window.
    QString tagToolTip(int block, int row) const;
    QString tagToolTipAt(const QPoint& pos) const;
    // The window's tooltip event: shows the tooltip of the tag under the
    // mouse; false when there is none there.
    bool showTagToolTip(QEvent* event) const;

    // Draws the cue on the window's background, under its controls: a frame
    // just outside the cell of the stable phase (both cells when saturated)
    // and a small tag right of the Z cell ("V", "L", "V=L", "SC").
    void paintCue(QPainter& p) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Where {
        int block;
        Column column;
        int row;
    };
    QLineEdit* cell(int block, Column column, int row) const;
    QFont tagFont() const;
    // Where the tag of a row is drawn, in the window.
    QRect tagRect(int block, int row, const QString& tag) const;
    void repaintCueLater();

    frmZolvMain* window_;
    const MainControls& controls_;
    bool repaintPending_ = false;
    std::map<const QObject*, Where> cells_;
    void describeMixtureTags();
    SolvedCase solved_;
    OneFluid oneFluid_;
    // The stable phase per block and row, computed when first asked after a Solve.
    mutable std::array<std::array<std::optional<std::optional<StablePhase>>, 4>, kBlocks> stable_{};
};

}  // namespace zolvant::ui
