#include "ui/main/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QtGlobal>

#include "db/access_offer.h"
#include "db/defaults.h"
#include "db/settings.h"
#include "db/startup.h"
#include "db/user_database.h"
#include "ui/common/services.h"
#include "ui/editor/editor_window.h"
#include "ui/editor/frmCritConst2.h"
#include "ui/help/help_windows.h"
#include "ui/isotherm/isotherm_window.h"
#include "ui/main/frmZolvMain.h"
#include "ui/mixture/mixture_phases_window.h"
#include "ui/main/results_commands.h"
#include "ui/main/window_dialogs.h"
#include "ui/sweep/sweep_window.h"
#include "zolvant/version.h"

namespace zolvant::ui {

namespace {

const char* const kLicence = "MIT";

bool askYesNo(QWidget* parent, const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    const bool yes = box.exec() == QMessageBox::Yes;
    if (parent) parent->window()->activateWindow();  // without a window manager nothing else would
    return yes;
}

QString samePathKey(const QString& path) {
    const QFileInfo info(path);
    return info.exists() ? info.canonicalFilePath() : QDir::cleanPath(info.absoluteFilePath());
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), confirm_(askYesNo) {
    setObjectName(QStringLiteral("MainWindow"));
    form_ = new frmZolvMain(this);
    setCentralWidget(form_);
    setWindowTitle(form_->windowTitle());
    createMenus();
    // The form keeps its fixed size; the window is the form plus the bar.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

MainWindow::~MainWindow() = default;

void MainWindow::createMenus() {
    QMenuBar* bar = menuBar();
    // The bar never takes the focus from a box by a click.
    bar->setFocusPolicy(Qt::NoFocus);

    fileMenu_ = bar->addMenu(QStringLiteral("&File"));
    openDatabase_ = fileMenu_->addAction(QStringLiteral("&Open Component Database…"), this,
                                         &MainWindow::openComponentDatabase);
    openDatabase_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    restoreDatabase_ = fileMenu_->addAction(QStringLiteral("&Restore Default Database…"), this,
                                            &MainWindow::restoreDefaultDatabase);
    importAccess_ = fileMenu_->addAction(QStringLiteral("&Import Access Database…"), this,
                                         &MainWindow::importAccessDatabase);
    importAccess_->setObjectName(QStringLiteral("actImportAccess"));
    addDefaults_ = fileMenu_->addAction(QStringLiteral("Add &Default Components\u2026"), this,
                                        &MainWindow::addDefaultComponents);
    addDefaults_->setObjectName(QStringLiteral("actAddDefaults"));
    fileAnchor_ = fileMenu_->addSeparator();
    ResultsCommands* results = form_->resultsCommands();
    fileMenu_->addAction(results->saveAction());
    fileMenu_->addSeparator();
    quit_ = fileMenu_->addAction(QStringLiteral("&Quit"), this, &QWidget::close);
    quit_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    editMenu_ = bar->addMenu(QStringLiteral("&Edit"));
    editMenu_->addAction(results->copyAction());
    editMenu_->addSeparator();
    componentList_ = editMenu_->addAction(QStringLiteral("Component &List"), this, [] { showComponentEditor(); });

    // Views of the last accepted Solve's results, each in a window of its own.
    viewMenu_ = bar->addMenu(QStringLiteral("&View"));
    isotherms_ = viewMenu_->addAction(QStringLiteral("&Isotherms\u2026"), this, [this] { showIsotherms(); });
    isotherms_->setObjectName(QStringLiteral("actIsotherms"));
    isotherms_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    isotherms_->setShortcutContext(Qt::WindowShortcut);
    // The window follows the grid: a new accepted Solve redraws it, Clear empties it.
    // The Sweep window's fixed value and status show what its next Run would start from.
    connect(form_, &frmZolvMain::solveAccepted, this, [this] {
        if (IsothermWindow* w = IsothermWindow::instance()) w->setSolved(form_->solvedCase());
        if (SweepWindow* w = SweepWindow::instance()) w->refreshSolve();
    });
    connect(form_, &frmZolvMain::resultsCleared, this, [] {
        if (IsothermWindow* w = IsothermWindow::instance()) w->setSolved(std::nullopt);
        if (SweepWindow* w = SweepWindow::instance()) w->refreshSolve();
    });
    connect(form_, &frmZolvMain::isothermsRequested, this, [this](int row) { showIsotherms(row); });
    mixturePhases_ = viewMenu_->addAction(QStringLiteral("&Mixture Phases\u2026"), this, [this] { showMixturePhases(); });
    mixturePhases_->setObjectName(QStringLiteral("actMixturePhases"));
    mixturePhases_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    mixturePhases_->setShortcutContext(Qt::WindowShortcut);
    // It follows the grid as the Isotherms window does.
    connect(form_, &frmZolvMain::solveAccepted, this, [this] {
        if (MixturePhasesWindow* w = MixturePhasesWindow::instance()) w->setSolved(form_->solvedCase(), form_->databasePath());
    });
    connect(form_, &frmZolvMain::resultsCleared, this, [] {
        if (MixturePhasesWindow* w = MixturePhasesWindow::instance()) w->setSolved(std::nullopt, {});
    });
    // A mixture cell's own menu offers the window.
    form_->resultsCommands()->addCellEntries([this](QMenu* menu, const QObject* cell) {
        const auto& solved = form_->solvedCase();
        if (!solved || solved->state.numComps < 2) return;
        bool mixtureCell = false;
        for (int b = 0; b < kBlocks; ++b)
            for (int c = 0; c < 3; ++c)
                mixtureCell = mixtureCell || form_->resultColumn(b, static_cast<Column>(c))[kMixtureRow] == cell;
        if (!mixtureCell) return;
        QAction* a = menu->addAction(QStringLiteral("Mixture Phases\u2026"));
        a->setObjectName(QStringLiteral("actMixturePhasesOfCell"));
        connect(a, &QAction::triggered, this, [this] { showMixturePhases(); });
        menu->addSeparator();
    });
    // Each Run reads the last accepted Solve again.
    viewMenu_->addAction(QStringLiteral("&Sweep\u2026"), this, [form = QPointer<frmZolvMain>(form_)] {
        SweepWindow::open([form]() -> std::optional<SolvedCase> { return form ? form->solvedCase() : std::nullopt; });
    })->setObjectName(QStringLiteral("actSweep"));

    helpMenu_ = bar->addMenu(QStringLiteral("&Help"));
    instructions_ = helpMenu_->addAction(QStringLiteral("&Instructions"), this, [] { showInstructions(); });
    instructions_->setShortcut(QKeySequence(Qt::Key_F1));
    information_ = helpMenu_->addAction(QStringLiteral("I&nformation"), this, [] { showInformation(); });
    helpMenu_->addSeparator();
    about_ = helpMenu_->addAction(QStringLiteral("&About Zolvant"), this, &MainWindow::showAbout);

    for (QAction* a : {openDatabase_, restoreDatabase_, quit_, instructions_})
        a->setShortcutContext(Qt::WindowShortcut);
    connect(fileMenu_, &QMenu::aboutToShow, this, &MainWindow::updateEntries);
}

void MainWindow::showIsotherms(int row) {
    const bool fresh = IsothermWindow::instance() == nullptr;
    IsothermWindow* w = IsothermWindow::open();
    if (fresh) w->setSolved(form_->solvedCase());
    if (row >= 0) w->showRow(row);
}

void MainWindow::showMixturePhases() {
    const bool fresh = MixturePhasesWindow::instance() == nullptr;
    MixturePhasesWindow* w = MixturePhasesWindow::open();
    if (fresh) w->setSolved(form_->solvedCase(), form_->databasePath());
}

void MainWindow::Form_Load() {
    form_->Form_Load();
    updateEntries();
    if (!form_->abandoned()) noticeNewDefaults();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The form ends the program as when it was the window itself.
    form_->close();
    event->accept();
}

bool MainWindow::usingUserCopy() const {
    const QString inUse = form_->databasePath();
    return !inUse.isEmpty() && samePathKey(inUse) == samePathKey(db::defaultDbPath());
}

void MainWindow::updateEntries() { restoreDatabase_->setEnabled(usingUserCopy()); }

void MainWindow::openComponentDatabase() {
    const QString current = form_->databasePath();
    const QString start = current.isEmpty() ? QDir::homePath() : QFileInfo(current).absolutePath();
    const QString chosen =
        services().openFileName(this, start, QStringLiteral("Component databases (*.mdb);;All files (*)"));
    if (chosen.isEmpty()) return;
    try {
        db::StartupResult opened = db::openComponents(QFile::encodeName(chosen).toStdString());
        form_->useDatabase(std::move(opened.dbComps), std::move(opened.rstComps));
    } catch (const db::DbError& e) {
        if (e.number() == db::kAccessDatabase) return offerAccessImport(chosen);
        // The database in use stays open.
        services().message(this, QString::fromStdString(e.description()), QStringLiteral("Database ERROR"));
        return;
    }
    db::writeDbPath(chosen);
    updateEntries();
    editorFollows();
}

void MainWindow::importAccessDatabase() {
    const QString current = form_->databasePath();
    const QString start = current.isEmpty() ? QDir::homePath() : QFileInfo(current).absolutePath();
    const QString chosen =
        services().openFileName(this, start, QStringLiteral("Access databases (*.mdb *.accdb);;All files (*)"));
    if (!chosen.isEmpty()) offerAccessImport(chosen);
}

void MainWindow::offerAccessImport(const QString& accessFile) {
    // Declined, cancelled or refused (its sentence shown): the database in
    // use stays open.
    WindowDialogs dialogs(this);
    const std::optional<std::string> imported = db::offerAccessImport(QFile::encodeName(accessFile).toStdString(), dialogs);
    if (!imported) return;
    const QString path = QFile::decodeName(QByteArray::fromStdString(*imported));
    try {
        db::StartupResult opened = db::openComponents(*imported);
        form_->useDatabase(std::move(opened.dbComps), std::move(opened.rstComps));
    } catch (const db::DbError& e) {
        services().message(this, QString::fromStdString(e.description()), QStringLiteral("Database ERROR"));
        return;
    }
    db::writeDbPath(path);
    updateEntries();
    editorFollows();
}

void MainWindow::restoreDefaultDatabase() {
    if (!usingUserCopy()) return;
    const QString path = db::defaultDbPath();
    const QString text =
        QStringLiteral("Replace your component database with a fresh copy of the default one?\n\n"
                       "Your database is kept as %1; an older backup there is replaced.%2")
            .arg(db::backupPathOf(path),
                 currentComponentEditor() ? QStringLiteral("\n\nThe open Component List is closed, and a change "
                                                           "not yet stored there is discarded.")
                                          : QString());
    if (!confirm_(this, text, QStringLiteral("Restore Default Database"))) return;
    if (frmCritConst2* editor = currentComponentEditor()) editor->close();
    form_->useDatabase(nullptr, nullptr);
    QString problem;
    const bool restored = db::restoreUserDatabase(&problem);
    try {
        db::StartupResult opened = db::openComponents(QFile::encodeName(path).toStdString());
        form_->useDatabase(std::move(opened.dbComps), std::move(opened.rstComps));
    } catch (const db::DbError& e) {
        problem = problem.isEmpty() ? QString::fromStdString(e.description()) : problem;
    }
    if (!restored || form_->databasePath().isEmpty())
        services().message(this, QStringLiteral("The default database could not be restored: %1").arg(problem),
                           QStringLiteral("Database ERROR"));
    updateEntries();
}

void MainWindow::editorFollows() {
    // The editor edits the file DBPath names: it starts again on the one now
    // in use. A change it had not stored belongs to the file it was
    // editing; it is discarded, and the user is told so.
    frmCritConst2* editor = currentComponentEditor();
    if (!editor) return;
    const bool pending = editor->addMode() || editor->editMode();
    if (!pending) {
        reopenComponentEditor();
        return;
    }
    editor->close();
    services().message(this,
                       QStringLiteral("The Component List was closed: it was editing the database used before, and "
                                      "its change not yet stored was discarded. Open it again to edit %1.")
                           .arg(QFileInfo(form_->databasePath()).absoluteFilePath()),
                       QStringLiteral("Component List"));
}

void MainWindow::addDefaultComponents() {
    const QString inUse = form_->databasePath();
    const QString seed = db::seedDbPath();
    const QString title = QStringLiteral("Add Default Components");
    if (inUse.isEmpty()) {
        services().message(this, QStringLiteral("No component database is open."), title);
        return;
    }
    if (seed.isEmpty() || !QFileInfo::exists(seed)) {
        services().message(this, QStringLiteral("The default database was not found%1.")
                                     .arg(seed.isEmpty() ? QString() : QStringLiteral(" at ") + seed),
                           title);
        return;
    }
    db::AddedDefaults added;
    try {
        added = db::addDefaultComponents(QFile::encodeName(inUse).toStdString(), QFile::encodeName(seed).toStdString());
    } catch (const db::DbError& e) {
        // Nothing was added.
        services().message(this, QString::fromStdString(e.description()), QStringLiteral("Database ERROR"));
        return;
    }
    const QString file = QFileInfo(inUse).absoluteFilePath();
    if (added.components == 0 && added.pairs == 0) {
        services().message(this, QStringLiteral("%1 already has every default component and interaction "
                                                "parameter: nothing was added.").arg(file), title);
        return;
    }
    form_->refreshComponentLists();
    // A browsing editor lists the new records; one in the middle of a
    // change keeps it (the file is the same) and shows them when reopened.
    if (frmCritConst2* editor = currentComponentEditor(); editor && !editor->addMode() && !editor->editMode())
        reopenComponentEditor();
    services().message(this,
                       QStringLiteral("Added %1 component%2 and %3 interaction parameter%4 to %5.")
                           .arg(added.components)
                           .arg(added.components == 1 ? QString() : QStringLiteral("s"))
                           .arg(added.pairs)
                           .arg(added.pairs == 1 ? QString() : QStringLiteral("s"))
                           .arg(file),
                       title);
}

void MainWindow::noticeNewDefaults() {
    // Once per version of the program: after an update whose default
    // database has components the one in use lacks.
    const QString key = QStringLiteral("Notices/NewDefaultsToldFor");
    const QString version = QStringLiteral(ZOLVANT_VERSION);
    if (db::settings().value(key).toString() == version) return;
    const QString inUse = form_->databasePath();
    const QString seed = db::seedDbPath();
    if (inUse.isEmpty() || seed.isEmpty() || !QFileInfo::exists(seed) || samePathKey(inUse) == samePathKey(seed))
        return;
    int missing = 0;
    try {
        missing = db::countMissingDefaults(QFile::encodeName(inUse).toStdString(), QFile::encodeName(seed).toStdString());
    } catch (const db::DbError& e) {
        qWarning("Counting the default components missing failed: %s", e.description().c_str());
        return;
    }
    if (missing <= 0) return;
    db::settings().setValue(key, version);
    services().notice(this,
                      QStringLiteral("This version of Zolvant comes with %1 default component%2 that your database "
                                     "lacks.\n\nFile \u203A Add Default Components\u2026 adds them (and their "
                                     "interaction parameters) without changing any record you have.")
                          .arg(missing)
                          .arg(missing == 1 ? QString() : QStringLiteral("s")),
                      QStringLiteral("New Default Components"));
}

QString MainWindow::aboutText() const {
    const QString inUse = form_->databasePath();
    const QString seed = db::seedDbPath();
    return QStringLiteral("Zolvant %1\n\n"
                          "Molar volumes and Z of gases, liquids and mixtures by six cubic equations of state.\n\n"
                          "Qt %2\n"
                          "Licence: %3\n\n"
                          "Database in use:\n%4\n\n"
                          "Default database:\n%5")
        .arg(QStringLiteral(ZOLVANT_VERSION), QString::fromLatin1(qVersion()), QString::fromLatin1(kLicence),
             inUse.isEmpty() ? QStringLiteral("(none)") : QFileInfo(inUse).absoluteFilePath(),
             seed.isEmpty() ? QStringLiteral("(none)") : seed);
}

void MainWindow::showAbout() { services().message(this, aboutText(), QStringLiteral("About Zolvant")); }

}  // namespace zolvant::ui
