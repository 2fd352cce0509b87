#include "ui/main/frmZolvMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "db/startup.h"
#include "solver/entry.h"
#include "solver/solve.h"
#include "solver/text.h"
#include "ui/common/layout.h"
#include "ui/common/services.h"
#include "ui/main/focus_router.h"
#include "ui/main/results_commands.h"

#include "ui/editor/editor_window.h"
#include "ui/help/help_windows.h"
#include "ui/pictures/pictures.h"

namespace zolvant::ui {

namespace {

// Geometry of the grid, in twips.
struct EquationLayout {
    const char* caption;
    const char* suffix;
    int headingLeft, headingWidth;
    int liquidLeft, vapourLeft, zLeft;
};
constexpr EquationLayout kEquations[kBlocks] = {
    {"Van der Waals", "VDW", 1560, 2292, 1560, 2280, 3120},
    {"Redlich-Kwong", "RK", 4320, 2292, 4320, 5040, 5880},
    {"Peng-Robinson", "PR", 7200, 1812, 6960, 7680, 8520},
    {"Soave-Redlich-Kwong", "SRK", 1560, 2292, 1560, 2280, 3120},
    {"PR-Stryjek-Vera 1", "PRSV1", 4320, 2292, 4320, 5040, 5880},
    {"PR-Stryjek-Vera 2", "PRSV2", 6960, 2292, 6960, 7680, 8520},
};
struct BandLayout {
    int headingTop;
    int columnHeadingTop;
    int rowTops[5];
};
constexpr BandLayout kBands[2] = {
    {2520, 2760, {3000, 3324, 3636, 3960, 4284}},
    {4800, 5040, {5280, 5604, 5916, 6240, 6564}},
};
constexpr int kCellHeight = 288;
constexpr int kLabelHeight = 252;
constexpr int kLiquidWidth = 660;
constexpr int kVapourWidth = 720;
constexpr int kZWidth = 720;

const char* const kColumnWords[3] = {"Liquid", "Vapor", "Z"};
const char* const kColumnPrefixes[3] = {"txtLiq", "txtVap", "txtZ"};

const QColor kCheckBackground(200, 252, 224);  // also the plain background without the picture

QString qs(const std::string& s) { return QString::fromStdString(s); }

QString rowWord(int row) {
    return row == kMixtureRow ? QStringLiteral("Mixture") : QStringLiteral("Component %1").arg(row + 1);
}

QFont withLook(QFont f, bool bold, bool underline) {
    f.setBold(bold);
    f.setUnderline(underline);
    return f;
}

// Entering a box selects its whole text with the caret at the start, so
// that typing replaces what the box shows and a long text shows its
// beginning. A mouse press clears a selection made in the focus event, so
// it is made once more after the press has been handled.
void selectForOvertyping(QLineEdit* box) {
    const auto apply = [box] {
        const int n = static_cast<int>(box->text().size());
        box->setCursorPosition(n);
        box->cursorBackward(true, n);
    };
    apply();
    const QString shown = box->text();
    QTimer::singleShot(0, box, [box, apply, shown] {
        if (box->hasFocus() && box->text() == shown) apply();
    });
}

QString nameOf(const db::FieldValue& v) {
    if (const auto* s = std::get_if<std::string>(&v)) return qs(*s);
    if (const auto* d = std::get_if<double>(&v)) return qs(shortestText(*d));
    return {};
}

float constantOf(const db::FieldValue& v, float nullValue) {
    if (const auto* d = std::get_if<double>(&v)) return static_cast<float>(*d);
    if (const auto* s = std::get_if<std::string>(&v)) {
        if (const auto n = readNumber(*s)) return static_cast<float>(*n);
    }
    return nullValue;
}

// The start-up opening's dialogs, shown through the window's services.
class WindowStartupDialogs final : public db::StartupDialogs {
public:
    explicit WindowStartupDialogs(QWidget* window) : window_(window) {}
    void message(const std::string& text, const std::string& title) override {
        services().message(window_, qs(text), qs(title));
    }
    std::optional<std::string> openFileName(const std::string& startFolder) override {
        const QString chosen = services().openFileName(window_, qs(startFolder), QString());
        if (chosen.isEmpty()) return std::nullopt;
        return chosen.toStdString();
    }

private:
    QWidget* window_;
};

}  // namespace

frmZolvMain::frmZolvMain(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmZolvMain"));
    setWindowTitle(appTitle());
    setFont(fontMsSansSerif());
    fixClientTwips(this, 9648, 7236);
    zolvant_init_pictures();
    if (background_.load(QStringLiteral(":/pictures/background.bmp")))
        backgroundEdge_ = background_.toImage().pixelColor(background_.width() - 1, background_.height() - 1);
    createControls();
    arrangeTabOrder();
    watchFocus();
    results_ = new ResultsCommands(this, [this] { return shownResults(); });
    QList<QLineEdit*> cells;
    for (int e = 0; e < kBlocks; ++e)
        for (int c = 0; c < 3; ++c)
            for (QLineEdit* cell : resultColumn(e, static_cast<Column>(c))) cells << cell;
    results_->attachCells(cells);
}

frmZolvMain::~frmZolvMain() {
    // No handler may run while the controls are being destroyed.
    delete router_;
    router_ = nullptr;
    delete results_;
    results_ = nullptr;
    releaseDatabase();
}

// ---------------------------------------------------------------- layout

void frmZolvMain::createControls() {
    const QFont base = font();
    const QFont bold = withLook(base, true, false);
    const QFont boldUnderlined = withLook(base, true, true);
    const QFont arialBold = fontArial(9, true);
    const QFont arialBoldUnderlined = withLook(arialBold, true, true);

    const auto label = [this](const char* name, const QString& caption, int l, int t, int w, int h,
                              const QFont& f, Qt::Alignment align) {
        auto* lbl = new QLabel(caption, this);
        lbl->setObjectName(QString::fromLatin1(name));
        lbl->setFont(f);
        lbl->setAlignment(align);
        placeTwips(lbl, l, t, w, h);
        return lbl;
    };
    const auto button = [this](const char* name, const QString& caption, int l, int t, int w, int h) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        placeTwips(b, l, t, w, h);
        return b;
    };
    const auto textBox = [this](const QString& name, int l, int t, int w, int h) {
        auto* box = new QLineEdit(this);
        box->setObjectName(name);
        placeTwips(box, l, t, w, h);
        return box;
    };
    const Qt::Alignment topLeft = Qt::AlignLeft | Qt::AlignTop;
    const Qt::Alignment topCentre = Qt::AlignHCenter | Qt::AlignTop;
    const Qt::Alignment middleLeft = Qt::AlignLeft | Qt::AlignVCenter;

    // Input section.
    Label6 = label("Label6", QStringLiteral("Component"), 360, 360, 2172, 252, boldUnderlined, topLeft);
    Label7 = label("Label7", QStringLiteral("Mole Fraction"), 2640, 120, 732, 492, boldUnderlined, topCentre);
    Label7->setWordWrap(true);
    cmdClrComp = button("cmdClrComp", QStringLiteral("Clear"), 1560, 240, 972, 372);
    cmdCompList = button("cmdCompList", QStringLiteral("Component List"), 3480, 120, 1092, 492);
    for (int i = 0; i < 4; ++i) {
        const int top = 720 + 360 * i;
        auto* chk = new QCheckBox(QStringLiteral(">CT"), this);
        chk->setObjectName(QStringLiteral("chkCritT_%1").arg(i));
        placeTwips(chk, 240, top, 252, 252);
        // Only the box shows: the caption would not fit beside it, and a
        // clipped sliver of it is painted in no colour at all.
        QPalette pal = chk->palette();
        pal.setColor(QPalette::Window, kCheckBackground);
        pal.setColor(QPalette::Button, kCheckBackground);
        pal.setColor(QPalette::WindowText, Qt::transparent);
        chk->setPalette(pal);
        chk->setBackgroundRole(QPalette::Window);
        chk->setAutoFillBackground(true);
        chk->setAccessibleName(QStringLiteral("Above critical temperature, Component %1").arg(i + 1));
        chkCritT[i] = chk;

        auto* cmb = new QComboBox(this);
        cmb->setObjectName(QStringLiteral("cmbComp_%1").arg(i));
        cmb->setEditable(true);
        cmb->setInsertPolicy(QComboBox::NoInsert);
        // The text field never chooses a component: only an item picked in
        // the list does. No completion, and no matching of the typed text
        // against the list when the box is left.
        cmb->setCompleter(nullptr);
        QObject::disconnect(cmb->lineEdit(), SIGNAL(editingFinished()), cmb, nullptr);
        // Typing over a chosen name gives up the choice, so the box never
        // shows one name while holding another.
        connect(cmb->lineEdit(), &QLineEdit::textEdited, cmb, [cmb](const QString& typed) {
            if (cmb->currentIndex() < 0) return;
            const int caret = cmb->lineEdit()->cursorPosition();
            cmb->setCurrentIndex(-1);
            cmb->lineEdit()->setText(typed);
            cmb->lineEdit()->setCursorPosition(caret);
        });
        cmb->setMaxVisibleItems(20);
        placeTwips(cmb, 600, top, 1932, 288);
        cmb->setAccessibleName(QStringLiteral("Component name, Component %1").arg(i + 1));
        cmbComp[i] = cmb;

        auto* mf = textBox(QStringLiteral("txtCmpMF_%1").arg(i), 2640, top, 640, 288);
        mf->setAccessibleName(QStringLiteral("Mole fraction, Component %1").arg(i + 1));
        txtCmpMF[i] = mf;
    }

    // Conditions of state and the buttons.
    Label1 = label("Label1", QStringLiteral("Conditions of State"), 3840, 720, 2172, 252, arialBoldUnderlined,
                   topLeft);
    Label3 = label("Label3", QStringLiteral("Temperature  (C)"), 3840, 1080, 1452, 252, arialBold, middleLeft);
    txtTemp = textBox(QStringLiteral("txtTemp"), 5400, 1080, 732, 288);
    txtTemp->setAccessibleName(QStringLiteral("Temperature (C)"));
    Label4 = label("Label4", QStringLiteral("Pressure  (bar)"), 3840, 1440, 1452, 252, arialBold, middleLeft);
    txtPress = textBox(QStringLiteral("txtPress"), 5400, 1440, 732, 288);
    txtPress->setAccessibleName(QStringLiteral("Pressure (bar)"));
    {
        QPalette pal = txtTemp->palette();
        pal.setColor(QPalette::Base, QColor(255, 192, 192));
        txtTemp->setPalette(pal);
        pal = txtPress->palette();
        pal.setColor(QPalette::Base, QColor(192, 255, 255));
        txtPress->setPalette(pal);
    }
    cmdSolve = button("cmdSolve", QStringLiteral("Solve"), 6360, 1080, 1092, 612);
    cmdSolve->setFont(fontArialBlack(9));
    cmdDataForm = button("cmdDataForm", QStringLiteral("Information"), 8160, 240, 1092, 612);
    cmdInstruct = button("cmdInstruct", QStringLiteral("Instructions"), 8160, 1080, 1092, 612);

    lblMsg = label("lblMsg", QString(), 240, 2160, 3012, 372, base, topLeft);
    lblMsg->setWordWrap(true);
    Label16 = label("Label16", QStringLiteral("Molar Volumes (cm  /mol)"), 3600, 2160, 3012, 252,
                    withLook(fontMsSansSerif(9.6), true, true), topCentre);
    Label11 = label("Label11", QStringLiteral("3"), 5520, 2160, 132, 252, bold, topLeft);
    placeExponent();

    // The result grid.
    for (int e = 0; e < kBlocks; ++e) {
        const EquationLayout& eq = kEquations[e];
        const BandLayout& band = kBands[e < 3 ? 0 : 1];
        lblEOS[e] = label("lblEOS", QString::fromLatin1(eq.caption), eq.headingLeft, band.headingTop,
                          eq.headingWidth, kLabelHeight, boldUnderlined, topCentre);
        lblEOS[e]->setObjectName(QStringLiteral("lblEOS_%1").arg(e));

        const int lefts[3] = {eq.liquidLeft, eq.vapourLeft, eq.zLeft};
        const int widths[3] = {kLiquidWidth, kVapourWidth, kZWidth};
        // Column headings are centred over their columns.
        lblLiq[e] = label("lblLiq", QStringLiteral("Liquid"), lefts[0] + (widths[0] - 612) / 2,
                          band.columnHeadingTop, 612, kLabelHeight, bold, topCentre);
        lblVap[e] = label("lblVap", QStringLiteral("Vapor"), lefts[1] + (widths[1] - 612) / 2,
                          band.columnHeadingTop, 612, kLabelHeight, bold, topCentre);
        lblZ[e] = label("lblZ", QStringLiteral("Z"), lefts[2] + (widths[2] - 732) / 2, band.columnHeadingTop, 732,
                        kLabelHeight, arialBold, topCentre);
        lblLiq[e]->setObjectName(QStringLiteral("lblLiq_%1").arg(e));
        lblVap[e]->setObjectName(QStringLiteral("lblVap_%1").arg(e));
        lblZ[e]->setObjectName(QStringLiteral("lblZ_%1").arg(e));

        for (int c = 0; c < 3; ++c) {
            Cells& column = resultColumn(e, static_cast<Column>(c));
            for (int row = 0; row < 5; ++row) {
                auto* cell = textBox(QStringLiteral("%1%2_%3")
                                         .arg(QLatin1String(kColumnPrefixes[c]), QLatin1String(eq.suffix))
                                         .arg(row),
                                     lefts[c], band.rowTops[row], widths[c], kCellHeight);
                cell->setReadOnly(true);
                if (row == kMixtureRow) cell->setFont(bold);
                cell->setAccessibleName(QStringLiteral("%1, %2, %3")
                                            .arg(QLatin1String(eq.caption), QLatin1String(kColumnWords[c]),
                                                 rowWord(row)));
                column[static_cast<std::size_t>(row)] = cell;
            }
        }
    }
    windowBase_ = txtLiqVDW[0]->palette().color(QPalette::Base);

    // Row labels of both bands, level with their rows.
    for (int k = 0; k < 8; ++k) {
        const BandLayout& band = kBands[k < 4 ? 0 : 1];
        lblComp[k] = label("lblComp", QStringLiteral("Component %1").arg(k % 4 + 1), 240, band.rowTops[k % 4], 1332,
                           kCellHeight, bold, middleLeft);
        lblComp[k]->setObjectName(QStringLiteral("lblComp_%1").arg(k));
    }
    for (int b = 0; b < 2; ++b) {
        lblMix[b] = label("lblMix", QStringLiteral("Mixture"), 720, kBands[b].rowTops[kMixtureRow], 972, kCellHeight,
                          boldUnderlined, middleLeft);
        lblMix[b]->setObjectName(QStringLiteral("lblMix_%1").arg(b));
    }
}

// The "3" of "cm3" sits in the two blanks after "cm" as its exponent. Where
// that gap falls depends on the font's metrics, so it is measured.
void frmZolvMain::placeExponent() {
    const QString caption = Label16->text();
    const int gapAt = static_cast<int>(caption.indexOf(QStringLiteral("cm  "))) + 2;
    const QFontMetrics big(Label16->font());
    const QFontMetrics small(Label11->font());
    const int textLeft = Label16->x() + (Label16->width() - big.horizontalAdvance(caption)) / 2;
    const int gapLeft = textLeft + big.horizontalAdvance(caption.left(gapAt));
    const int gapWidth = big.horizontalAdvance(QStringLiteral("  "));
    const int left = gapLeft + (gapWidth - small.horizontalAdvance(Label11->text())) / 2;
    Label11->move(left, Label11->y());
}

void frmZolvMain::arrangeTabOrder() {
    std::vector<QWidget*> order;
    for (int i = 0; i < 4; ++i) {
        order.push_back(cmbComp[i]);
        order.push_back(txtCmpMF[i]);
    }
    for (QWidget* w : {static_cast<QWidget*>(txtTemp), static_cast<QWidget*>(txtPress),
                       static_cast<QWidget*>(cmdSolve), static_cast<QWidget*>(cmdDataForm),
                       static_cast<QWidget*>(cmdCompList), static_cast<QWidget*>(cmdClrComp)})
        order.push_back(w);
    for (int e = 0; e < kBlocks; ++e)
        for (int c = 0; c < 3; ++c)
            for (QLineEdit* cell : resultColumn(e, static_cast<Column>(c))) order.push_back(cell);
    for (QCheckBox* chk : chkCritT) order.push_back(chk);
    order.push_back(cmdInstruct);
    for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void frmZolvMain::watchFocus() {
    router_ = new FocusRouter(this);
    for (int i = 0; i < 4; ++i) {
        router_->watch(
            cmbComp[i], [this, i] { cmbComp_GotFocus(i); }, [this, i] { cmbComp_LostFocus(i); });
        router_->watch(
            txtCmpMF[i], [this, i] { txtCmpMF_GotFocus(i); }, [this, i] { txtCmpMF_LostFocus(i); });
    }
    router_->watch(
        txtTemp, [this] { txtTemp_GotFocus(); }, [this] { txtTemp_LostFocus(); });
    router_->watch(
        txtPress, [this] { txtPress_GotFocus(); }, [this] { txtPress_LostFocus(); });

    connect(cmdSolve, &QPushButton::clicked, this, [this] { cmdSolve_Click(); });
    connect(cmdClrComp, &QPushButton::clicked, this, [this] { cmdClrComp_Click(); });
    connect(cmdCompList, &QPushButton::clicked, this, [this] { cmdCompList_Click(); });
    connect(cmdInstruct, &QPushButton::clicked, this, [this] { cmdInstruct_Click(); });
    connect(cmdDataForm, &QPushButton::clicked, this, [this] { cmdDataForm_Click(); });
}

frmZolvMain::Cells& frmZolvMain::resultColumn(int block, Column column) {
    static constexpr Cells frmZolvMain::*kColumns[kBlocks][3] = {
        {&frmZolvMain::txtLiqVDW, &frmZolvMain::txtVapVDW, &frmZolvMain::txtZVDW},
        {&frmZolvMain::txtLiqRK, &frmZolvMain::txtVapRK, &frmZolvMain::txtZRK},
        {&frmZolvMain::txtLiqPR, &frmZolvMain::txtVapPR, &frmZolvMain::txtZPR},
        {&frmZolvMain::txtLiqSRK, &frmZolvMain::txtVapSRK, &frmZolvMain::txtZSRK},
        {&frmZolvMain::txtLiqPRSV1, &frmZolvMain::txtVapPRSV1, &frmZolvMain::txtZPRSV1},
        {&frmZolvMain::txtLiqPRSV2, &frmZolvMain::txtVapPRSV2, &frmZolvMain::txtZPRSV2},
    };
    return this->*kColumns[block][static_cast<int>(column)];
}

void frmZolvMain::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (background_.isNull()) {
        p.fillRect(rect(), kCheckBackground);
        return;
    }
    // The client area is a few pixels larger than the picture: the strip
    // beyond it takes the picture's own edge colour.
    p.fillRect(rect(), backgroundEdge_);
    p.drawPixmap(0, 0, background_);
}

// ---------------------------------------------------------- start and end

void frmZolvMain::Form_Load() {
    for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) w->show();
    for (QComboBox* box : cmbComp) box->setCurrentIndex(-1);

    WindowStartupDialogs dialogs(this);
    try {
        db::StartupResult opened = db::openComponentDatabase(dialogs);
        dbComps = std::move(opened.dbComps);
        rstComps = std::move(opened.rstComps);
        abandoned_ = opened.abandoned;
    } catch (const db::DbError&) {
        // The opening ends without a recordset: the lists stay empty.
    }
    loaded_ = !abandoned_;
    // The first control of the tab order receives the focus when the window
    // is shown; its list is filled at that moment.
    cmbComp[0]->setFocus(Qt::OtherFocusReason);
}

void frmZolvMain::closeEvent(QCloseEvent* event) {
    // Closing never runs an input check, whatever the boxes hold.
    if (router_) router_->setClosing(true);
    // The other windows close with this one (an unsaved edit in the editor
    // is discarded as by its own close box): the program ends.
    std::vector<QPointer<QWidget>> others;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && !w->parentWidget() && w->isVisible()) others.emplace_back(w);
    for (const QPointer<QWidget>& w : others)
        if (w) w->close();
    Form_Unload();
    event->accept();
}

void frmZolvMain::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    releaseDatabase();
    emit unloaded();
}

void frmZolvMain::releaseDatabase() {
    // The recordset is closed before the database it belongs to.
    try {
        if (rstComps) rstComps->Close();
    } catch (const db::DbError&) {
    }
    rstComps.reset();
    try {
        if (dbComps) dbComps->Close();
    } catch (const db::DbError&) {
    }
    dbComps.reset();
}

void frmZolvMain::showDatabaseError(const db::DbError& e) {
    services().message(this, qs(e.description()), QStringLiteral("Database ERROR"));
}

// -------------------------------------------------------- component boxes

void frmZolvMain::cmbComp_GotFocus(int Index) {
    if (Index != 0 && cmbComp[Index - 1]->currentIndex() == -1) {
        services().message(this, QStringLiteral("Component in PRIOR Box must be Chosen"),
                           QStringLiteral("Null Component ERROR"));
        cmbComp[Index - 1]->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!rstComps) return;

    QComboBox* box = cmbComp[Index];
    const int previous = box->currentIndex();
    const QString previousName = previous >= 0 ? box->itemText(previous) : QString();
    const QString typed = previous < 0 ? box->currentText() : QString();
    int selection = previous;
    int listed = 0;
    bool failed = false;
    try {
        rstComps->Requery();
        if (!(rstComps->BOF() && rstComps->EOF_())) {
            rstComps->MoveFirst();
            for (;;) {
                const QString name = nameOf(rstComps->Fields("Component"));
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
}

void frmZolvMain::cmbComp_LostFocus(int Index) {
    const int selection = cmbComp[Index]->currentIndex();
    if (selection < 0 || !rstComps) return;
    static constexpr const char* kFields[6] = {"CritTemp", "CritPress", "AcentricF", "K1", "K2", "K3"};
    std::array<float, 6> row{};
    try {
        rstComps->MoveFirst();
        rstComps->Move(selection);
        if (rstComps->EOF_()) return;
        for (int p = 0; p < 6; ++p) row[static_cast<std::size_t>(p)] = constantOf(rstComps->Fields(kFields[p]), p < 2 ? 1.0f : 0.0f);
    } catch (const db::DbError& e) {
        showDatabaseError(e);
        // The row keeps the constants it had: the box must not go on showing
        // a name they do not belong to.
        selectNone(cmbComp[Index]);
        return;
    }
    for (int p = 0; p < 6; ++p) state_.constant(Index, p) = row[static_cast<std::size_t>(p)];
}

void frmZolvMain::selectNone(QComboBox* box) {
    box->setCurrentIndex(-1);
    box->setEditText(QString());
}

// ---------------------------------------------------------- mole fractions

FractionTexts frmZolvMain::fractionTexts() const {
    FractionTexts f;
    for (std::size_t k = 0; k < 4; ++k) f[k] = txtCmpMF[k]->text().toStdString();
    return f;
}

void frmZolvMain::txtCmpMF_GotFocus(int Index) {
    QLineEdit* box = txtCmpMF[Index];
    box->setText(qs(proposeFraction(fractionTexts(), Index)));
    selectForOvertyping(box);
}

void frmZolvMain::txtCmpMF_LostFocus(int Index) {
    QLineEdit* box = txtCmpMF[Index];
    const std::string cleaned = cleanFraction(box->text().toStdString());
    box->setText(qs(cleaned));
    const double value = leadingNumber(cleaned);
    if (value == 0) selectNone(cmbComp[Index]);
    if (value > 0) state_.numComps = static_cast<std::int16_t>(Index + 1);
}

// ---------------------------------------------------- temperature, pressure

void frmZolvMain::txtTemp_GotFocus() { selectForOvertyping(txtTemp); }

void frmZolvMain::txtTemp_LostFocus() {
    const TemperatureCheck check = checkTemperature(txtTemp->text().toStdString());
    if (!check.accepted) {
        services().message(this, qs(check.message), qs(check.title));
        if (check.emptyBox) txtTemp->clear();
        txtTemp->setFocus(Qt::OtherFocusReason);
        return;
    }
    state_.tempK = check.tempK;
    const int count = markAboveCritical(state_);
    const int rows = std::clamp<int>(state_.numComps, 0, 4);
    for (int k = 0; k < rows; ++k) chkCritT[k]->setChecked(state_.aboveCritT[static_cast<std::size_t>(k)]);
    lblMsg->setText(qs(aboveCriticalMessage(count)));
}

void frmZolvMain::txtPress_GotFocus() { selectForOvertyping(txtPress); }

void frmZolvMain::txtPress_LostFocus() {
    if (const auto p = readPressure(txtPress->text().toStdString())) state_.pressBar = *p;
}

// ------------------------------------------------------------------ Solve

void frmZolvMain::cmdSolve_Click() {
    const FractionTexts fractions = fractionTexts();
    const SolveCheck check = checkSolve(fractions, state_.pressBar, state_.numComps);
    state_.numComps = check.numComps;
    for (std::size_t k = 0; k < 4; ++k)
        if (check.deselect[k] && cmbComp[k]->currentIndex() != -1) selectNone(cmbComp[k]);
    if (!check.accepted) {
        services().message(this, qs(check.message), qs(check.title));
        if (check.focusPressure) txtPress->setFocus(Qt::OtherFocusReason);
        return;
    }
    accepted_ = solveInputs();
    for (int k = 0; k < 4; ++k) {
        const bool used = k < state_.numComps;
        if (used) {
            const QString name = cmbComp[k]->currentText();
            lblComp[k]->setText(name);
            lblComp[k + 4]->setText(name);
        }
        lblComp[k]->setVisible(used);
        lblComp[k + 4]->setVisible(used);
        chkCritT[k]->setVisible(used);
    }
    ClearResults();
    SolveAll(state_, fractions, *this);
    results_->setAvailable(true);
}

void frmZolvMain::ClearResults() {
    zolvant::ClearResults(*this);
    for (int k = std::max<int>(state_.numComps, 0); k < 4; ++k) {
        cmbComp[k]->hide();
        txtCmpMF[k]->hide();
        chkCritT[k]->hide();
        for (int e = 0; e < kBlocks; ++e)
            for (int c = 0; c < 3; ++c) resultColumn(e, static_cast<Column>(c))[static_cast<std::size_t>(k)]->hide();
    }
}

void frmZolvMain::setCellText(int block, Column column, int row, const std::string& text) {
    if (block < 0 || block >= kBlocks || row < 0 || row > kMixtureRow) return;
    resultColumn(block, column)[static_cast<std::size_t>(row)]->setText(qs(text));
}

void frmZolvMain::setCellMark(int block, int row, Mark mark) {
    if (block < 0 || block >= kBlocks || row < 0 || row >= kMixtureRow) return;
    const QColor colour = mark == Mark::Window ? windowBase_ : colourFromNumber(markColour(mark));
    for (Column c : {Column::Vapour, Column::Z}) {
        QLineEdit* cell = resultColumn(block, c)[static_cast<std::size_t>(row)];
        QPalette pal = cell->palette();
        pal.setColor(QPalette::Base, colour);
        cell->setPalette(pal);
    }
}

// ------------------------------------------------------------------ Clear

void frmZolvMain::cmdClrComp_Click() {
    const auto emptyAndShow = [](QLineEdit* cell) {
        cell->clear();
        cell->show();
    };
    for (int i = 0; i < 4; ++i) {
        cmbComp[i]->show();
        txtCmpMF[i]->show();
        selectNone(cmbComp[i]);
        txtCmpMF[i]->clear();
        chkCritT[i]->show();
        for (int e = 0; e < 3; ++e)
            for (int c = 0; c < 3; ++c) emptyAndShow(resultColumn(e, static_cast<Column>(c))[static_cast<std::size_t>(i)]);
    }
    for (int e = 0; e < 3; ++e)
        for (int c = 0; c < 3; ++c) emptyAndShow(resultColumn(e, static_cast<Column>(c))[kMixtureRow]);
    for (int e = 3; e < kBlocks; ++e)
        for (int c = 0; c < 3; ++c)
            for (QLineEdit* cell : resultColumn(e, static_cast<Column>(c))) emptyAndShow(cell);
    txtTemp->clear();
    txtPress->clear();
    // The grid is empty: there is nothing to copy or save until the next Solve.
    accepted_.reset();
    results_->setAvailable(false);
}

// ---------------------------------------------------------- results out

namespace {
// A row whose component Solve released is captioned by nothing; it is
// named by its position instead.
QString captionOr(const QString& caption, int row) {
    return caption.isEmpty() ? QStringLiteral("Component %1").arg(row + 1) : caption;
}
}  // namespace

ResultsInputs frmZolvMain::solveInputs() {
    ResultsInputs in;
    for (int k = 0; k < std::clamp<int>(state_.numComps, 0, 4); ++k)
        in.components.push_back({captionOr(cmbComp[k]->currentText(), k), txtCmpMF[k]->text()});
    in.temperatureC = txtTemp->text();
    in.temperatureK = qs(formatGeneral(state_.tempK));
    in.pressureBar = qs(formatGeneral(state_.pressBar));
    return in;
}

ResultsTable frmZolvMain::shownResults() {
    ResultsTable t;
    if (!accepted_) return t;
    t.inputs = *accepted_;
    const int rows = static_cast<int>(t.inputs.components.size());
    for (int e = 0; e < kBlocks; ++e) {
        const int band = e < 3 ? 0 : 1;
        ResultsBlock block;
        block.equation = lblEOS[e]->text();
        const auto cellsOf = [this, e](int row) {
            std::array<QString, 3> cells;
            for (int c = 0; c < 3; ++c) cells[c] = resultColumn(e, static_cast<Column>(c))[row]->text();
            return cells;
        };
        for (int k = 0; k < rows; ++k) block.rows.push_back({captionOr(lblComp[k + 4 * band]->text(), k), cellsOf(k)});
        // The mixture row holds results only when more than one row is in use.
        if (rows > 1) block.rows.push_back({lblMix[band]->text(), cellsOf(kMixtureRow)});
        t.blocks.push_back(block);
    }
    return t;
}

void frmZolvMain::contextMenuEvent(QContextMenuEvent* event) {
    if (!results_ || !results_->showBackgroundMenu(event)) event->ignore();
}

// ------------------------------------------------------------- navigation

// Each opens its window modeless and ownerless, or raises the open one.
void frmZolvMain::cmdCompList_Click() { showComponentEditor(); }
void frmZolvMain::cmdInstruct_Click() { showInstructions(); }
void frmZolvMain::cmdDataForm_Click() { showInformation(); }

// ------------------------------------------------------ another database

QString frmZolvMain::databasePath() const { return dbComps ? QString::fromStdString(dbComps->path()) : QString(); }

void frmZolvMain::useDatabase(std::unique_ptr<db::Database> db, std::unique_ptr<db::Recordset> rst) {
    releaseDatabase();
    dbComps = std::move(db);
    rstComps = std::move(rst);
    // The boxes list the new components at their next entry. A box being
    // edited is listed now: leaving it reads the record at its list index.
    for (int i = 0; i < 4; ++i)
        if (cmbComp[i]->hasFocus()) cmbComp_GotFocus(i);
}

}  // namespace zolvant::ui
