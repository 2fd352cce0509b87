#include "ui/editor/frmCritConst2.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtGlobal>
#include <string>
#include <variant>

#include "db/settings.h"
#include "solver/text.h"
#include "ui/common/services.h"
#include "ui/editor/editor_find.h"

namespace zolvant::ui {
namespace {

QString fieldText(const db::FieldValue& v) {
    if (const auto* d = std::get_if<double>(&v)) return QString::fromStdString(formatGeneral(*d));
    if (const auto* s = std::get_if<std::string>(&v)) return QString::fromStdString(*s);
    return {};
}

// Key codes and the modifier mask as the key handler knows them.
int keyCodeOf(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Escape: return 27;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Up: return 38;
    case Qt::Key_Down: return 40;
    default: return 0;
    }
}

int shiftMaskOf(Qt::KeyboardModifiers m) {
    int mask = 0;
    if (m & Qt::ShiftModifier) mask |= 1;
    if (m & Qt::ControlModifier) mask |= 2;
    if (m & Qt::AltModifier) mask |= 4;
    return mask;
}

}  // namespace

frmCritConst2::frmCritConst2(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmCritConst2"));
    setWindowTitle(QStringLiteral("Critical Constants - Eq of State"));
    buildLayout();
    qApp->installEventFilter(this);

    loaded_ = Form_Load();
    showRecordCount();
    if (!loaded_) {
        // Closing from inside the constructor would act on a window nobody
        // holds yet; let the caller finish first.
        QTimer::singleShot(0, this, [this] { close(); });
    }
}

frmCritConst2::~frmCritConst2() {
    if (qApp) qApp->removeEventFilter(this);
    releaseDatabase();
}

// ---------------------------------------------------------------------------
// Load and unload

namespace {

// A step whose failure leaves nothing for the user to do (discarding a
// buffer, going back to a record): the rest goes on, and the log says why.
template <typename Step>
bool bestEffort(const char* step, Step&& run) {
    try {
        run();
        return true;
    } catch (const std::exception& e) {
        qWarning("Component editor: %s failed: %s", step, e.what());
    } catch (...) {
        qWarning("Component editor: %s failed", step);
    }
    return false;
}

}  // namespace

bool frmCritConst2::Form_Load() {
    addMode_ = false;
    editMode_ = false;
    try {
        dbCrit = db::Database::OpenDatabase(QFile::encodeName(db::readDbPath()).toStdString());
        rsComps = dbCrit->OpenRecordset(kRowSource);
    } catch (const std::exception& e) {
        // The window is not shown yet: the box stands on its own.
        services().message(nullptr, failureText(e), appTitle());
        releaseDatabase();
        return false;
    }
    try {
        rsComps->MoveFirst();
        showCurrentRecord();
    } catch (const std::exception& e) {
        if (!rsComps->BOF() || !rsComps->EOF_()) {
            services().message(nullptr, failureText(e), appTitle());
            releaseDatabase();
            return false;
        }
        // An empty table: nothing to show.
        showNoRecord();
    }
    return true;
}

void frmCritConst2::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmCritConst2::Form_Unload() {
    // A pending add or edit is discarded with the recordset; nothing is asked.
    if (rsComps && (addMode_ || editMode_))
        bestEffort("discarding the pending record on close", [this] { rsComps->CancelUpdate(); });
    addMode_ = false;
    editMode_ = false;
    releaseDatabase();
    if (qApp) qApp->removeEventFilter(this);
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

void frmCritConst2::releaseDatabase() {
    // Recordset first, then the connection; neither Close can fail.
    if (rsComps) {
        rsComps->Close();
        rsComps.reset();
    }
    if (dbCrit) {
        dbCrit->Close();
        dbCrit.reset();
    }
}

// ---------------------------------------------------------------------------
// Display

void frmCritConst2::setBrowseState(bool browsing) {
    // Show the new set before hiding the old one, so that a focused button
    // that disappears hands the focus to a visible control.
    for (QPushButton* b : {cmdUpdate, cmdCancel}) b->setVisible(!browsing);
    for (QPushButton* b : {cmdAdd, cmdEdit, cmdDelete, cmdClose}) b->setVisible(browsing);
    for (QPushButton* b : {cmdFirst, cmdPrevious, cmdNext, cmdLast}) b->setEnabled(browsing);
    if (txtFind) txtFind->setEnabled(browsing);
    showRecordCount();
}

void frmCritConst2::showCurrentRecord() {
    requireRecordset();
    // Read every field before touching a box, so that a failure leaves the
    // boxes as they were rather than half filled.
    const QString name = fieldText(rsComps->Fields("Component"));
    std::array<QString, 8> values;
    for (std::size_t i = 0; i < numericBoxes_.size(); ++i) values[i] = fieldText(rsComps->Fields(numericBoxes_[i].field));
    txtCompound->setText(name);
    for (std::size_t i = 0; i < numericBoxes_.size(); ++i) numericBoxes_[i].box->setText(values[i]);
}

void frmCritConst2::showNoRecord() {
    txtCompound->clear();
    for (const FieldBox& f : numericBoxes_) f.box->clear();
    lblStatus->clear();
    showRecordCount();
}

void frmCritConst2::setStatusFromPosition() {
    requireRecordset();
    const long position = rsComps->AbsolutePosition();
    if (position < 0) {
        lblStatus->clear();
        showRecordCount();
        return;
    }
    lblStatus->setText(QStringLiteral("Compound record # ") + QString::number(position + 1));
    showRecordCount();
}

bool frmCritConst2::hasCurrentRecord() const {
    try {
        return rsComps && rsComps->AbsolutePosition() >= 0;
    } catch (...) {
        return false;
    }
}

void frmCritConst2::requireRecordset() const {
    // Only after a failed load, or once the window has unloaded.
    if (!rsComps) throw db::DbError(db::kNoCurrentRecord, "No current record.");
}

// ---------------------------------------------------------------------------
// Failures

QString frmCritConst2::failureText(const std::exception& e) {
    if (const auto* d = dynamic_cast<const db::DbError*>(&e)) return QString::fromStdString(d->description());
    return QString::fromStdString(e.what());
}

void frmCritConst2::showFailure(const std::exception& e, bool withNumber) {
    if (withNumber) {
        if (const auto* d = dynamic_cast<const db::DbError*>(&e)) {
            services().message(this, QString::number(d->number()), appTitle());
        }
    }
    services().message(this, failureText(e), appTitle());
}

template <typename Steps>
bool frmCritConst2::runCommand(Steps&& steps, bool withNumber) {
    try {
        steps();
        return true;
    } catch (const std::exception& e) {
        showFailure(e, withNumber);
    } catch (...) {
        showFailure(std::runtime_error("Unknown failure."), withNumber);
    }
    return false;
}

// ---------------------------------------------------------------------------
// Keys

bool frmCritConst2::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !watched->isWidgetType()) return false;
    auto* target = static_cast<QWidget*>(watched);
    if (target->window() != this) return false;
    if (type == QEvent::KeyRelease) {
        lastKey_ = nullptr;
        return false;
    }
    // An event the focused control did not accept travels on to its parents;
    // it was handled when it reached the control.
    // (A modifier held down gives presses without releases in between, so
    // the same address may come again for a new event to the same control.)
    if (event == lastKey_ && lastKeyTarget_ && target != lastKeyTarget_ && target->isAncestorOf(lastKeyTarget_))
        return false;
    lastKey_ = event;
    lastKeyTarget_ = target;

    const auto* key = static_cast<QKeyEvent*>(event);
    const int code = keyCodeOf(key->key());
    if (code != 0) Form_KeyDown(code, shiftMaskOf(key->modifiers()));
    return false;  // the focused control receives the key as well
}

void frmCritConst2::Form_KeyDown(int KeyCode, int Shift) {
    if (addMode_ || editMode_) return;
    const bool ctrlAlone = Shift == 2;
    switch (KeyCode) {
    case 27: cmdClose_Click(); break;
    case 35: cmdLast_Click(); break;
    case 36: cmdFirst_Click(); break;
    case 33:
    case 38:
        if (ctrlAlone) cmdFirst_Click();
        else cmdPrevious_Click();
        break;
    case 34:
    case 40:
        if (ctrlAlone) cmdLast_Click();
        else cmdNext_Click();
        break;
    default: break;
    }
}

// ---------------------------------------------------------------------------
// Navigation

template <typename Move>
void frmCritConst2::moveAndShow(Move&& move) {
    requireRecordset();
    std::optional<db::Bookmark> shownRecord;
    if (hasCurrentRecord()) shownRecord = rsComps->GetBookmark();
    try {
        move();
        showCurrentRecord();
    } catch (...) {
        // The record reached cannot be read (a lock, a damaged file): the
        // boxes still show the record left, and it must stay the current
        // one, or an Edit would store the boxes over another record.
        if (shownRecord) {
            try {
                rsComps->SetBookmark(*shownRecord);
            } catch (...) {
                showNoRecord();
            }
        }
        throw;
    }
    setStatusFromPosition();
}

void frmCritConst2::cmdFirst_Click() {
    runCommand([this] { moveAndShow([this] { rsComps->MoveFirst(); }); });
}

void frmCritConst2::cmdLast_Click() {
    runCommand([this] { moveAndShow([this] { rsComps->MoveLast(); }); });
}

void frmCritConst2::cmdPrevious_Click() {
    runCommand([this] {
        moveAndShow([this] {
            if (!rsComps->BOF()) rsComps->MovePrevious();
            if (rsComps->RecordCount() > 0 && rsComps->BOF()) {
                services().beep();
                rsComps->MoveFirst();
            }
        });
    });
}

void frmCritConst2::cmdNext_Click() {
    runCommand(
        [this] {
            moveAndShow([this] {
                if (!rsComps->EOF_()) rsComps->MoveNext();
                if (rsComps->RecordCount() > 0 && rsComps->EOF_()) {
                    services().beep();
                    rsComps->MoveLast();
                }
            });
        },
        /*withNumber=*/true);
}

// ---------------------------------------------------------------------------
// Record commands

void frmCritConst2::cmdAdd_Click() {
    runCommand([this] {
        requireRecordset();
        addBookmark_.reset();
        if (!(rsComps->BOF() && rsComps->EOF_()) && hasCurrentRecord()) addBookmark_ = rsComps->GetBookmark();
        rsComps->AddNew();
        txtCompound->clear();
        for (const FieldBox& f : numericBoxes_) f.box->clear();
        lblStatus->setText(QStringLiteral("Add record"));
        txtCompound->setFocus();
        addMode_ = true;
        setBrowseState(false);
    });
}

void frmCritConst2::cmdEdit_Click() {
    runCommand([this] {
        requireRecordset();
        rsComps->Edit();
        lblStatus->setText(QStringLiteral("Edit record"));
        editMode_ = true;
        setBrowseState(false);
    });
}

QString frmCritConst2::firstNonNumericBox(QLineEdit** offending) const {
    *offending = nullptr;
    for (const FieldBox& f : numericBoxes_) {
        const QString text = f.box->text();
        if (text.trimmed().isEmpty()) continue;  // stored as absent
        if (!readNumber(text.toStdString())) {
            *offending = f.box;
            return QStringLiteral("%1: \"%2\" is not a number.").arg(f.label->text(), text);
        }
    }
    return {};
}

void frmCritConst2::cmdUpdate_Click() {
    // Nothing is written unless every numeric box reads as a number or is
    // empty: a box must never show a value the file does not hold.
    QLineEdit* offending = nullptr;
    const QString refusal = firstNonNumericBox(&offending);
    if (offending) {
        services().message(this, refusal, appTitle());
        offending->setFocus();
        offending->selectAll();
        return;
    }
    runCommand([this] {
        requireRecordset();
        rsComps->SetField("Component", txtCompound->text().toStdString());
        for (const FieldBox& f : numericBoxes_) {
            const std::optional<double> value = readNumber(f.box->text().toStdString());
            if (value) {
                // The shortest text that reads back to the same double, so the
                // engine stores exactly the number the box shows.
                rsComps->SetField(f.field, shortestText(*value));
            } else {
                rsComps->SetFieldNull(f.field);
            }
        }
        rsComps->Update();
        if (addMode_) rsComps->MoveLast();  // a new record stays at the end until reopened
        setStatusFromPosition();
        addMode_ = false;
        editMode_ = false;
        addBookmark_.reset();
        setBrowseState(true);
    });
}

void frmCritConst2::cmdCancel_Click() {
    // Every step runs; failures are ignored.
    const bool wasAdding = addMode_;
    const bool wasEditing = editMode_;
    setBrowseState(true);
    addMode_ = false;
    editMode_ = false;
    if (!rsComps) {
        showNoRecord();
        return;
    }
    bestEffort("discarding the pending record", [this] { rsComps->CancelUpdate(); });
    // After Edit the edited record stays current; after Add go back to the
    // record current before it, else to the first one.
    if (!wasEditing) {
        const bool moved = wasAdding && addBookmark_ &&
                           bestEffort("going back to the record shown before Add",
                                      [this] { rsComps->SetBookmark(*addBookmark_); });
        // An empty table has no first record to go to.
        if (!moved && rsComps->RecordCount() > 0)
            bestEffort("going to the first record", [this] { rsComps->MoveFirst(); });
    }
    addBookmark_.reset();
    try {
        showCurrentRecord();
        setStatusFromPosition();
    } catch (...) {
        // No record to show (an empty table): the boxes must not keep
        // what was typed.
        showNoRecord();
    }
}

void frmCritConst2::cmdDelete_Click() {
    bool deleted = false;
    const bool ok = runCommand([&] {
        requireRecordset();
        rsComps->Delete();
        deleted = true;
        rsComps->MoveNext();
        if (rsComps->EOF_()) rsComps->MoveLast();
        showCurrentRecord();
        setStatusFromPosition();
    });
    // The deleted record must not go on being shown: not when it was the
    // only one, nor when the record after it cannot be read.
    if (!ok && deleted) showNoRecord();
}

void frmCritConst2::cmdClose_Click() { close(); }

bool frmCritConst2::findRecord(const QString& text, bool next) {
    if (text.isEmpty() || !rsComps || addMode_ || editMode_) return false;
    long found = -1;
    const bool ran = runCommand([&] {
        found = findName(*rsComps, text.toStdString(), next);
        if (found >= 0) moveAndShow([&] {
                rsComps->MoveFirst();
                rsComps->Move(found);
            });
    });
    if (ran && found < 0) services().beep();
    return ran && found >= 0;
}

}  // namespace zolvant::ui
