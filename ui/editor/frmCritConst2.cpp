#include "ui/editor/frmCritConst2.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTimer>
#include <QtGlobal>
#include <string>
#include <variant>

#include "db/settings.h"
#include "solver/text.h"
#include "ui/common/layout.h"
#include "ui/common/services.h"

namespace zolvant::ui {
namespace {

// Geometry in twips. The client area is 5664 x 4092.
constexpr int kClientWidth = 5664;
constexpr int kClientHeight = 4092;

constexpr int kMargin = 120;
constexpr int kBoxHeight = 300;
constexpr int kRowPitch = 384;

// Name row and molecular-weight row.
constexpr int kNameTop = 120;
constexpr int kNameHeight = 384;
constexpr int kNameBoxLeft = 1584;
constexpr int kMwTop = 600;
constexpr int kMwBoxLeft = 2040;
constexpr int kMwBoxWidth = 1080;

// The two columns.
constexpr int kHeadingTop = 1032;
constexpr int kHeadingHeight = 264;
constexpr int kFirstRowTop = 1344;
constexpr int kAcentTop = kFirstRowTop + 3 * kRowPitch + 84;  // after a gap
constexpr int kLeftLabelWidth = 1440;
constexpr int kLeftBoxLeft = 1584;
constexpr int kValueBoxWidth = 1080;
constexpr int kRightLeft = 2880;
constexpr int kKappaLabelWidth = 576;
constexpr int kRightBoxLeft = 3504;
constexpr int kEquationLeft = 4656;

// Command strip and status strip, full width.
constexpr int kCommandTop = 3144;
constexpr int kCommandHeight = 504;
constexpr int kCommandButtonTop = 72;
constexpr int kCommandButtonWidth = 840;
constexpr int kCommandButtonHeight = 360;
constexpr int kCommandFirstLeft = 96;
constexpr int kCommandPitch = 924;
constexpr int kStatusTop = kCommandTop + kCommandHeight;
constexpr int kStatusHeight = kClientHeight - kStatusTop;
constexpr int kStatusButtonTop = 60;
constexpr int kStatusButtonHeight = 324;
constexpr int kNavButtonWidth = 480;

const QColor kGrey = colourFromNumber(0xC0C0C0);

QFont kappaFont() {
    // A serif face that carries the Greek letters.
    QFont f(QStringLiteral("Liberation Serif"));
    f.setStyleHint(QFont::Serif);
    f.setPointSizeF(9.75);
    return f;
}

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

// Field names, in the order the numeric boxes are written.
constexpr std::array<const char*, 8> kNumericFields = {
    "MolWt", "CritTemp", "CritPress", "CritVol", "AcentricF", "K1", "K2", "K3"};

}  // namespace

frmCritConst2::frmCritConst2(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmCritConst2"));
    setWindowTitle(QStringLiteral("Critical Constants - Eq of State"));
    buildLayout();
    qApp->installEventFilter(this);

    loaded_ = Form_Load();
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

void frmCritConst2::buildLayout() {
    fixClientTwips(this, kClientWidth, kClientHeight);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kGrey);
    pal.setColor(QPalette::Button, kGrey);
    setPalette(pal);
    setAutoFillBackground(true);
    const QFont normal = fontMsSansSerif(8.25);
    setFont(normal);

    auto makeLabel = [this](const QString& name, const QString& text, QWidget* parent = nullptr) {
        auto* l = new QLabel(text, parent ? parent : this);
        l->setObjectName(name);
        return l;
    };
    auto makeBox = [this](const QString& name, QLabel* label) {
        auto* b = new QLineEdit(this);
        b->setObjectName(name);
        label->setBuddy(b);
        b->setAccessibleName(label->text());
        return b;
    };

    // The boxes are created in tab order, the name box first.
    const QFont nameFont = fontMsSansSerif(12, true);
    lblCompound = makeLabel(QStringLiteral("lblCompound"), QStringLiteral("Compound:"));
    lblCompound->setFont(nameFont);
    placeTwips(lblCompound, kMargin, kNameTop, kNameBoxLeft - kMargin - 48, kNameHeight);
    txtCompound = makeBox(QStringLiteral("txtCompound"), lblCompound);
    txtCompound->setFont(nameFont);
    placeTwips(txtCompound, kNameBoxLeft, kNameTop, kClientWidth - kMargin - kNameBoxLeft, kNameHeight);

    lblMW = makeLabel(QStringLiteral("lblMW"), QStringLiteral("Molecular Weight (g / mol)"));
    placeTwips(lblMW, kMargin, kMwTop, kMwBoxLeft - kMargin - 48, kBoxHeight);
    txtMW = makeBox(QStringLiteral("txtMW"), lblMW);
    placeTwips(txtMW, kMwBoxLeft, kMwTop, kMwBoxWidth, kBoxHeight);

    QFont headingFont = normal;
    headingFont.setBold(true);
    headingFont.setUnderline(true);
    lblCritHeading = makeLabel(QStringLiteral("lblCritHeading"), QStringLiteral("Critical Constants"));
    lblCritHeading->setFont(headingFont);
    placeTwips(lblCritHeading, kMargin, kHeadingTop, kRightLeft - kMargin - 120, kHeadingHeight);
    lblPrsvHeading = makeLabel(QStringLiteral("lblPrsvHeading"), QStringLiteral("PRSV Constants"));
    lblPrsvHeading->setFont(headingFont);
    placeTwips(lblPrsvHeading, kRightLeft, kHeadingTop, kClientWidth - kMargin - kRightLeft, kHeadingHeight);

    auto leftRow = [&](QLabel*& label, QLineEdit*& box, const char* labelName, const char* boxName,
                       const QString& text, int top) {
        label = makeLabel(QString::fromLatin1(labelName), text);
        placeTwips(label, kMargin, top, kLeftLabelWidth, kBoxHeight);
        box = makeBox(QString::fromLatin1(boxName), label);
        placeTwips(box, kLeftBoxLeft, top, kValueBoxWidth, kBoxHeight);
    };
    leftRow(lblTcrit, txtTcrit, "lblTcrit", "txtTcrit", QStringLiteral("Temperature (K)"), kFirstRowTop);
    leftRow(lblPcrit, txtPcrit, "lblPcrit", "txtPcrit", QStringLiteral("Pressure (bar)"),
            kFirstRowTop + kRowPitch);
    leftRow(lblVcrit, txtVcrit, "lblVcrit", "txtVcrit", QStringLiteral("Volume (cm3/mol)"),
            kFirstRowTop + 2 * kRowPitch);
    leftRow(lblAcent, txtAcent, "lblAcent", "txtAcent", QStringLiteral("Acentric Factor"), kAcentTop);

    const QFont kappa = kappaFont();
    auto rightRow = [&](QLabel*& label, QLineEdit*& box, QLabel*& equation, const char* labelName,
                        const char* boxName, const char* equationName, const QString& index,
                        const QString& equationText, int top) {
        label = makeLabel(QString::fromLatin1(labelName), QStringLiteral("\u03BA(%1)").arg(index));
        label->setFont(kappa);
        placeTwips(label, kRightLeft, top, kKappaLabelWidth, kBoxHeight);
        box = makeBox(QString::fromLatin1(boxName), label);
        placeTwips(box, kRightBoxLeft, top, kValueBoxWidth, kBoxHeight);
        equation = makeLabel(QString::fromLatin1(equationName), equationText);
        placeTwips(equation, kEquationLeft, top, kClientWidth - kMargin - kEquationLeft + 60, kBoxHeight);
    };
    rightRow(lblK1, txtK1, lblEqK1, "lblK1", "txtK1", "lblEqK1", QStringLiteral("1"),
             QStringLiteral("PRSV1 and 2"), kFirstRowTop);
    rightRow(lblK2, txtK2, lblEqK2, "lblK2", "txtK2", "lblEqK2", QStringLiteral("2"),
             QStringLiteral("PRSV2"), kFirstRowTop + kRowPitch);
    rightRow(lblK3, TxtK3, lblEqK3, "lblK3", "TxtK3", "lblEqK3", QStringLiteral("3"),
             QStringLiteral("PRSV2"), kFirstRowTop + 2 * kRowPitch);

    numericBoxes_ = {{{kNumericFields[0], txtMW, lblMW},
                      {kNumericFields[1], txtTcrit, lblTcrit},
                      {kNumericFields[2], txtPcrit, lblPcrit},
                      {kNumericFields[3], txtVcrit, lblVcrit},
                      {kNumericFields[4], txtAcent, lblAcent},
                      {kNumericFields[5], txtK1, lblK1},
                      {kNumericFields[6], txtK2, lblK2},
                      {kNumericFields[7], TxtK3, lblK3}}};

    auto makeStrip = [this](const QString& name, int top, int height) {
        auto* f = new QFrame(this);
        f->setObjectName(name);
        f->setFrameStyle(QFrame::Panel | QFrame::Raised);
        placeTwips(f, 0, top, kClientWidth, height);
        return f;
    };
    auto makeButton = [](QWidget* parent, const QString& name, const QString& caption) {
        auto* b = new QPushButton(caption, parent);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };

    // Update and Cancel sit in the gaps between Add/Edit/Delete/Close: the
    // two sets are never shown together.
    fraCommands = makeStrip(QStringLiteral("fraCommands"), kCommandTop, kCommandHeight);
    cmdAdd = makeButton(fraCommands, QStringLiteral("cmdAdd"), QStringLiteral("&Add"));
    cmdEdit = makeButton(fraCommands, QStringLiteral("cmdEdit"), QStringLiteral("&Edit"));
    cmdUpdate = makeButton(fraCommands, QStringLiteral("cmdUpdate"), QStringLiteral("&Update"));
    cmdDelete = makeButton(fraCommands, QStringLiteral("cmdDelete"), QStringLiteral("&Delete"));
    cmdCancel = makeButton(fraCommands, QStringLiteral("cmdCancel"), QStringLiteral("&Cancel"));
    cmdClose = makeButton(fraCommands, QStringLiteral("cmdClose"), QStringLiteral("&Close"));
    const std::array<QPushButton*, 6> commandRow = {cmdAdd, cmdEdit, cmdUpdate, cmdDelete, cmdCancel, cmdClose};
    for (int i = 0; i < 6; ++i) {
        placeTwips(commandRow[i], kCommandFirstLeft + i * kCommandPitch, kCommandButtonTop, kCommandButtonWidth,
                   kCommandButtonHeight);
    }

    fraStatus = makeStrip(QStringLiteral("fraStatus"), kStatusTop, kStatusHeight);
    cmdFirst = makeButton(fraStatus, QStringLiteral("cmdFirst"), QStringLiteral("|<<"));
    cmdPrevious = makeButton(fraStatus, QStringLiteral("cmdPrevious"), QStringLiteral("<"));
    cmdNext = makeButton(fraStatus, QStringLiteral("cmdNext"), QStringLiteral(">"));
    cmdLast = makeButton(fraStatus, QStringLiteral("cmdLast"), QStringLiteral(">>|"));
    lblStatus = makeLabel(QStringLiteral("lblStatus"), QString(), fraStatus);
    lblStatus->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lblStatus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblStatus->setIndent(4);
    QPalette white = lblStatus->palette();
    white.setColor(QPalette::Window, Qt::white);
    lblStatus->setPalette(white);
    lblStatus->setAutoFillBackground(true);

    constexpr int navGap = 48;
    constexpr int first = 96;
    constexpr int previous = first + kNavButtonWidth + navGap;
    constexpr int statusLeft = previous + kNavButtonWidth + navGap;
    constexpr int last = kClientWidth - 96 - kNavButtonWidth;
    constexpr int next = last - navGap - kNavButtonWidth;
    placeTwips(cmdFirst, first, kStatusButtonTop, kNavButtonWidth, kStatusButtonHeight);
    placeTwips(cmdPrevious, previous, kStatusButtonTop, kNavButtonWidth, kStatusButtonHeight);
    placeTwips(lblStatus, statusLeft, kStatusButtonTop, next - navGap - statusLeft, kStatusButtonHeight);
    placeTwips(cmdNext, next, kStatusButtonTop, kNavButtonWidth, kStatusButtonHeight);
    placeTwips(cmdLast, last, kStatusButtonTop, kNavButtonWidth, kStatusButtonHeight);

    // Tab order: the boxes, then the commands, then the navigation.
    const std::array<QWidget*, 19> tabOrder = {txtCompound, txtMW,    txtTcrit,  txtPcrit,    txtVcrit,
                                               txtAcent,    txtK1,    txtK2,     TxtK3,       cmdAdd,
                                               cmdEdit,     cmdUpdate, cmdDelete, cmdCancel,  cmdClose,
                                               cmdFirst,    cmdPrevious, cmdNext, cmdLast};
    for (std::size_t i = 1; i < tabOrder.size(); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(cmdAdd, &QPushButton::clicked, this, &frmCritConst2::cmdAdd_Click);
    connect(cmdEdit, &QPushButton::clicked, this, &frmCritConst2::cmdEdit_Click);
    connect(cmdUpdate, &QPushButton::clicked, this, &frmCritConst2::cmdUpdate_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmCritConst2::cmdDelete_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmCritConst2::cmdCancel_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmCritConst2::cmdClose_Click);
    connect(cmdFirst, &QPushButton::clicked, this, &frmCritConst2::cmdFirst_Click);
    connect(cmdPrevious, &QPushButton::clicked, this, &frmCritConst2::cmdPrevious_Click);
    connect(cmdNext, &QPushButton::clicked, this, &frmCritConst2::cmdNext_Click);
    connect(cmdLast, &QPushButton::clicked, this, &frmCritConst2::cmdLast_Click);

    setBrowseState(true);
    txtCompound->setFocus();
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
}

void frmCritConst2::setStatusFromPosition() {
    requireRecordset();
    const long position = rsComps->AbsolutePosition();
    if (position < 0) {
        lblStatus->clear();
        return;
    }
    lblStatus->setText(QStringLiteral("Compound record # ") + QString::number(position + 1));
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

}  // namespace zolvant::ui
