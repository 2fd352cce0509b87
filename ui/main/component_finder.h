#pragma once
// Finding a component by typing in a component box: while the user types,
// a pop-up lists the components whose name contains the text (case aside)
// or whose CAS number starts with it; picking one there selects it in the
// box as picking it from the box's own list would. Which component a typed
// text stands for when the box is left is the shared matcher's to say
// (db/component_match.h); the finder only keeps the list it matches against.

#include <QObject>
#include <QPointer>
#include <vector>

#include "db/component_match.h"

class QComboBox;
class QCompleter;

namespace zolvant::ui {

class ComponentListModel;

class ComponentFinder : public QObject {
public:
    // Attached to `box` (an editable combo box), owned by it.
    explicit ComponentFinder(QComboBox* box);

    // The components the box lists, in its list's order (the box's items
    // must be these names). Hides a pop-up listing the old ones.
    void setComponents(std::vector<db::NamedComponent> components);
    const std::vector<db::NamedComponent>& components() const;

    // The shared matcher's answer for the box's text.
    db::ComponentMatch matchTyped() const;

    // The pop-up's rows for `text`, as the box's list positions (tests read
    // what the pop-up offers without scraping it).
    std::vector<int> offered(const QString& text) const;
    bool popupVisible() const;

private:
    void typed(const QString& text);
    void picked(int listPosition);

    QComboBox* box_;
    ComponentListModel* model_;
    QCompleter* completer_;
};

}  // namespace zolvant::ui
