// The main window driven as a user drives it: Tab presses, typed text and
// clicks, against a small component database in a temporary folder.

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>
#include <optional>

#include "db/database.h"
#include "db/settings.h"
#include "solver/grid.h"
#include "testsupport/recording_services.h"
#include "testsupport/window_driver.h"
#include "ui/common/layout.h"
#include "ui/common/services.h"
#include "ui/editor/frmCritConst2.h"
#include "ui/help/frmInfoEOS.h"
#include "ui/help/frmZolvInstruct.h"
#include "ui/main/frmZolvMain.h"

using zolvant::ui::frmZolvMain;
using zolvant::ui::RecordingServices;

namespace {

struct Record {
    const char* name;
    std::optional<double> tc, pc, omega, k1;
};

// Listed by name, case aside: Methane, n-Butane, Nullomega, Nulltemp.
const Record kRecords[] = {
    {"n-Butane", 425.1, 37.96, 0.2, 0.03443},
    {"Methane", 190.6, 45.99, 0.011, -0.00159},
    {"Nullomega", 300.0, 40.0, std::nullopt, std::nullopt},  // acentric factor and K1 missing
    {"Nulltemp", std::nullopt, 50.0, 0.1, 0.02},              // critical temperature missing
};

// The visible top-level windows of one kind.
template <typename W>
QList<W*> openWindows() {
    QList<W*> out;
    for (QWidget* t : QApplication::topLevelWidgets())
        if (auto* w = qobject_cast<W*>(t); w && w->isVisible()) out << w;
    return out;
}

void addRecord(zolvant::db::Database& db, const Record& r) {
    auto rs = db.OpenRecordset("tblComps");
    rs->AddNew();
    rs->SetField("Component", r.name);
    const auto set = [&](const char* field, const std::optional<double>& v) {
        if (v) rs->SetField(field, QString::number(*v, 'g', 17).toStdString());
    };
    set("CritTemp", r.tc);
    set("CritPress", r.pc);
    set("AcentricF", r.omega);
    set("K1", r.k1);
    rs->Update();
    rs->Close();
}

// Deletes the records of that name through a second connection, as the
// editor window would.
void deleteRecords(const QString& path, const QStringList& names) {
    auto db = zolvant::db::Database::OpenDatabase(path.toStdString());
    auto rs = db->OpenRecordset(zolvant::db::kEditorSource);
    if (!(rs->BOF() && rs->EOF_())) {
        rs->MoveFirst();
        while (!rs->EOF_()) {
            const auto v = rs->Fields("Component");
            const auto* s = std::get_if<std::string>(&v);
            if (s && names.contains(QString::fromStdString(*s))) rs->Delete();
            rs->MoveNext();
        }
    }
    rs->Close();
    db->Close();
}

QColor baseOf(const QWidget* w) { return w->palette().color(QPalette::Base); }

}  // namespace

class TestMainWindow : public QObject, protected MainWindowDriver {
    Q_OBJECT

private:
    QTemporaryDir tmp_;
    QString dbPath_;
    int dbCount_ = 0;
    std::unique_ptr<zolvant::ui::ScopedRecordingServices> services_;

    RecordingServices& rec() { return services_->rec; }


    // From the start-up focus: the mixture, the temperature and pressure,
    // then Solve, all from the keyboard except the click into the
    // temperature box (Tab would walk through the unused rows).
    void enterMixture(const QStringList& names, const QStringList& fractions) {
        for (int i = 0; i < names.size(); ++i) {
            QCOMPARE(focused(), cmb(i));
            choose(names[i]);
            tab();
            QCOMPARE(focused(), mf(i));
            type(fractions[i]);
            tab();
        }
    }
    void enterConditions(const QString& temperature, const QString& pressure) {
        click(box("txtTemp"));
        QCOMPARE(focused(), box("txtTemp"));
        QTest::keyClick(focused(), Qt::Key_A, Qt::ControlModifier);
        type(temperature);
        tab();
        QCOMPARE(focused(), box("txtPress"));
        type(pressure);
        tab();
        QCOMPARE(focused(), ctl<QPushButton>("cmdSolve"));
    }
    void pressSolve() { QTest::keyClick(focused(), Qt::Key_Space); }
    void enterWorkedExample() {
        enterMixture({"n-Butane", "Methane"}, {"0.5", "0.5"});
        enterConditions("26.85", "1");
        pressSolve();
    }

    QStringList gridTexts() {
        QStringList out;
        for (int e = 0; e < zolvant::kBlocks; ++e)
            for (int c = 0; c < 3; ++c)
                for (QLineEdit* cell : w_->resultColumn(e, static_cast<zolvant::Column>(c)))
                    out << cell->objectName() + "=" + cell->text() + (cell->isVisible() ? "" : " hidden");
        return out;
    }

    QString freshDatabase() {
        const QString path = tmp_.filePath(QStringLiteral("Components%1.mdb").arg(++dbCount_));
        auto db = zolvant::db::Database::CreateDatabase(path.toStdString());
        for (const Record& r : kRecords) addRecord(*db, r);
        db->Close();
        return path;
    }


private slots:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, tmp_.path());
        zolvant::db::setDefaultDbPathOverride(tmp_.filePath(QStringLiteral("absent/Components.mdb")));
    }

    void init() {
        services_ = std::make_unique<zolvant::ui::ScopedRecordingServices>();
        dbPath_ = freshDatabase();
        zolvant::db::writeDbPath(dbPath_);
        openWindow();
    }

    void cleanup() {
        w_.reset();
        services_.reset();
    }

    void startsWithTheFirstComponentBoxAndItsList() {
        QCOMPARE(w_->windowTitle(), QStringLiteral("Zolvant"));
        QCOMPARE(w_->size(), QSize(804, 603));
        QCOMPARE(focused(), cmb(0));
        QCOMPARE(cmb(0)->count(), 4);
        QCOMPARE(cmb(0)->itemText(0), QStringLiteral("Methane"));
        QCOMPARE(cmb(0)->itemText(1), QStringLiteral("n-Butane"));
        QCOMPARE(cmb(0)->itemText(3), QStringLiteral("Nulltemp"));
        QCOMPARE(cmb(0)->currentIndex(), -1);
        QCOMPARE(cmb(1)->count(), 0);
        for (int k = 0; k < 4; ++k) {
            QVERIFY(cmb(k)->isVisible());
            QVERIFY(mf(k)->isVisible());
            QVERIFY(ctl(QStringLiteral("chkCritT_%1").arg(k))->isVisible());
        }
        for (int k = 0; k < 8; ++k) QVERIFY(ctl(QStringLiteral("lblComp_%1").arg(k))->isVisible());
        for (const QString& g : gridTexts()) QVERIFY2(!g.endsWith(" hidden"), qPrintable(g));
        QVERIFY(rec().messages.empty());
    }

    void controlsSitAtTheirPlaces_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twips");
        const auto row = [](const char* n, int l, int t, int w, int h) {
            QTest::newRow(n) << QString::fromLatin1(n) << QRect(l, t, w, h);
        };
        row("Label6", 360, 360, 2172, 252);
        row("Label7", 2640, 120, 732, 492);
        row("cmdClrComp", 1560, 240, 972, 372);
        row("cmdCompList", 3480, 120, 1092, 492);
        row("chkCritT_2", 240, 1440, 252, 252);
        row("cmbComp_3", 600, 1800, 1932, 288);
        row("txtCmpMF_1", 2640, 1080, 640, 288);
        row("Label1", 3840, 720, 2172, 252);
        row("Label3", 3840, 1080, 1452, 252);
        row("txtTemp", 5400, 1080, 732, 288);
        row("Label4", 3840, 1440, 1452, 252);
        row("txtPress", 5400, 1440, 732, 288);
        row("cmdSolve", 6360, 1080, 1092, 612);
        row("cmdDataForm", 8160, 240, 1092, 612);
        row("cmdInstruct", 8160, 1080, 1092, 612);
        row("lblMsg", 240, 2160, 3012, 372);
        row("Label16", 3600, 2160, 3012, 252);
        row("lblEOS_2", 7200, 2520, 1812, 252);
        row("lblEOS_3", 1560, 4800, 2292, 252);
        row("txtLiqVDW_0", 1560, 3000, 660, 288);
        row("txtVapRK_3", 5040, 3960, 720, 288);
        row("txtZPR_4", 8520, 4284, 720, 288);
        row("txtLiqSRK_1", 1560, 5604, 660, 288);
        row("txtVapPRSV1_2", 5040, 5916, 720, 288);
        row("txtZPRSV2_4", 8520, 6564, 720, 288);
    }
    void controlsSitAtTheirPlaces() {
        QFETCH(QString, name);
        QFETCH(QRect, twips);
        QCOMPARE(ctl(name)->geometry(),
                 zolvant::ui::twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    }

    void tabOrderWalksTheInputFirst() {
        QStringList expected = {"cmbComp_0", "txtCmpMF_0", "cmbComp_1", "txtCmpMF_1", "cmbComp_2",
                                "txtCmpMF_2", "cmbComp_3", "txtCmpMF_3", "txtTemp", "txtPress",
                                "cmdSolve", "cmdDataForm", "cmdCompList", "cmdClrComp"};
        for (const char* eq : {"VDW", "RK", "PR", "SRK", "PRSV1", "PRSV2"})
            for (const char* col : {"txtLiq", "txtVap", "txtZ"})
                for (int row = 0; row < 5; ++row) expected << QStringLiteral("%1%2_%3").arg(col, eq).arg(row);
        for (int k = 0; k < 4; ++k) expected << QStringLiteral("chkCritT_%1").arg(k);
        expected << "cmdInstruct";

        QStringList chain;
        QWidget* w = cmb(0);
        do {
            if (w->focusPolicy() & Qt::TabFocus && !w->focusProxy() && w->isVisible() && w->window() == w_.get() &&
                w != w_.get())
                chain << w->objectName();
            w = w->nextInFocusChain();
        } while (w != cmb(0));
        QCOMPARE(chain, expected);
    }

    void everyBoxHasItsOwnAccessibleName() {
        QSet<QString> names;
        int boxes = 0;
        for (QWidget* w : w_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w) && !qobject_cast<QCheckBox*>(w))
                continue;
            ++boxes;
            QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
            names.insert(w->accessibleName());
        }
        QCOMPARE(boxes, 4 + 4 + 4 + 2 + 90);
        QCOMPARE(names.size(), boxes);
        QCOMPARE(ctl("txtLiqVDW_0")->accessibleName(), QStringLiteral("Van der Waals, Liquid, Component 1"));
        QCOMPARE(ctl("txtZPRSV2_4")->accessibleName(), QStringLiteral("PR-Stryjek-Vera 2, Z, Mixture"));
        QCOMPARE(ctl("txtVapSRK_2")->accessibleName(), QStringLiteral("Soave-Redlich-Kwong, Vapor, Component 3"));
        QCOMPARE(mf(1)->accessibleName(), QStringLiteral("Mole fraction, Component 2"));
        QCOMPARE(ctl("chkCritT_3")->accessibleName(), QStringLiteral("Above critical temperature, Component 4"));
    }

    void looksOfTheControls() {
        QVERIFY(box("txtLiqPR_2")->isReadOnly());
        QVERIFY(box("txtZSRK_4")->font().bold());
        QVERIFY(!box("txtZSRK_3")->font().bold());
        QCOMPARE(baseOf(box("txtTemp")), QColor(255, 192, 192));
        QCOMPARE(baseOf(box("txtPress")), QColor(192, 255, 255));
        auto* chk = ctl<QCheckBox>("chkCritT_0");
        QCOMPARE(chk->text(), QStringLiteral(">CT"));
        QCOMPARE(chk->palette().color(chk->backgroundRole()), QColor(200, 252, 224));
        QCOMPARE(ctl<QLabel>("Label16")->text(), QStringLiteral("Molar Volumes (cm  /mol)"));
        // The caption as it reads; its "&" only marks the Alt key.
        QCOMPARE(ctl<QLabel>("Label3")->text().remove(QLatin1Char('&')), QStringLiteral("Temperature  (C)"));
        QVERIFY(cmb(2)->isEditable());
        QCOMPARE(cmb(2)->insertPolicy(), QComboBox::NoInsert);
    }

    void enteringTheNextBoxWithThisOneEmptyShowsThePriorBoxMessage() {
        tab();
        QCOMPARE(focused(), mf(0));
        QVERIFY(rec().messages.empty());
        tab();
        QCOMPARE(rec().messages.size(), std::size_t(1));
        QCOMPARE(rec().messages[0].text, QStringLiteral("Component in PRIOR Box must be Chosen"));
        QCOMPARE(rec().messages[0].title, QStringLiteral("Null Component ERROR"));
        QCOMPARE(focused(), cmb(0));
        QCOMPARE(cmb(1)->count(), 0);
    }

    void onlyTheBoxJustBeforeIsTested() {
        // Box 0 and box 1 chosen, then box 0 released by a zero fraction.
        choose("Methane");
        tab();
        type("0.4");
        tab();
        choose("n-Butane");
        click(mf(0));
        type("0");
        click(cmb(2));
        QCOMPARE(cmb(0)->currentIndex(), -1);
        QCOMPARE(cmb(1)->currentText(), QStringLiteral("n-Butane"));
        QCOMPARE(focused(), cmb(2));
        QVERIFY(rec().messages.empty());
        QCOMPARE(cmb(2)->count(), 4);
    }

    void aClickIntoABoxWhosePriorBoxIsEmptyIsRefused() {
        // On the drop-down arrow: the refused press must not open the list.
        QTest::mouseClick(cmb(2), Qt::LeftButton, Qt::NoModifier, QPoint(cmb(2)->width() - 6, cmb(2)->height() / 2));
        QCoreApplication::processEvents();
        // Sent back to box 1, which is refused in turn: the focus ends in
        // the first empty box.
        QCOMPARE(rec().messages.size(), std::size_t(2));
        QCOMPARE(rec().messages[0].title, QStringLiteral("Null Component ERROR"));
        QCOMPARE(rec().messages[1].title, QStringLiteral("Null Component ERROR"));
        QCOMPARE(focused(), cmb(0));
        QVERIFY(!cmb(2)->view()->isVisible());
        QCOMPARE(cmb(2)->count(), 0);
    }

    void constantsAreLoadedWhenTheBoxIsLeft() {
        choose("n-Butane");
        QCOMPARE(w_->mixture().constant(0, zolvant::Tc), 0.0f);  // picking alone loads nothing
        tab();
        QCOMPARE(w_->mixture().constant(0, zolvant::Tc), 425.1f);
        QCOMPARE(w_->mixture().constant(0, zolvant::Pc), 37.96f);
        QCOMPARE(w_->mixture().constant(0, zolvant::Omega), 0.2f);
        QCOMPARE(w_->mixture().constant(0, zolvant::K1), 0.03443f);
        QCOMPARE(w_->mixture().constant(0, zolvant::K2), 0.0f);
        type("0.5");
        tab();
        choose("Nulltemp");
        tab();
        QCOMPARE(w_->mixture().constant(1, zolvant::Tc), 1.0f);
        QCOMPARE(w_->mixture().constant(1, zolvant::Pc), 50.0f);
        type("0.3");
        tab();
        choose("Nullomega");
        tab();
        QCOMPARE(w_->mixture().constant(2, zolvant::Omega), 0.0f);
        QCOMPARE(w_->mixture().constant(2, zolvant::K1), 0.0f);
        QCOMPARE(w_->mixture().constant(2, zolvant::Tc), 300.0f);
        QCOMPARE(w_->mixture().constant(0, zolvant::Tc), 425.1f);
        QCOMPARE(w_->mixture().constant(1, zolvant::Tc), 1.0f);
    }

    void pickingFromTheDropDownListLoadsOnLeaving() {
        // Opening and closing the list is no focus change: no refresh, no
        // load, no check.
        QTest::mouseClick(cmb(0), Qt::LeftButton, Qt::NoModifier, QPoint(cmb(0)->width() - 6, cmb(0)->height() / 2));
        QTRY_VERIFY(cmb(0)->view()->isVisible());
        QAbstractItemView* list = cmb(0)->view();
        const QRect item = list->visualRect(list->model()->index(1, 0));
        // The list ignores a release that could belong to the click that opened it.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QTest::mouseMove(list->viewport(), item.center());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, item.center());
        QTRY_VERIFY(!cmb(0)->view()->isVisible());
        QCOMPARE(cmb(0)->currentText(), QStringLiteral("n-Butane"));
        QCOMPARE(focused(), cmb(0));
        QCOMPARE(w_->mixture().constant(0, zolvant::Tc), 0.0f);
        tab();
        QCOMPARE(w_->mixture().constant(0, zolvant::Tc), 425.1f);
        QVERIFY(rec().messages.empty());
    }

    void typedTextChoosesOnlyWhenTheBoxIsLeft() {
        type("methane");
        QCOMPARE(cmb(0)->currentIndex(), -1);
        QCOMPARE(w_->mixture().constant(0, zolvant::Tc), 0.0f);
        tab();
        QCOMPARE(cmb(0)->currentText(), QStringLiteral("Methane"));
        QCOMPARE(cmb(0)->itemText(cmb(0)->currentIndex()), QStringLiteral("Methane"));
        QCOMPARE(w_->mixture().constant(0, zolvant::Tc), 190.6f);
        QVERIFY(rec().messages.empty());
        // Typing over a chosen name gives up the choice.
        backtab();
        choose("Methane");
        QTest::keyClick(focused(), Qt::Key_End);
        QTest::keyClick(focused(), Qt::Key_Backspace);
        QCOMPARE(cmb(0)->currentIndex(), -1);
        QCOMPARE(cmb(0)->currentText(), QStringLiteral("Methan"));
    }

    void listsFollowTheDatabase() {
        choose("n-Butane");
        tab();
        {
            auto db = zolvant::db::Database::OpenDatabase(dbPath_.toStdString());
            addRecord(*db, {"Ethane", 305.3, 48.72, 0.099, 0.02669});
            db->Close();
        }
        backtab();
        QCOMPARE(focused(), cmb(0));
        QCOMPARE(cmb(0)->count(), 5);
        QCOMPARE(cmb(0)->itemText(0), QStringLiteral("Ethane"));
        QCOMPARE(cmb(0)->currentText(), QStringLiteral("n-Butane"));
        QCOMPARE(cmb(0)->currentIndex(), 2);

        // Deleted records leave no items behind.
        tab();
        deleteRecords(dbPath_, {"Methane", "Nulltemp"});
        backtab();
        QCOMPARE(cmb(0)->count(), 3);
        QCOMPARE(cmb(0)->currentIndex(), 1);
        QCOMPARE(cmb(0)->currentText(), QStringLiteral("n-Butane"));
        tab();
        QCOMPARE(w_->mixture().constant(0, zolvant::Tc), 425.1f);

        // Over an empty recordset the list is empty and leaving loads nothing.
        deleteRecords(dbPath_, {"Ethane", "Nullomega", "n-Butane"});
        backtab();
        QCOMPARE(cmb(0)->count(), 0);
        QCOMPARE(cmb(0)->currentIndex(), -1);
        tab();
        QCOMPARE(focused(), mf(0));
        QCOMPARE(w_->mixture().constant(0, zolvant::Tc), 425.1f);
        QVERIFY(rec().messages.empty());
    }

    void fractionIsCleanedOnLeaving_data() {
        QTest::addColumn<QString>("typed");  // "<keep>": the proposal is left as it is
        QTest::addColumn<QString>("cleaned");
        QTest::addColumn<bool>("released");
        QTest::addColumn<int>("numComps");
        QTest::newRow("proposal kept") << "<keep>" << "1.000" << false << 1;
        QTest::newRow("0.2") << "0.2" << "0.200" << false << 1;
        QTest::newRow("five decimals") << "0.12345" << "0.123" << false << 1;
        QTest::newRow("rounds up to one") << "0.9996" << "1.000" << false << 1;
        QTest::newRow("above one") << "1.5" << "0.000" << true << 0;
        QTest::newRow("negative") << "-0.2" << "0.000" << true << 0;
        QTest::newRow("not a number") << "abc" << "0.000" << true << 0;
        QTest::newRow("rounds to zero") << "0.0004" << "0.000" << true << 0;
        QTest::newRow("emptied") << "" << "0.000" << true << 0;
        QTest::newRow("leading number") << "0.25 mol" << "0.250" << false << 1;
    }
    void fractionIsCleanedOnLeaving() {
        QFETCH(QString, typed);
        QFETCH(QString, cleaned);
        QFETCH(bool, released);
        QFETCH(int, numComps);
        choose("Methane");
        tab();
        QCOMPARE(mf(0)->text(), QStringLiteral("1"));
        QCOMPARE(mf(0)->selectedText(), QStringLiteral("1"));
        if (typed.isEmpty())
            QTest::keyClick(focused(), Qt::Key_Delete);
        else if (typed != "<keep>")
            type(typed);
        // Back to the component box: Tab would enter box 1, whose check
        // refuses an empty box 0.
        backtab();
        QCOMPARE(mf(0)->text(), cleaned);
        QCOMPARE(cmb(0)->currentIndex() == -1, released);
        QCOMPARE(int(w_->mixture().numComps), numComps);
        QVERIFY(rec().messages.empty());
    }

    void fractionProposals_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("secondProposed");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("thirdProposed");
        QTest::addColumn<QString>("thirdCleaned");
        QTest::addColumn<bool>("thirdReleased");
        QTest::newRow("thirds") << "0.333" << "0.667" << "0.333" << "0.334" << "0.334" << false;
        QTest::newRow("over one") << "0.8" << "0.2" << "0.5" << "-0.3" << "0.000" << true;
        QTest::newRow("ten characters") << "0.538" << "0.462" << "0.377" << "0.08500004" << "0.085" << false;
        QTest::newRow("0.6 then the rest") << "0.6" << "0.4" << "<keep>" << "0" << "0.000" << true;
    }
    void fractionProposals() {
        QFETCH(QString, first);
        QFETCH(QString, secondProposed);
        QFETCH(QString, second);
        QFETCH(QString, thirdProposed);
        QFETCH(QString, thirdCleaned);
        QFETCH(bool, thirdReleased);
        choose("Methane");
        tab();
        type(first);
        tab();
        choose("n-Butane");
        tab();
        QCOMPARE(mf(1)->text(), secondProposed);
        if (second != "<keep>") type(second);
        tab();
        QCOMPARE(int(w_->mixture().numComps), 2);
        choose("Nullomega");
        tab();
        // The whole proposal is selected, however long: typing replaces it.
        QCOMPARE(mf(2)->text(), thirdProposed);
        QCOMPARE(mf(2)->selectedText(), thirdProposed);
        tab();
        QCOMPARE(mf(2)->text(), thirdCleaned);
        QCOMPARE(cmb(2)->currentIndex() == -1, thirdReleased);
        QCOMPARE(int(w_->mixture().numComps), thirdReleased ? 2 : 3);
    }

    void typingReplacesTheWholeProposal() {
        choose("Methane");
        tab();
        type("0.538");
        tab();
        choose("n-Butane");
        tab();
        type("0.377");
        tab();
        choose("Nullomega");
        tab();
        QCOMPARE(mf(2)->text(), QStringLiteral("0.08500004"));
        type("0.085");
        QCOMPARE(mf(2)->text(), QStringLiteral("0.085"));
        // Entered by a click, the box still has its whole text selected.
        click(mf(0));
        QTRY_COMPARE(mf(0)->selectedText(), QStringLiteral("1"));
        QCOMPARE(mf(2)->text(), QStringLiteral("0.085"));
    }

    void returningToTheFirstFractionProposesOne() {
        choose("Methane");
        tab();
        type("0.4");
        tab();
        backtab();
        QCOMPARE(focused(), mf(0));
        QCOMPARE(mf(0)->text(), QStringLiteral("1"));
    }

    void refusedTemperatureKeepsTheFocus_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("left");
        QTest::newRow("empty") << "" << "State Temperature NOT Specified" << "";
        QTest::newRow("not a number") << "abc" << "State Temperature NOT Specified" << "";
        QTest::newRow("below minimum") << "-187.01" << "State Temperature BELOW Minimum" << "-187.01";
    }
    void refusedTemperatureKeepsTheFocus() {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, left);
        click(box("txtTemp"));
        type(typed);
        tab();
        QCOMPARE(rec().messages.size(), std::size_t(1));
        QCOMPARE(rec().messages[0].text, message);
        QCOMPARE(rec().messages[0].title, QStringLiteral("Temperature ERROR"));
        QCOMPARE(focused(), box("txtTemp"));
        QCOMPARE(box("txtTemp")->text(), left);
        QCOMPARE(w_->mixture().tempK, 0.0f);
        // Every further attempt is refused the same way, by Tab or by click.
        click(box("txtPress"));
        QCOMPARE(rec().messages.size(), std::size_t(2));
        QCOMPARE(focused(), box("txtTemp"));
    }

    void acceptedTemperatureIsStoredInKelvin_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<float>("tempK");
        QTest::newRow("-187") << "-187" << 86.15f;
        QTest::newRow("25") << "25" << 298.15f;
        QTest::newRow("blanks and exponent") << " 2.5e1 " << 298.15f;
    }
    void acceptedTemperatureIsStoredInKelvin() {
        QFETCH(QString, typed);
        QFETCH(float, tempK);
        click(box("txtTemp"));
        type(typed);
        tab();
        QVERIFY(rec().messages.empty());
        QCOMPARE(focused(), box("txtPress"));
        QCOMPARE(w_->mixture().tempK, tempK);
        QCOMPARE(ctl<QLabel>("lblMsg")->text(), QString());
    }

    void closingNeverChecksTheTemperature() {
        QWidget other;  // stands for the editor or a help window
        other.show();
        QSignalSpy unloaded(w_.get(), &frmZolvMain::unloaded);
        click(box("txtTemp"));
        type("abc");
        QVERIFY(w_->close());
        QVERIFY(rec().messages.empty());
        QVERIFY(!w_->isVisible());
        QVERIFY(!other.isVisible());
        QCOMPARE(unloaded.count(), 1);
        QVERIFY(!w_->hasComponentRecordset());
    }

    void aboveCriticalTicksAndMessage_data() {
        QTest::addColumn<QString>("temperature");
        QTest::addColumn<bool>("butaneAbove");
        QTest::addColumn<bool>("methaneAbove");
        QTest::addColumn<QString>("message");
        const QString one = QStringLiteral("Temperature exceeds critical temperature\r\nof 1 components.");
        QTest::newRow("26.85") << "26.85" << false << true << one;
        QTest::newRow("exactly the critical temperature") << "151.95" << true << true
                                                          << "Temperature exceeds critical temperature\r\nof 2 components.";
        QTest::newRow("just below") << "151.9" << false << true << one;
        QTest::newRow("cold") << "-187" << false << false << "";
    }
    void aboveCriticalTicksAndMessage() {
        QFETCH(QString, temperature);
        QFETCH(bool, butaneAbove);
        QFETCH(bool, methaneAbove);
        QFETCH(QString, message);
        auto* tick3 = ctl<QCheckBox>("chkCritT_3");
        click(tick3);  // a hand-made tick on a row not in use
        QVERIFY(tick3->isChecked());
        click(cmb(0));
        enterMixture({"n-Butane", "Methane"}, {"0.5", "0.5"});
        click(box("txtTemp"));
        type(temperature);
        tab();
        QVERIFY(rec().messages.empty());
        QCOMPARE(ctl<QCheckBox>("chkCritT_0")->isChecked(), butaneAbove);
        QCOMPARE(ctl<QCheckBox>("chkCritT_1")->isChecked(), methaneAbove);
        QCOMPARE(w_->mixture().aboveCritT[0], butaneAbove);
        QCOMPARE(w_->mixture().aboveCritT[1], methaneAbove);
        QVERIFY(tick3->isChecked());
        QCOMPARE(ctl<QLabel>("lblMsg")->text(), message);
    }

    void workedExampleGivesTheMixtureRow() {
        enterWorkedExample();
        QVERIFY(rec().messages.empty());
        QCOMPARE(box("txtLiqVDW_4")->text(), QStringLiteral("165.47"));
        QCOMPARE(box("txtVapVDW_4")->text(), QStringLiteral("24693.5"));
        QCOMPARE(box("txtZVDW_4")->text(), QStringLiteral("0.9900"));
        QCOMPARE(box("txtLiqVDW_0")->text(), QStringLiteral("165.47"));
        QCOMPARE(box("txtVapVDW_0")->text(), QStringLiteral("24494.3"));
        QCOMPARE(box("txtLiqVDW_1")->text(), QStringLiteral("NA - Tc"));
        QCOMPARE(box("txtVapVDW_1")->text(), QStringLiteral("24892.7"));
        for (int e = 0; e < zolvant::kBlocks; ++e)
            for (int c = 0; c < 3; ++c)
                for (int row = 0; row < 5; ++row) {
                    QLineEdit* cell = w_->resultColumn(e, static_cast<zolvant::Column>(c))[row];
                    QCOMPARE(cell->isVisible(), row < 2 || row == 4);
                    if (row < 2 || row == 4) QVERIFY2(!cell->text().isEmpty(), qPrintable(cell->objectName()));
                }
        QCOMPARE(ctl<QLabel>("lblComp_0")->text(), QStringLiteral("n-Butane"));
        QCOMPARE(ctl<QLabel>("lblComp_4")->text(), QStringLiteral("n-Butane"));
        QCOMPARE(ctl<QLabel>("lblComp_5")->text(), QStringLiteral("Methane"));
        for (const char* hidden : {"lblComp_2", "lblComp_3", "lblComp_6", "lblComp_7", "cmbComp_2", "txtCmpMF_3",
                                   "chkCritT_2", "chkCritT_3"})
            QVERIFY2(!ctl(hidden)->isVisible(), hidden);
        QVERIFY(ctl("lblMix_1")->isVisible());

        if (const QString path = qEnvironmentVariable("ZOLVANT_SCREENSHOT"); !path.isEmpty()) {
            QTest::qWait(50);  // let the deferred repaints land
            QVERIFY(w_->grab().save(path));
        }
    }

    void clearShowsTheRowsAgainAndLeavesTheRest() {
        enterWorkedExample();
        const auto before = w_->mixture();
        const QString message = ctl<QLabel>("lblMsg")->text();
        click(ctl("cmdClrComp"));
        QVERIFY(rec().messages.empty());
        for (int k = 0; k < 4; ++k) {
            QVERIFY(cmb(k)->isVisible());
            QCOMPARE(cmb(k)->currentIndex(), -1);
            QCOMPARE(cmb(k)->currentText(), QString());
            QVERIFY(mf(k)->isVisible());
            QCOMPARE(mf(k)->text(), QString());
            QVERIFY(ctl(QStringLiteral("chkCritT_%1").arg(k))->isVisible());
        }
        for (const QString& g : gridTexts()) QVERIFY2(g.endsWith("="), qPrintable(g));
        QCOMPARE(box("txtTemp")->text(), QString());
        QCOMPARE(box("txtPress")->text(), QString());
        // Left alone: the state, the ticks, the message line, the row captions.
        QCOMPARE(w_->mixture().numComps, before.numComps);
        QVERIFY(w_->mixture().compConst == before.compConst);
        QCOMPARE(w_->mixture().tempK, before.tempK);
        QCOMPARE(w_->mixture().pressBar, before.pressBar);
        QVERIFY(w_->mixture().aboveCritT == before.aboveCritT);
        QVERIFY(ctl<QCheckBox>("chkCritT_1")->isChecked());
        QCOMPARE(ctl<QLabel>("lblMsg")->text(), message);
        QCOMPARE(ctl<QLabel>("lblComp_0")->text(), QStringLiteral("n-Butane"));
        QVERIFY(!ctl("lblComp_2")->isVisible());

        // A three-row mixture brings the third row's captions back.
        click(cmb(0));
        enterMixture({"Methane", "n-Butane", "Nullomega"}, {"0.2", "0.3", "0.5"});
        enterConditions("26.85", "1");
        pressSolve();
        QVERIFY(rec().messages.empty());
        QVERIFY(ctl("lblComp_2")->isVisible());
        QCOMPARE(ctl<QLabel>("lblComp_6")->text(), QStringLiteral("Nullomega"));
        QVERIFY(!ctl("lblComp_3")->isVisible());
    }

    void solveRefusesAWrongTotal() {
        enterWorkedExample();
        const QStringList grid = gridTexts();
        click(mf(1));
        type("0.4");
        click(ctl("cmdSolve"));
        QCOMPARE(rec().messages.size(), std::size_t(1));
        QCOMPARE(rec().messages[0].text, QStringLiteral("Mole Fraction Total Not Equal to 1"));
        QCOMPARE(rec().messages[0].title, QStringLiteral("Mixture ERROR"));
        QCOMPARE(gridTexts(), grid);
    }

    void solveRefusesABadPressure() {
        enterMixture({"n-Butane", "Methane"}, {"0.5", "0.5"});
        enterConditions("26.85", "0");
        pressSolve();
        QCOMPARE(rec().messages.size(), std::size_t(1));
        QCOMPARE(rec().messages[0].text, QStringLiteral("Invalid or Incorrect Pressure"));
        QCOMPARE(rec().messages[0].title, QStringLiteral("Pressure ERROR"));
        QCOMPARE(focused(), box("txtPress"));
        QCOMPARE(box("txtPress")->selectedText(), QStringLiteral("0"));
        for (const QString& g : gridTexts()) QVERIFY2(g.endsWith("="), qPrintable(g));
        QVERIFY(cmb(2)->isVisible());

        // With a wrong total as well, only the total is reported.
        click(mf(1));
        type("0.4");
        click(ctl("cmdSolve"));
        QCOMPARE(rec().messages.size(), std::size_t(2));
        QCOMPARE(rec().messages[1].title, QStringLiteral("Mixture ERROR"));
    }

    void solveRefusesATemperatureTheBoxDoesNotShow_data() {
        QTest::addColumn<bool>("afterClear");
        QTest::newRow("never entered") << false;
        QTest::newRow("emptied by Clear") << true;
    }
    void solveRefusesATemperatureTheBoxDoesNotShow() {
        QFETCH(bool, afterClear);
        if (afterClear) {
            enterWorkedExample();
            click(ctl("cmdClrComp"));
            QCOMPARE(w_->mixture().tempK, 300.0f);  // Clear leaves the state as it was
            click(cmb(0));
        }
        enterMixture({"n-Butane", "Methane"}, {"0.5", "0.5"});
        const QStringList grid = gridTexts();
        click(ctl("cmdSolve"));
        QCOMPARE(rec().messages.size(), std::size_t(1));
        QCOMPARE(rec().messages[0].text, QStringLiteral("State Temperature NOT Specified"));
        QCOMPARE(rec().messages[0].title, QStringLiteral("Temperature ERROR"));
        QCOMPARE(focused(), box("txtTemp"));
        QCOMPARE(gridTexts(), grid);
        QVERIFY(!w_->solvedCase().has_value());

        // The pressure box is checked next, and refuses as well when empty.
        type("26.85");
        click(ctl("cmdSolve"));
        QCOMPARE(rec().messages.size(), std::size_t(2));
        QCOMPARE(rec().messages[1].text, QStringLiteral("Invalid or Incorrect Pressure"));
        QCOMPARE(rec().messages[1].title, QStringLiteral("Pressure ERROR"));
        QCOMPARE(focused(), box("txtPress"));
        QCOMPARE(gridTexts(), grid);

        type("1");
        click(ctl("cmdSolve"));
        QCOMPARE(rec().messages.size(), std::size_t(2));
        QCOMPARE(box("txtVapVDW_4")->text(), QStringLiteral("24693.5"));
    }

    void solveRefusesAPressureThatIsNotANumber_data() {
        QTest::addColumn<QString>("pressure");
        QTest::newRow("letters") << "xyz";
        QTest::newRow("a unit after the number") << "2 bar";
        QTest::newRow("emptied") << "";
    }
    void solveRefusesAPressureThatIsNotANumber() {
        QFETCH(QString, pressure);
        enterWorkedExample();
        const QStringList grid = gridTexts();
        click(box("txtPress"));
        QTest::keyClick(focused(), Qt::Key_A, Qt::ControlModifier);
        if (pressure.isEmpty())
            QTest::keyClick(focused(), Qt::Key_Delete);
        else
            type(pressure);
        click(ctl("cmdSolve"));
        QCOMPARE(rec().messages.size(), std::size_t(1));
        QCOMPARE(rec().messages[0].text, QStringLiteral("Invalid or Incorrect Pressure"));
        QCOMPARE(rec().messages[0].title, QStringLiteral("Pressure ERROR"));
        QCOMPARE(focused(), box("txtPress"));
        QCOMPARE(box("txtPress")->text(), pressure);
        // Nothing computed: the grid and what it was solved from stay.
        QCOMPARE(gridTexts(), grid);
        QCOMPARE(w_->solvedCase()->pressureText, std::string("1"));
    }

    void solveReleasesRowsWithoutAFraction() {
        choose("n-Butane");
        tab();
        type("0.5");
        tab();
        choose("Methane");  // chosen, but its fraction box is never entered
        click(ctl("cmdSolve"));
        QCOMPARE(rec().messages.size(), std::size_t(1));
        QCOMPARE(rec().messages[0].title, QStringLiteral("Mixture ERROR"));
        QCOMPARE(cmb(1)->currentIndex(), -1);
        QCOMPARE(cmb(0)->currentText(), QStringLiteral("n-Butane"));
    }

    void aClickOnSolveCannotPassABadTemperature() {
        enterMixture({"n-Butane", "Methane"}, {"0.5", "0.5"});
        enterConditions("26.85", "1");
        click(box("txtTemp"));
        QTest::keyClick(focused(), Qt::Key_A, Qt::ControlModifier);
        type("abc");
        click(ctl("cmdSolve"));
        QCOMPARE(rec().messages.size(), std::size_t(1));
        QCOMPARE(rec().messages[0].text, QStringLiteral("State Temperature NOT Specified"));
        QCOMPARE(focused(), box("txtTemp"));
        QVERIFY(!ctl<QPushButton>("cmdSolve")->isDown());
        for (const QString& g : gridTexts()) QVERIFY2(g.endsWith("="), qPrintable(g));
    }

    void missingConstantsMarkTheirCells() {
        choose("Nullomega");
        tab();
        tab();
        enterConditions("26.85", "1");
        pressSolve();
        QVERIFY(rec().messages.empty());
        const QColor lightRed(224, 160, 160);
        const QColor noK1 = zolvant::ui::colourFromNumber(11579632);
        const QColor plain = baseOf(box("txtLiqVDW_0"));
        for (const char* eq : {"PR", "SRK"}) {
            QCOMPARE(baseOf(box(QStringLiteral("txtVap%1_0").arg(eq))), lightRed);
            QCOMPARE(baseOf(box(QStringLiteral("txtZ%1_0").arg(eq))), lightRed);
            QCOMPARE(baseOf(box(QStringLiteral("txtLiq%1_0").arg(eq))), plain);
        }
        for (const char* eq : {"PRSV1", "PRSV2"}) {
            QCOMPARE(baseOf(box(QStringLiteral("txtVap%1_0").arg(eq))), noK1);
            QCOMPARE(baseOf(box(QStringLiteral("txtZ%1_0").arg(eq))), noK1);
        }
        QCOMPARE(baseOf(box("txtVapRK_0")), plain);

        // Clear keeps the colours; the next solve with complete constants
        // gives the cells their plain background back.
        click(ctl("cmdClrComp"));
        QCOMPARE(baseOf(box("txtVapPR_0")), lightRed);
        click(cmb(0));
        choose("n-Butane");
        tab();
        tab();
        enterConditions("26.85", "1");
        pressSolve();
        QCOMPARE(baseOf(box("txtVapPR_0")), plain);
        QCOMPARE(baseOf(box("txtZPRSV2_0")), plain);
    }

    void realMessageBoxesTriggerNoFurtherCheck() {
        zolvant::ui::setServices(nullptr);  // real, modal Qt boxes from here on
        QStringList shown;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown << box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        closer.start(20);

        tab();
        tab();  // into box 1 with box 0 empty
        QTRY_COMPARE(focused(), cmb(0));
        QTest::qWait(100);
        QCOMPARE(shown, QStringList{"Component in PRIOR Box must be Chosen"});
        QCOMPARE(focused(), cmb(0));

        click(box("txtTemp"));
        type("abc");
        tab();
        QTRY_COMPARE(focused(), box("txtTemp"));
        QTest::qWait(100);
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[1], QStringLiteral("State Temperature NOT Specified"));
        QCOMPARE(focused(), box("txtTemp"));
        QCOMPARE(box("txtTemp")->text(), QString());
        closer.stop();
        zolvant::ui::setServices(&rec());
    }


    void navigationButtonsOpenOneOwnerlessWindowEach() {
        for (int i = 0; i < 2; ++i) {
            click(ctl<QPushButton>("cmdInstruct"));
            click(ctl<QPushButton>("cmdDataForm"));
            click(ctl<QPushButton>("cmdCompList"));
        }
        QCOMPARE(openWindows<zolvant::ui::frmZolvInstruct>().size(), 1);
        QCOMPARE(openWindows<zolvant::ui::frmInfoEOS>().size(), 1);
        QCOMPARE(openWindows<zolvant::ui::frmCritConst2>().size(), 1);
        for (QWidget* t : {static_cast<QWidget*>(openWindows<zolvant::ui::frmZolvInstruct>()[0]),
                           static_cast<QWidget*>(openWindows<zolvant::ui::frmInfoEOS>()[0]),
                           static_cast<QWidget*>(openWindows<zolvant::ui::frmCritConst2>()[0])}) {
            QVERIFY(!t->parentWidget());
            QVERIFY(!t->isModal());
        }
        // Closing the main window closes them all.
        QVERIFY(w_->close());
        QTRY_VERIFY(openWindows<zolvant::ui::frmInfoEOS>().isEmpty());
        QTRY_VERIFY(openWindows<zolvant::ui::frmCritConst2>().isEmpty());
        QTRY_VERIFY(openWindows<zolvant::ui::frmZolvInstruct>().isEmpty());
    }

    void informationWindowStaysOpenWhileSolving() {
        click(ctl<QPushButton>("cmdDataForm"));
        QCOMPARE(openWindows<zolvant::ui::frmInfoEOS>().size(), 1);
        w_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w_.get()));
        click(cmb(0));
        QTest::keyClick(cmb(0)->view(), Qt::Key_Escape);  // close the list the click opened
        QCOMPARE(focused(), cmb(0));
        enterWorkedExample();
        QCOMPARE(box("txtVapVDW_4")->text(), QStringLiteral("24693.5"));
        QCOMPARE(openWindows<zolvant::ui::frmInfoEOS>().size(), 1);
        QVERIFY(rec().messages.empty());
    }

    void componentAddedInTheEditorIsListedAtTheNextEntry() {
        choose("n-Butane");
        tab();
        click(ctl<QPushButton>("cmdCompList"));
        auto* ed = openWindows<zolvant::ui::frmCritConst2>().value(0);
        QVERIFY(ed);
        auto* add = ed->findChild<QPushButton*>("cmdAdd");
        QTest::mouseClick(add, Qt::LeftButton);
        QTest::keyClicks(ed->findChild<QLineEdit*>("txtCompound"), "Acetone");
        QTest::keyClicks(ed->findChild<QLineEdit*>("txtTcrit"), "508.1");
        QTest::keyClicks(ed->findChild<QLineEdit*>("txtPcrit"), "47.01");
        QTest::mouseClick(ed->findChild<QPushButton*>("cmdUpdate"), Qt::LeftButton);
        QVERIFY(!ed->addMode());
        QVERIFY(rec().messages.empty());

        w_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w_.get()));
        QCOMPARE(focused(), ctl<QPushButton>("cmdCompList"));
        click(cmb(0));
        QTest::keyClick(cmb(0)->view(), Qt::Key_Escape);  // close the list the click opened
        QCOMPARE(focused(), cmb(0));
        QCOMPARE(cmb(0)->itemText(0), QStringLiteral("Acetone"));
        QCOMPARE(cmb(0)->currentText(), QStringLiteral("n-Butane"));
        QCOMPARE(cmb(0)->currentIndex(), 2);
        ed->close();
    }

    void startUpOverAnEmptyDatabase() {
        w_.reset();
        const QString path = tmp_.filePath(QStringLiteral("Empty.mdb"));
        zolvant::db::Database::CreateDatabase(path.toStdString())->Close();
        zolvant::db::writeDbPath(path);
        openWindow();
        QVERIFY(w_->hasComponentRecordset());
        QVERIFY(rec().messages.empty());
        QCOMPARE(focused(), cmb(0));
        QCOMPARE(cmb(0)->count(), 0);
        tab();
        QCOMPARE(focused(), mf(0));
        QCOMPARE(w_->mixture().constant(0, zolvant::Tc), 0.0f);
    }

    void startUpAbandonedWhenNoDatabaseIsChosen() {
        w_.reset();
        zolvant::db::writeDbPath(tmp_.filePath("missing/Components.mdb"));
        rec().clear();
        frmZolvMain window;
        window.Form_Load();
        QVERIFY(window.abandoned());
        QVERIFY(!window.loaded());
        QVERIFY(!rec().messages.empty());
        QCOMPARE(rec().messages[0].title, QStringLiteral("Database Path ERROR"));
        QVERIFY(rec().openDialogs >= 1);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_frmZolvMain.moc"
