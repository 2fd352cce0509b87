// Under a dark desktop theme (a dark application palette set before any
// window is made) the windows whose looks are fixed keep their light
// palette: every visible label, box and text browser has a text/background
// contrast of at least 4.5 (WCAG), colour marks included. Menus, the menu
// bar and message boxes follow the desktop theme.

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>
#include <cmath>
#include <map>
#include <memory>

#include "db/components_csv.h"
#include "db/settings.h"
#include "ui/common/palette.h"
#include "testsupport/recording_services.h"
#include "ui/editor/editor_window.h"
#include "ui/editor/frmCritConst2.h"
#include "ui/help/frmFig.h"
#include "ui/help/frmInfoEOS.h"
#include "ui/help/frmZolvInstruct.h"
#include "ui/help/help_windows.h"
#include "ui/main/frmZolvMain.h"
#include "ui/main/main_window.h"

namespace {

QPalette darkPalette() {
    QPalette p;
    const QColor window(53, 53, 53), base(36, 36, 36), text(238, 238, 236);
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(g, QPalette::Window, window);
        p.setColor(g, QPalette::WindowText, text);
        p.setColor(g, QPalette::Base, base);
        p.setColor(g, QPalette::AlternateBase, window);
        p.setColor(g, QPalette::Text, text);
        p.setColor(g, QPalette::Button, window);
        p.setColor(g, QPalette::ButtonText, text);
        p.setColor(g, QPalette::Highlight, QColor(21, 83, 158));
        p.setColor(g, QPalette::HighlightedText, Qt::white);
        p.setColor(g, QPalette::ToolTipBase, base);
        p.setColor(g, QPalette::ToolTipText, text);
        p.setColor(g, QPalette::PlaceholderText, QColor(150, 150, 150));
    }
    return p;
}

double luminance(QColor c) {
    const auto channel = [](double v) {
        v /= 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double contrast(QColor a, QColor b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour covering most of a rectangle of the window's picture: the
// background behind a control's text.
QColor dominantColour(const QImage& image, QRect r) {
    std::map<QRgb, int> counts;
    r = r.adjusted(2, 2, -2, -2).intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) ++counts[image.pixel(x, y) | 0xff000000u];
    QRgb best = 0;
    int most = -1;
    for (const auto& [rgb, n] : counts)
        if (n > most) best = rgb, most = n;
    return QColor::fromRgb(best);
}

// Every visible label, box and text browser of a window.
QStringList poorContrasts(QWidget* window) {
    QStringList poor;
    const QImage image = window->grab().toImage();
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || w->width() < 6 || w->height() < 6) continue;
        QColor text;
        if (auto* l = qobject_cast<QLabel*>(w)) {
            if (l->text().trimmed().isEmpty()) continue;
            text = l->palette().color(l->foregroundRole());
        } else if (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w)) {
            text = w->palette().color(QPalette::Text);
            if (auto* c = qobject_cast<QComboBox*>(w); c && !c->isEditable()) text = w->palette().color(QPalette::ButtonText);
        } else if (auto* b = qobject_cast<QTextBrowser*>(w)) {
            text = b->palette().color(QPalette::Text);
            w = b->viewport();
        } else if (qobject_cast<QPushButton*>(w) || (qobject_cast<QCheckBox*>(w) && !static_cast<QCheckBox*>(w)->text().isEmpty())) {
            text = w->palette().color(QPalette::ButtonText);
        } else {
            continue;
        }
        const QRect r(w->mapTo(window, QPoint(0, 0)), w->size());
        const QColor back = dominantColour(image, r);
        const double ratio = contrast(text, back);
        if (ratio < 4.5)
            poor << QStringLiteral("%1 %2: text %3 on %4, %5:1")
                        .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName(), text.name(), back.name())
                        .arg(ratio, 0, 'f', 2);
    }
    return poor;
}

}  // namespace

class TestDarkTheme : public QObject {
    Q_OBJECT
    QTemporaryDir tmp_;
    std::unique_ptr<zolvant::ui::ScopedRecordingServices> services_;
    QPalette desktop_;

private slots:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        // As a dark desktop theme sets it, before any window exists. With
        // ZOLVANT_DESKTOP_THEME set, the platform theme's own palette is
        // taken instead (QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark).
        if (qEnvironmentVariableIsEmpty("ZOLVANT_DESKTOP_THEME")) {
            // Without a desktop theme Qt's palette is the one the windows
            // were designed under.
            const QPalette plain = QApplication::palette();
            for (QPalette::ColorRole role : {QPalette::Window, QPalette::WindowText, QPalette::Base, QPalette::Text,
                                             QPalette::Button, QPalette::ButtonText, QPalette::Highlight,
                                             QPalette::HighlightedText, QPalette::Mid, QPalette::Dark, QPalette::Light})
                QCOMPARE(zolvant::ui::designedPalette().color(role).rgba(), plain.color(role).rgba());
            QApplication::setPalette(darkPalette());
        }
        desktop_ = QApplication::palette();
        QVERIFY2(desktop_.color(QPalette::Window).lightness() < 100, "the desktop palette is not dark");
        zolvant::ui::keepDesignedLooks();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, tmp_.path());
        const QString db = tmp_.filePath(QStringLiteral("Components.mdb"));
        zolvant::db::createDatabaseFromCsv(QFile::encodeName(db).toStdString(), ZOLVANT_DATA_DIR "/components.csv");
        zolvant::db::writeDbPath(db);
        services_ = std::make_unique<zolvant::ui::ScopedRecordingServices>();
    }

    void theMainWindowReadsAsUnderALightTheme() {
        zolvant::ui::MainWindow w;
        w.Form_Load();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        // A component without K1: the PRSV results carry their colour mark.
        zolvant::ui::frmZolvMain* form = w.form();
        auto* box = form->findChild<QComboBox*>(QStringLiteral("cmbComp_0"));
        QCOMPARE(QApplication::focusWidget(), box);
        const int propylene = box->findText(QStringLiteral("Propylene"));
        QVERIFY(propylene >= 0);
        while (box->currentIndex() < propylene) QTest::keyClick(box, Qt::Key_Down);
        QTest::keyClick(box, Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1"));
        auto* temp = form->findChild<QLineEdit*>(QStringLiteral("txtTemp"));
        QTest::mouseClick(temp, Qt::LeftButton);
        QTest::keyClicks(temp, QStringLiteral("25"));
        QTest::keyClick(temp, Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(services_->rec.messages.empty());
        const QColor mark = form->resultColumn(4, zolvant::Column::Z)[0]->palette().color(QPalette::Base);
        QCOMPARE(mark, QColor(0xf0, 0xb0, 0xb0));  // 11579632, the mark of a missing K1
        QTest::qWait(20);
        const QStringList poor = poorContrasts(form);
        QVERIFY2(poor.isEmpty(), qPrintable(poor.join('\n')));
        // The menu bar follows the desktop theme.
        QCOMPARE(w.menuBar()->palette().color(QPalette::Window), desktop_.color(QPalette::Window));
        QCOMPARE(form->palette().color(QPalette::WindowText), zolvant::ui::designedPalette().color(QPalette::WindowText));
        if (const QString dir = qEnvironmentVariable("ZOLVANT_SCREENSHOT_DIR"); !dir.isEmpty())
            QVERIFY(w.grab().save(dir + QStringLiteral("/dark-main.png")));
    }

    void theEditorAndTheHelpWindowsReadAsUnderALightTheme() {
        zolvant::ui::showComponentEditor();
        auto* editor = zolvant::ui::currentComponentEditor();
        QVERIFY(editor);
        const QList<QWidget*> windows{editor,
                                      zolvant::ui::showInstructions(),
                                      zolvant::ui::showInformation(),
                                      zolvant::ui::showFigure1(),
                                      zolvant::ui::showFigure2(),
                                      zolvant::ui::showFigure3()};
        QTest::qWait(20);
        for (QWidget* window : windows) {
            const QStringList poor = poorContrasts(window);
            QVERIFY2(poor.isEmpty(), qPrintable(window->objectName() + ":\n" + poor.join('\n')));
            if (const QString dir = qEnvironmentVariable("ZOLVANT_SCREENSHOT_DIR"); !dir.isEmpty())
                QVERIFY(window->grab().save(dir + QStringLiteral("/dark-%1.png").arg(window->objectName())));
        }
        // A message box follows the desktop theme.
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("t"), QStringLiteral("x"), QMessageBox::Ok, windows[0]);
        QCOMPARE(box.palette().color(QPalette::Window), desktop_.color(QPalette::Window));
        editor->close();
        zolvant::ui::closeHelpWindows();
    }
};

QTEST_MAIN(TestDarkTheme)
#include "tst_dark_theme.moc"
