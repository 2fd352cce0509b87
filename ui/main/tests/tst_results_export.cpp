// Copy Results and Save Results As… of the main window, driven as a user
// drives them (keyboard, shortcuts, right clicks and context menus) against
// a small component database in a temporary folder.

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <functional>
#include <memory>

#include "db/database.h"
#include "db/settings.h"
#include "testsupport/recording_services.h"
#include "testsupport/window_driver.h"
#include "ui/common/services.h"
#include "ui/main/frmZolvMain.h"
#include "report/results_table.h"

using zolvant::ui::frmZolvMain;
using zolvant::ui::RecordingServices;

namespace {

struct Record {
    const char* name;
    double tc, pc, omega, k1;
};
const Record kRecords[] = {
    {"n-Butane", 425.1, 37.96, 0.2, 0.03443},
    {"Methane", 190.6, 45.99, 0.011, -0.00159},
};

void addRecord(zolvant::db::Database& db, const Record& r) {
    auto rs = db.OpenRecordset("tblComps");
    rs->AddNew();
    rs->SetField("Component", r.name);
    const auto set = [&](const char* field, double v) { rs->SetField(field, QString::number(v, 'g', 17).toStdString()); };
    set("CritTemp", r.tc);
    set("CritPress", r.pc);
    set("AcentricF", r.omega);
    set("K1", r.k1);
    rs->Update();
    rs->Close();
}

using Rows = QList<QStringList>;

// The worked example (n-butane-like 0.5, methane-like 0.5, 26.85 °C, 1 bar)
// as the copied table holds it: inputs, then the six blocks.
Rows workedExampleRows() {
    const QStringList blank{"", "", "", ""};
    Rows rows = {
        {"Component", "Mole Fraction", "", ""},
        {"n-Butane", "0.500", "", ""},
        {"Methane", "0.500", "", ""},
        blank,
        {"Temperature (C)", "Temperature (K)", "Pressure (bar)", ""},
        {"26.85", "300", "1", ""},
    };
    struct Block {
        const char* name;
        QStringList butane, methane, mixture;
    };
    const Block blocks[] = {
        {"Van der Waals", {"165.47", "24494.3", "0.9821"}, {"NA - Tc", "24892.7", "0.9980"}, {"165.47", "24693.5", "0.9900"}},
        {"Redlich-Kwong", {"113.40", "24339.3", "0.9758"}, {"NA - Tc", "24897.3", "0.9982"}, {"113.40", "24618.3", "0.9870"}},
        {"Peng-Robinson", {"97.04", "24260.5", "0.9727"}, {"NA - Tc", "24887.8", "0.9978"}, {"97.04", "24574.1", "0.9853"}},
        {"Soave-Redlich-Kwong", {"109.91", "24293.1", "0.9740"}, {"NA - Tc", "24900.7", "0.9983"}, {"109.91", "24596.9", "0.9862"}},
        {"PR-Stryjek-Vera 1", {"97.08", "24261.1", "0.9727"}, {"NA - Tc", "24888.1", "0.9978"}, {"97.08", "24574.6", "0.9853"}},
        {"PR-Stryjek-Vera 2", {"97.08", "24261.1", "0.9727"}, {"NA - Tc", "24888.1", "0.9978"}, {"97.08", "24574.6", "0.9853"}},
    };
    for (const Block& b : blocks) {
        rows << blank;
        rows << QStringList{b.name, "Liquid (cm3/mol)", "Vapor (cm3/mol)", "Z"};
        rows << QStringList{"n-Butane"} + b.butane;
        rows << QStringList{"Methane"} + b.methane;
        rows << QStringList{"Mixture"} + b.mixture;
    }
    return rows;
}

// A strict RFC 4180 reader: quoted fields may hold commas, doubled quotes
// and line breaks; every record ends with CRLF. Fails the test on anything
// else.
Rows readCsv(const QByteArray& bytes) {
    const QString text = QString::fromUtf8(bytes);
    Rows rows;
    QStringList record;
    QString field;
    qsizetype i = 0;
    const auto fail = [&](const char* what) {
        QTest::qFail(qPrintable(QStringLiteral("CSV: %1 at character %2").arg(QLatin1String(what)).arg(i)), __FILE__,
                     __LINE__);
        return Rows{};
    };
    while (i < text.size()) {
        if (text[i] == QLatin1Char('"')) {
            ++i;
            for (;;) {
                if (i >= text.size()) return fail("unterminated quoted field");
                if (text[i] == QLatin1Char('"')) {
                    if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                        field += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
        } else {
            while (i < text.size() && text[i] != QLatin1Char(',') && text[i] != QLatin1Char('\r') &&
                   text[i] != QLatin1Char('\n')) {
                if (text[i] == QLatin1Char('"')) return fail("quote inside an unquoted field");
                field += text[i++];
            }
        }
        if (i >= text.size()) return fail("record without CRLF");
        if (text[i] == QLatin1Char(',')) {
            record << field;
            field.clear();
            ++i;
        } else if (text[i] == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) {
            record << field;
            field.clear();
            rows << record;
            record.clear();
            i += 2;
        } else {
            return fail("line end other than CRLF");
        }
    }
    return rows;
}

Rows splitTabbed(const QString& text) {
    Rows rows;
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (const QString& line : lines) rows << line.split(QLatin1Char('\t'));
    return rows;
}

void compareRows(const Rows& actual, const Rows& expected) {
    for (qsizetype r = 0; r < std::min(actual.size(), expected.size()); ++r) {
        QCOMPARE(actual[r].size(), expected[r].size());
        for (qsizetype c = 0; c < expected[r].size(); ++c)
            QVERIFY2(actual[r][c] == expected[r][c],
                     qPrintable(QStringLiteral("row %1, column %2: '%3', expected '%4'")
                                    .arg(r + 1)
                                    .arg(c + 1)
                                    .arg(actual[r][c], expected[r][c])));
    }
    QCOMPARE(actual.size(), expected.size());
}

QStringList entryTexts(const QMenu* menu) {
    QStringList out;
    for (const QAction* a : menu->actions())
        if (!a->isSeparator()) out << a->text();
    return out;
}

}  // namespace

class TestResultsExport : public QObject, protected MainWindowDriver {
    Q_OBJECT

private:
    QTemporaryDir tmp_;
    int dbCount_ = 0;
    std::unique_ptr<zolvant::ui::ScopedRecordingServices> services_;

    RecordingServices& rec() { return services_->rec; }

    QAction* copyAction() { return ctl<QAction>("actCopyResults"); }
    QAction* saveAction() { return ctl<QAction>("actSaveResultsAs"); }

    static void copyShortcut() { QTest::keyClick(focused(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier); }
    static void saveShortcut() { QTest::keyClick(focused(), Qt::Key_S, Qt::ControlModifier); }

    // A right click as the window system delivers it (through the window,
    // so that the press gives focus and opens the context menu as a real
    // one does). `onMenu` sees the menu that opens; the menu is closed
    // afterwards unless onMenu chose an entry. Returns whether a menu opened.
    bool rightClick(QWidget* w, const std::function<void(QMenu*)>& onMenu, QPoint at = QPoint(-1, -1)) {
        if (at == QPoint(-1, -1)) at = QPoint(w->width() / 2, w->height() / 2);
        bool opened = false;
        QTimer watcher;
        watcher.setInterval(10);
        connect(&watcher, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu) return;
            watcher.stop();
            opened = true;
            onMenu(menu);
            if (menu->isVisible()) menu->close();
        });
        watcher.start();
        QTest::mouseClick(w_->windowHandle(), Qt::RightButton, Qt::NoModifier, w->mapTo(w_.get(), at));
        QCoreApplication::processEvents();
        return opened;
    }
    using MainWindowDriver::choose;
    static void choose(QMenu* menu, const QString& entry) {
        for (QAction* a : menu->actions())
            if (a->text() == entry) {
                menu->setActiveAction(a);
                QTest::keyClick(menu, Qt::Key_Return);
                return;
            }
        QFAIL(qPrintable(QStringLiteral("no entry %1").arg(entry)));
    }

    // From the start-up focus, from the keyboard: components and fractions,
    // a click into the temperature box, temperature, pressure, Solve.
    void solveWorkedExample() {
        const std::size_t messagesBefore = rec().messages.size();
        if (focused() != cmb(0)) click(cmb(0));
        if (auto* popup = QApplication::activePopupWidget()) QTest::keyClick(popup, Qt::Key_Escape);
        const QStringList names{"n-Butane", "Methane"};
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(focused(), cmb(i));
            choose(names[i]);
            tab();
            type("0.5");
            tab();
        }
        click(box("txtTemp"));
        QTest::keyClick(focused(), Qt::Key_A, Qt::ControlModifier);
        type("26.85");
        tab();
        type("1");
        tab();
        QCOMPARE(focused(), ctl<QPushButton>("cmdSolve"));
        QTest::keyClick(focused(), Qt::Key_Space);
        QCOMPARE(rec().messages.size(), messagesBefore);
    }

    static QString clipboardText() { return QGuiApplication::clipboard()->text(); }
    static void setClipboard(const QString& s) { QGuiApplication::clipboard()->setText(s); }

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
        zolvant::db::writeDbPath(freshDatabase());
        openWindow();
        QCOMPARE(focused(), cmb(0));
    }

    void cleanup() {
        w_.reset();
        services_.reset();
    }

    void copyResultsPutsInputsAndGridOnTheClipboard() {
        solveWorkedExample();
        QVERIFY(copyAction()->isEnabled());
        setClipboard(QStringLiteral("before"));
        copyShortcut();
        compareRows(splitTabbed(clipboardText()), workedExampleRows());

        const QString html = QGuiApplication::clipboard()->mimeData()->html();
        QVERIFY(html.contains(QStringLiteral("<table")));
        QVERIFY(html.contains(QStringLiteral("<th>PR-Stryjek-Vera 2</th>")));
        QVERIFY(html.contains(QStringLiteral("<td>Methane</td><td>NA - Tc</td><td>24892.7</td><td>0.9980</td>")));
        QCOMPARE(html.count(QStringLiteral("<tr>")), workedExampleRows().size());

        // The texts come from the boxes as they stand, not from a second
        // computation.
        box("txtZPRSV2_4")->setText(QStringLiteral("0.1234"));
        copyShortcut();
        QCOMPARE(splitTabbed(clipboardText()).last(), (QStringList{"Mixture", "97.08", "24574.6", "0.1234"}));
    }

    void rowsInUseOnly() {
        // One component: its row in every block, and no mixture row.
        choose("Methane");
        tab();
        tab();  // the proposal, 1
        click(box("txtTemp"));
        type("-170");
        tab();
        type("2");
        tab();
        QTest::keyClick(focused(), Qt::Key_Space);
        QVERIFY(rec().messages.empty());
        copyShortcut();
        Rows rows = splitTabbed(clipboardText());
        QCOMPARE(rows.size(), 3 + 2 + 6 * 3);
        QCOMPARE(rows[1], (QStringList{"Methane", "1.000", "", ""}));
        QCOMPARE(rows[4], (QStringList{"-170", "103.15", "2", ""}));
        QCOMPARE(rows[6][0], QStringLiteral("Van der Waals"));
        QCOMPARE(rows[7][0], QStringLiteral("Methane"));
        QCOMPARE(rows[7].mid(1), (QStringList{box("txtLiqVDW_0")->text(), box("txtVapVDW_0")->text(),
                                               box("txtZVDW_0")->text()}));
        for (const QStringList& r : rows) QVERIFY(r[0] != QStringLiteral("Mixture"));

        // A row released by a zero fraction keeps its place, named by its
        // position as its caption is empty.
        click(ctl("cmdClrComp"));
        click(cmb(0));
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        for (int i = 0; i < 3; ++i) {
            choose(i == 1 ? "Methane" : "n-Butane");
            tab();
            type(i == 1 ? "0.2" : "0.5");
            tab();
        }
        click(mf(1));
        type("0");
        click(box("txtTemp"));
        type("26.85");
        tab();
        type("1");
        tab();
        QTest::keyClick(focused(), Qt::Key_Space);
        QVERIFY(rec().messages.empty());
        copyShortcut();
        rows = splitTabbed(clipboardText());
        QCOMPARE(rows.mid(1, 3), (Rows{{"n-Butane", "0.500", "", ""}, {"Component 2", "0.000", "", ""},
                                      {"n-Butane", "0.500", "", ""}}));
        QCOMPARE(rows[10][0], QStringLiteral("Component 2"));
        QCOMPARE(rows[12][0], QStringLiteral("Mixture"));
    }

    void theEntriesFollowTheGrid() {
        // At start the grid holds nothing.
        QVERIFY(!copyAction()->isEnabled());
        QVERIFY(!saveAction()->isEnabled());
        setClipboard(QStringLiteral("before"));
        copyShortcut();
        QCOMPARE(clipboardText(), QStringLiteral("before"));

        solveWorkedExample();
        QVERIFY(copyAction()->isEnabled());
        QVERIFY(saveAction()->isEnabled());

        // A refused Solve leaves the grid, and what is copied, as they were:
        // the inputs are those of the accepted Solve.
        click(mf(1));
        type("0.4");
        click(ctl("cmdSolve"));
        QCOMPARE(rec().messages.size(), std::size_t(1));
        QCOMPARE(rec().messages[0].title, QStringLiteral("Mixture ERROR"));
        QVERIFY(copyAction()->isEnabled());
        copyShortcut();
        compareRows(splitTabbed(clipboardText()), workedExampleRows());

        // Clear empties the grid: nothing to copy or save until the next Solve.
        click(ctl("cmdClrComp"));
        QVERIFY(!copyAction()->isEnabled());
        QVERIFY(!saveAction()->isEnabled());
        QStringList entries;
        bool copyEnabled = true, saveEnabled = true;
        QVERIFY(rightClick(box("txtVapVDW_0"), [&](QMenu* menu) {
            entries = entryTexts(menu);
            for (QAction* a : menu->actions()) {
                if (a->text() == QStringLiteral("Copy Results")) copyEnabled = a->isEnabled();
                if (a->text() == QStringLiteral("Save Results As\u2026")) saveEnabled = a->isEnabled();
            }
        }));
        QVERIFY(entries.contains(QStringLiteral("Copy Results")));
        QVERIFY(!copyEnabled);
        QVERIFY(!saveEnabled);
        setClipboard(QStringLiteral("before"));
        copyShortcut();
        saveShortcut();
        QCOMPARE(clipboardText(), QStringLiteral("before"));
        QCOMPARE(rec().saveDialogs, 0);

        solveWorkedExample();
        QVERIFY(copyAction()->isEnabled());
    }

    void rightClickOnAResultBoxRunsNoCheck() {
        solveWorkedExample();
        click(box("txtTemp"));
        QTest::keyClick(focused(), Qt::Key_A, Qt::ControlModifier);
        type("abc");
        setClipboard(QStringLiteral("before"));

        QStringList entries;
        const bool opened = rightClick(box("txtVapRK_0"), [&](QMenu* menu) {
            entries = entryTexts(menu);
            if (const QString path = qEnvironmentVariable("ZOLVANT_MENU_SCREENSHOT"); !path.isEmpty()) {
                QTest::qWait(100);
                const QRect area = w_->frameGeometry().united(menu->geometry());
                QVERIFY(w_->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).save(path));
            }
            choose(menu, QStringLiteral("Copy Results"));
        });
        QVERIFY(opened);
        // The box's own entries, then the two of the window.
        QVERIFY2(entries.size() > 2, qPrintable(entries.join(", ")));
        QCOMPARE(entries.mid(entries.size() - 2),
                 (QStringList{"Copy Results", QStringLiteral("Save Results As\u2026")}));
        QVERIFY(entries.first().startsWith(QStringLiteral("&Copy")));
        // No check ran: the temperature box keeps the focus and its text.
        QVERIFY(rec().messages.empty());
        QCOMPARE(focused(), box("txtTemp"));
        QCOMPARE(box("txtTemp")->text(), QStringLiteral("abc"));
        compareRows(splitTabbed(clipboardText()), workedExampleRows());

        // Neither does the shortcut.
        setClipboard(QStringLiteral("before"));
        copyShortcut();
        QVERIFY(rec().messages.empty());
        QCOMPARE(focused(), box("txtTemp"));
        compareRows(splitTabbed(clipboardText()), workedExampleRows());

        // A left click on the same box is a move of the focus: the check runs.
        click(box("txtVapRK_0"));
        QCOMPARE(rec().messages.size(), std::size_t(1));
        QCOMPARE(rec().messages[0].title, QStringLiteral("Temperature ERROR"));
        QCOMPARE(focused(), box("txtTemp"));
    }

    void theBackgroundHasTheMenuTooAndControlsKeepTheirs() {
        solveWorkedExample();
        QStringList entries;
        QVERIFY(rightClick(ctl("lblEOS_4"), [&](QMenu* menu) { entries = entryTexts(menu); }));
        QCOMPARE(entries, (QStringList{"Copy Results", QStringLiteral("Save Results As\u2026")}));
        entries.clear();
        // A bare spot between the upper right buttons.
        QVERIFY(rightClick(w_.get(), [&](QMenu* menu) { entries = entryTexts(menu); }, QPoint(640, 80)));
        QCOMPARE(entries.size(), 2);
        QVERIFY(!rightClick(ctl("cmdSolve"), [](QMenu*) {}));
        QVERIFY(!QApplication::activePopupWidget());
        QVERIFY(rec().messages.empty());
    }

    void saveResultsAsWritesTheCsv() {
        solveWorkedExample();
        const QString path = tmp_.filePath(QStringLiteral("worked example.csv"));
        QFile::remove(path);

        // Cancelled: nothing written.
        saveShortcut();
        QCOMPARE(rec().saveDialogs, 1);
        QVERIFY(!QFile::exists(path));

        rec().saveAnswers.push_back(path);
        saveShortcut();
        QVERIFY(rec().messages.empty());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        f.close();
        QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
        QVERIFY(bytes.startsWith("Component,Mole Fraction,,\r\n"));
        QVERIFY(bytes.contains("Temperature (C),Temperature (K),Pressure (bar),\r\n26.85,300,1,\r\n"));
        compareRows(readCsv(bytes), workedExampleRows());

        // Saved again over the same file through the window's menu: replaced whole.
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(100000, 'x'));
        f.close();
        rec().saveAnswers.push_back(path);
        QVERIFY(rightClick(ctl("lblMix_0"), [](QMenu* menu) { choose(menu, QStringLiteral("Save Results As\u2026")); }));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), bytes);
        QVERIFY(rec().messages.empty());
    }

    void anUnwritablePathLeavesNothing_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("inside a folder that does not exist") << QStringLiteral("missing/results.csv");
        QTest::newRow("a folder") << QStringLiteral("folder");
    }
    void anUnwritablePathLeavesNothing() {
        QFETCH(QString, target);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        const QString path = dir.filePath(target);
        const auto listing = [&dir] {
            QStringList all;
            QDirIterator it(dir.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) all << it.next();
            return all;
        };
        const QStringList before = listing();

        solveWorkedExample();
        rec().saveAnswers.push_back(path);
        saveShortcut();
        QCOMPARE(rec().messages.size(), std::size_t(1));
        QCOMPARE(rec().messages[0].title, QStringLiteral("Save ERROR"));
        QVERIFY2(rec().messages[0].text.contains(QDir::toNativeSeparators(path)), qPrintable(rec().messages[0].text));
        QCOMPARE(listing(), before);
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder"))).isDir());
    }

    // The renderings of a table whose fields need quoting or cleaning.
    void awkwardFieldsAreQuoted_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("csvField");
        QTest::addColumn<QString>("tabbedField");
        QTest::newRow("plain") << "Propane" << "Propane" << "Propane";
        QTest::newRow("comma") << "Oil, heavy" << "\"Oil, heavy\"" << "Oil, heavy";
        QTest::newRow("quote") << "Oil \"A\"" << "\"Oil \"\"A\"\"\"" << "Oil \"A\"";
        QTest::newRow("line break") << "Oil\r\nA" << "\"Oil\r\nA\"" << "Oil A";
        QTest::newRow("tab") << "Oil\tA" << "Oil\tA" << "Oil A";
        QTest::newRow("not ASCII") << "Ölsäure" << "Ölsäure" << "Ölsäure";
    }
    void awkwardFieldsAreQuoted() {
        QFETCH(QString, name);
        QFETCH(QString, csvField);
        QFETCH(QString, tabbedField);
        zolvant::report::ResultsTable t;
        t.inputs.components = {{name, "1.000"}};
        t.inputs.temperatureC = "25";
        t.inputs.temperatureK = "298.15";
        t.inputs.pressureBar = "1";
        t.blocks = {{"Van der Waals", {{name, {"1.00", "2.0", "0.9000"}}}}};

        const QByteArray csv = zolvant::report::resultsCsv(t);
        QVERIFY(csv.contains((csvField + ",1.000,,\r\n").toUtf8()));
        QVERIFY(csv.contains((csvField + ",1.00,2.0,0.9000\r\n").toUtf8()));
        const Rows back = readCsv(csv);
        QCOMPARE(back.size(), 8);
        QCOMPARE(back[1][0], name);
        QCOMPARE(back[7][0], name);

        const Rows tabbed = splitTabbed(zolvant::report::resultsTabSeparated(t));
        QCOMPARE(tabbed.size(), 8);
        QCOMPARE(tabbed[1][0], tabbedField);

        QVERIFY(zolvant::report::resultsHtml(t).contains(QStringLiteral("<td>%1</td>").arg(name.toHtmlEscaped())));
    }
};

QTEST_MAIN(TestResultsExport)
#include "tst_results_export.moc"
