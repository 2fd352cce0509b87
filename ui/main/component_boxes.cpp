// The main window's component boxes: their lists, read from the database in
// use; a component chosen by picking it or by typing; the constants loaded
// when a box is left; and the lists following another database.

#include <QComboBox>
#include <QLineEdit>
#include <QStringList>
#include <string>
#include <vector>

#include "db/component_match.h"
#include "db/lookup.h"
#include "ui/common/services.h"
#include "ui/main/component_finder.h"
#include "ui/main/frmZolvMain.h"

namespace zolvant::ui {

namespace {
QString qs(const std::string& s) { return QString::fromStdString(s); }

// How many names an ambiguous text's message lists before "…".
constexpr std::size_t kNamesListed = 6;
}  // namespace

void frmZolvMain::cmbComp_GotFocus(int Index) {
    if (Index != 0 && ui_.cmbComp[Index - 1]->currentIndex() == -1) {
        services().message(this, QStringLiteral("Component in PRIOR Box must be Chosen"),
                           QStringLiteral("Null Component ERROR"));
        ui_.cmbComp[Index - 1]->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!rstComps) return;
    fillComponentList(Index);
}

void frmZolvMain::fillComponentList(int Index) {
    QComboBox* box = ui_.cmbComp[Index];
    const int previous = box->currentIndex();
    const QString previousName = previous >= 0 ? box->itemText(previous) : QString();
    const QString typed = previous < 0 ? box->currentText() : QString();
    int selection = previous;
    int listed = 0;
    bool failed = false;
    std::vector<db::NamedComponent> withCas;
    try {
        // One read lock for the query and every name, not one per name.
        const db::ReadBatch reading(*rstComps);
        rstComps->Requery();
        if (!(rstComps->BOF() && rstComps->EOF_())) {
            rstComps->MoveFirst();
            for (;;) {
                const QString name = qs(db::componentName(rstComps->Fields("Component")));
                if (name.isEmpty()) break;  // an unnamed record ends the list
                if (listed < box->count())
                    box->setItemText(listed, name);
                else
                    box->addItem(name);
                if (previous >= 0 && name == previousName) selection = listed;
                ++listed;
                rstComps->MoveNext();
                if (rstComps->EOF_()) break;
            }
        }
        // The CAS numbers, for finding by number, in the same read. Without
        // them a box still finds by name.
        if (dbComps) {
            try {
                withCas = db::listedComponents(db::listComponents(*dbComps));
            } catch (const db::DbError& e) {
                qWarning("Reading the CAS numbers failed: %s", e.description().c_str());
            }
        }
    } catch (const db::DbError& e) {
        failed = true;
        showDatabaseError(e);
    }
    if (!failed) {
        // Items left over from a longer list stand for no record any more.
        while (box->count() > listed) box->removeItem(box->count() - 1);
    }
    if (selection >= box->count()) selection = -1;
    box->setCurrentIndex(selection);
    if (selection < 0 && !typed.isEmpty()) box->setEditText(typed);

    // What typing finds: the names the list now holds, with their CAS
    // numbers when the second read saw the same names in the same order.
    std::vector<db::NamedComponent> found(static_cast<std::size_t>(box->count()));
    const bool sameNames = withCas.size() == found.size();
    for (std::size_t i = 0; i < found.size(); ++i) {
        found[i].name = box->itemText(static_cast<int>(i)).toStdString();
        if (sameNames && withCas[i].name == found[i].name) found[i].cas = withCas[i].cas;
    }
    finders_[static_cast<std::size_t>(Index)]->setComponents(std::move(found));
}

void frmZolvMain::cmbComp_LostFocus(int Index) {
    QComboBox* box = ui_.cmbComp[Index];
    // A typed text stands for the component the shared matcher names; one
    // naming none or several is refused, so no row is captioned by a text
    // whose constants were not loaded. An empty box stays silent.
    if (box->currentIndex() < 0 && !box->currentText().isEmpty()) {
        // Below an empty box no component can stand (entering said so): the
        // text is dropped rather than refused, or the two checks would send
        // the focus back and forth for ever.
        if (Index > 0 && ui_.cmbComp[Index - 1]->currentIndex() < 0) {
            selectNone(box);
            return;
        }
        if (!chooseTyped(Index)) return;
    }
    loadSelected(Index);
}

bool frmZolvMain::chooseTyped(int Index) {
    QComboBox* box = ui_.cmbComp[Index];
    const QString typed = box->currentText();
    const ComponentFinder* finder = finders_[static_cast<std::size_t>(Index)];
    const db::ComponentMatch match = finder->matchTyped();
    if ((match.kind == db::ComponentMatch::Exact || match.kind == db::ComponentMatch::Unique) &&
        match.index < box->count()) {
        box->setCurrentIndex(static_cast<int>(match.index));
        return true;
    }
    QString text;
    if (match.kind == db::ComponentMatch::Ambiguous) {
        QStringList names;
        for (std::size_t at : match.candidates) {
            if (static_cast<std::size_t>(names.size()) == kNamesListed) {
                names << QStringLiteral("\u2026");
                break;
            }
            names << qs(finder->components()[at].name);
        }
        text = QStringLiteral("'%1' matches several components: %2; choose one from the list.")
                   .arg(typed, names.join(QStringLiteral(", ")));
    } else {
        text = QStringLiteral("No component matches '%1'.").arg(typed);
    }
    services().message(this, text, QStringLiteral("Component ERROR"));
    box->setFocus(Qt::OtherFocusReason);
    return false;
}

void frmZolvMain::loadSelected(int Index) {
    const int selection = ui_.cmbComp[Index]->currentIndex();
    if (selection < 0 || !rstComps) return;
    db::ComponentConstants constants;
    try {
        rstComps->MoveFirst();
        rstComps->Move(selection);
        if (rstComps->EOF_()) return;
        constants = db::loadConstants(*rstComps);
    } catch (const db::DbError& e) {
        showDatabaseError(e);
        // The row keeps the constants it had: the box must not go on showing
        // a name they do not belong to.
        selectNone(ui_.cmbComp[Index]);
        return;
    }
    entry_.chooseComponent(Index, constants);
}

void frmZolvMain::selectNone(QComboBox* box) {
    box->setCurrentIndex(-1);
    box->setEditText(QString());
}

const ComponentFinder* frmZolvMain::componentFinder(int Index) const {
    return finders_[static_cast<std::size_t>(Index)];
}

// ------------------------------------------------------ another database

QString frmZolvMain::databasePath() const { return dbComps ? QString::fromStdString(dbComps->path()) : QString(); }

void frmZolvMain::useDatabase(std::unique_ptr<db::Database> db, std::unique_ptr<db::Recordset> rst) {
    releaseDatabase();
    dbComps = std::move(db);
    rstComps = std::move(rst);
    refreshComponentLists();
}

void frmZolvMain::refreshComponentLists() {
    // No box may go on offering the names of another database, the one
    // being edited included: leaving a box reads the record at its list
    // position. A chosen name still listed stays chosen, and its row takes
    // that component's constants from this database; any other choice is
    // given up.
    // With no database (the moment of a restore) nothing can be loaded: the
    // boxes keep their lists and choices for the next one, typing finds
    // nothing.
    if (!rstComps) {
        for (ComponentFinder* finder : finders_) finder->setComponents({});
        return;
    }
    for (int i = 0; i < 4; ++i) {
        QComboBox* box = ui_.cmbComp[i];
        const bool chosen = box->currentIndex() >= 0;
        const QString name = chosen ? box->currentText() : QString();
        fillComponentList(i);
        if (!chosen) continue;
        if (box->currentIndex() < 0 || box->currentText() != name) {
            selectNone(box);
            continue;
        }
        // The box being edited loads its constants when it is left.
        if (!box->hasFocus()) loadSelected(i);
    }
}

}  // namespace zolvant::ui
