#pragma once
// Drives the main window as a user does: Tab presses, typed text and clicks,
// and finds its controls by name. Shared by the main window's test programs.

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "db/components_csv.h"
#include "db/settings.h"
#include "ui/main/frmZolvMain.h"

// A control of the window by its name; a missing one ends the test program.
template <typename T = QWidget>
T* findControl(QWidget* window, const QString& name) {
    T* c = window->findChild<T*>(name);
    if (!c) qFatal("no control %s", qPrintable(name));
    return c;
}

class MainWindowDriver {
protected:
    std::unique_ptr<zolvant::ui::frmZolvMain> w_;

    template <typename T = QWidget>
    T* ctl(const QString& name) {
        return findControl<T>(w_.get(), name);
    }
    QComboBox* cmb(int i) { return ctl<QComboBox>(QStringLiteral("cmbComp_%1").arg(i)); }
    QLineEdit* mf(int i) { return ctl<QLineEdit>(QStringLiteral("txtCmpMF_%1").arg(i)); }
    QLineEdit* box(const QString& name) { return ctl<QLineEdit>(name); }

    static QWidget* focused() { return QApplication::focusWidget(); }
    static void tab() { QTest::keyClick(focused(), Qt::Key_Tab); }
    static void backtab() { QTest::keyClick(focused(), Qt::Key_Backtab); }
    static void type(const QString& text) { QTest::keyClicks(focused(), text); }
    // A click, and whatever the window does before the user's next action.
    static void click(QWidget* w) {
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(w->width() / 2, w->height() / 2));
        QCoreApplication::processEvents();
    }

    // Picks a name in the focused component box with the arrow keys.
    void choose(const QString& name) {
        auto* b = qobject_cast<QComboBox*>(focused());
        QVERIFY2(b, "a component box must have the focus");
        const int target = b->findText(name);
        QVERIFY2(target >= 0, qPrintable(name));
        while (b->currentIndex() < target) QTest::keyClick(b, Qt::Key_Down);
        while (b->currentIndex() > target) QTest::keyClick(b, Qt::Key_Up);
        QCOMPARE(b->currentText(), name);
    }

    // Creates the window over the database DBPath names, shows it and waits
    // until it is active, as at program start.
    void openWindow() {
        w_ = std::make_unique<zolvant::ui::frmZolvMain>();
        w_->Form_Load();
        QVERIFY(w_->loaded());
        w_->show();
        w_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w_.get()));
    }
};

// Picks `name` in the focused combo box with the arrow keys.
inline void chooseInFocusedBox(const QString& name) {
    auto* b = qobject_cast<QComboBox*>(QApplication::focusWidget());
    QVERIFY2(b, "a component box must have the focus");
    const int target = b->findText(name);
    QVERIFY2(target >= 0, qPrintable(name));
    while (b->currentIndex() < target) QTest::keyClick(b, Qt::Key_Down);
    while (b->currentIndex() > target) QTest::keyClick(b, Qt::Key_Up);
}

// Types n-butane and methane, 0.5 each, at 26.85 °C and 1 bar into `form`
// from its first component box, then presses Solve.
inline void solveWorkedExampleIn(zolvant::ui::frmZolvMain* form) {
    const auto tab = [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); };
    const auto type = [](const char* t) { QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(t)); };
    QCOMPARE(QApplication::focusWidget(), findControl(form, QStringLiteral("cmbComp_0")));
    chooseInFocusedBox(QStringLiteral("n-Butane"));
    tab();
    type("0.5");
    tab();
    chooseInFocusedBox(QStringLiteral("Methane"));
    tab();
    type("0.5");
    tab();
    QTest::mouseClick(findControl(form, QStringLiteral("txtTemp")), Qt::LeftButton);
    type("26.85");
    tab();
    type("1");
    tab();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QVERIFY(form->solvedCase().has_value());
}

// Settings kept in `dir`, and a seed database built from the CSV at `csv`
// where the program's folder is taken to be (prefix/bin), the user's copy
// to come under data/.
inline void useSeedDatabaseIn(const QTemporaryDir& dir, const char* csv) {
    QVERIFY(dir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath(QStringLiteral("config")));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("prefix/bin"))));
    const QString seed = dir.filePath(QStringLiteral("prefix/bin/Components.mdb"));
    zolvant::db::createDatabaseFromCsv(QFile::encodeName(seed).toStdString(), csv);
    zolvant::db::setProgramFolderOverride(dir.filePath(QStringLiteral("prefix/bin")));
    zolvant::db::setDefaultDbPathOverride(dir.filePath(QStringLiteral("data/Components.mdb")));
}
