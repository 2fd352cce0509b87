#include "ui/main/component_finder.h"

#include <QAbstractItemView>
#include <QAbstractListModel>
#include <QAbstractProxyModel>
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QScrollBar>
#include <algorithm>
#include <string>

namespace zolvant::ui {

// Every component of the box with its name folded once, and the rows the
// last typed text lets through. The completer shows all of them (it does no
// filtering of its own): "contains" and "CAS starts with" are not something
// QCompleter can express on one column.
class ComponentListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void setComponents(std::vector<db::NamedComponent> components) {
        beginResetModel();
        components_ = std::move(components);
        folded_.clear();
        folded_.reserve(components_.size());
        for (const db::NamedComponent& c : components_) folded_.push_back(db::foldCase(c.name));
        shown_.clear();
        endResetModel();
    }
    const std::vector<db::NamedComponent>& components() const { return components_; }

    std::vector<int> rowsFor(const QString& text) const {
        std::vector<int> rows;
        const std::string needle = text.toStdString();
        if (needle.empty()) return rows;
        const std::string folded = db::foldCase(needle);
        for (std::size_t i = 0; i < components_.size(); ++i) {
            const std::string& cas = components_[i].cas;
            if (folded_[i].find(folded) != std::string::npos || cas.compare(0, needle.size(), needle) == 0)
                rows.push_back(static_cast<int>(i));
        }
        return rows;
    }

    void filter(const QString& text) {
        beginResetModel();
        shown_ = rowsFor(text);
        endResetModel();
    }

    int listPosition(int row) const {
        return row >= 0 && row < static_cast<int>(shown_.size()) ? shown_[static_cast<std::size_t>(row)] : -1;
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(shown_.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        const int at = listPosition(index.row());
        if (at < 0) return {};
        const db::NamedComponent& c = components_[static_cast<std::size_t>(at)];
        if (role == Qt::EditRole) return QString::fromStdString(c.name);
        if (role != Qt::DisplayRole) return {};
        // The CAS number beside the name, so that a number typed can be told apart.
        return c.cas.empty() ? QString::fromStdString(c.name)
                             : QStringLiteral("%1   (%2)").arg(QString::fromStdString(c.name), QString::fromStdString(c.cas));
    }

private:
    std::vector<db::NamedComponent> components_;
    std::vector<std::string> folded_;
    std::vector<int> shown_;
};

ComponentFinder::ComponentFinder(QComboBox* box)
    : QObject(box), box_(box), model_(new ComponentListModel(this)), completer_(new QCompleter(this)) {
    completer_->setModel(model_);
    completer_->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    completer_->setCaseSensitivity(Qt::CaseInsensitive);
    completer_->setMaxVisibleItems(box->maxVisibleItems());
    // Driven by hand rather than installed on the line edit: the line edit
    // would fill itself with every row the user walks over, and the box
    // would take over picking; here only a row picked selects, by position.
    completer_->setWidget(box);
    connect(box->lineEdit(), &QLineEdit::textEdited, this, &ComponentFinder::typed);
    connect(completer_, qOverload<const QModelIndex&>(&QCompleter::activated), this, [this](const QModelIndex& index) {
        const auto* proxy = qobject_cast<const QAbstractProxyModel*>(index.model());
        const QModelIndex own = proxy ? proxy->mapToSource(index) : index;
        picked(model_->listPosition(own.row()));
    });
}

void ComponentFinder::setComponents(std::vector<db::NamedComponent> components) {
    if (completer_->popup()->isVisible()) completer_->popup()->hide();
    model_->setComponents(std::move(components));
}

const std::vector<db::NamedComponent>& ComponentFinder::components() const { return model_->components(); }

db::ComponentMatch ComponentFinder::matchTyped() const {
    return db::matchComponent(model_->components(), box_->currentText().toStdString());
}

std::vector<int> ComponentFinder::offered(const QString& text) const { return model_->rowsFor(text); }

bool ComponentFinder::popupVisible() const { return completer_->popup()->isVisible(); }

void ComponentFinder::typed(const QString& text) {
    model_->filter(text);
    if (model_->rowCount() == 0) {
        completer_->popup()->hide();
        return;
    }
    // As wide as its longest row (name and CAS number), never narrower than the box.
    QAbstractItemView* popup = completer_->popup();
    popup->setFont(box_->font());
    const int wide = popup->sizeHintForColumn(0) + popup->verticalScrollBar()->sizeHint().width() + 12;
    completer_->complete(QRect(0, 0, std::max(box_->width(), wide), box_->height()));
    // The completer makes its first row current; Tab or Enter would then
    // pick it although the user picked nothing. Only a row moved to counts.
    completer_->popup()->setCurrentIndex(QModelIndex());
}

void ComponentFinder::picked(int listPosition) {
    if (listPosition < 0 || listPosition >= box_->count()) return;
    box_->setCurrentIndex(listPosition);
}

}  // namespace zolvant::ui
