#pragma once
// Copy Results and Save Results As… of the main window: two actions with
// window-wide shortcuts, offered in the context menus of the result boxes
// and of the window's background. They only take out what the grid shows
// after the last accepted Solve; they never solve or check anything.

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <functional>
#include <vector>

#include "report/results_table.h"

class QAction;
class QContextMenuEvent;
class QLineEdit;
class QMenu;
class QWidget;

namespace zolvant::ui {

using report::ResultsBlock;
using report::ResultsInputs;
using report::ResultsRow;
using report::ResultsTable;

class ResultsCommands : public QObject {
public:
    // `form` is the main window (the actions are added to it); `read` gives
    // the table the grid shows now, and is only called while available.
    ResultsCommands(QWidget* form, std::function<ResultsTable()> read);
    ~ResultsCommands() override;

    // The result boxes: their own context menu gains the two entries, and a
    // right click on one leaves the focus where it is.
    void attachCells(const QList<QLineEdit*>& cells);

    // More entries for a result box's own context menu, between the box's
    // own and the two (the Isotherms entry of the row).
    void setCellEntries(std::function<void(QMenu* menu, const QObject* cell)> add) { cellEntries_ = std::move(add); }
    // More entries, added after those (the menu bar's windows add theirs).
    void addCellEntries(std::function<void(QMenu* menu, const QObject* cell)> add) { moreEntries_.push_back(std::move(add)); }

    // Whether the grid holds the results of an accepted Solve.
    void setAvailable(bool available);
    bool available() const { return available_; }

    QAction* copyAction() const { return copy_; }
    QAction* saveAction() const { return save_; }

    // The window's own context menu, over its background and its labels.
    // False when the point is over a control, which keeps its own menu (or
    // none).
    bool showBackgroundMenu(QContextMenuEvent* event);

    void copyResults();
    void saveResultsAs();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addEntries(QMenu* menu);
    bool isCell(const QObject* o) const { return cells_.contains(o); }
    void keepFocusOnRightPress(QEvent* event);

    QWidget* form_;
    std::function<ResultsTable()> read_;
    QAction* copy_ = nullptr;
    QAction* save_ = nullptr;
    QSet<const QObject*> cells_;
    std::function<void(QMenu*, const QObject*)> cellEntries_;
    std::vector<std::function<void(QMenu*, const QObject*)>> moreEntries_;
    bool available_ = false;
};

}  // namespace zolvant::ui
