#pragma once
// The calculator's top-level window: the main form below a menu bar. The
// form's client area is exactly as without the bar (804 x 603 px, every
// control where it is, the same tab order); the bar only adds entries for
// what the buttons and context menus already do, and for the database in
// use. Opening a menu or choosing an entry never runs an input check and
// leaves the focus in the box being edited.

#include <QMainWindow>
#include <functional>

class QAction;
class QMenu;

namespace zolvant::ui {

class frmZolvMain;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    frmZolvMain* form() const { return form_; }

    // The form's start-up (its database opening included).
    void Form_Load();

    // The menus, for entries added by other parts of the program. New File
    // entries go before fileAnchor() (the separator above Save Results As…).
    QMenu* fileMenu() const { return fileMenu_; }
    QMenu* editMenu() const { return editMenu_; }
    QMenu* viewMenu() const { return viewMenu_; }
    QMenu* helpMenu() const { return helpMenu_; }
    QAction* fileAnchor() const { return fileAnchor_; }

    QAction* openDatabaseAction() const { return openDatabase_; }
    QAction* restoreDatabaseAction() const { return restoreDatabase_; }
    QAction* importAccessAction() const { return importAccess_; }
    QAction* addDefaultsAction() const { return addDefaults_; }
    QAction* quitAction() const { return quit_; }
    QAction* componentListAction() const { return componentList_; }
    QAction* isothermsAction() const { return isotherms_; }
    QAction* mixturePhasesAction() const { return mixturePhases_; }
    QAction* instructionsAction() const { return instructions_; }
    QAction* informationAction() const { return information_; }
    QAction* aboutAction() const { return about_; }

    void openComponentDatabase();
    // Picks an Access file and offers its import; the new database, when
    // written, becomes the one in use.
    void importAccessDatabase();
    void restoreDefaultDatabase();
    // Adds to the database in use the default components (and their
    // interaction pairs) it lacks, says how many, and lists them in the boxes.
    void addDefaultComponents();
    void showAbout();
    // The Isotherms window of the last accepted Solve, on `row` (or the
    // row it shows when -1).
    void showIsotherms(int row = -1);
    // The Mixture Phases window of the last accepted Solve.
    void showMixturePhases();
    // The About box's text: name, version, description, Qt, licence and the
    // databases in use and shipped.
    QString aboutText() const;

    // Asks before Restore; tests answer instead of a real box.
    using Confirm = std::function<bool(QWidget* parent, const QString& text, const QString& title)>;
    void setConfirm(Confirm confirm) { confirm_ = std::move(confirm); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenus();
    void updateEntries();
    bool usingUserCopy() const;
    void offerAccessImport(const QString& accessFile);
    void editorFollows();
    void noticeNewDefaults();

    frmZolvMain* form_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QMenu* viewMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QAction* fileAnchor_ = nullptr;
    QAction* openDatabase_ = nullptr;
    QAction* restoreDatabase_ = nullptr;
    QAction* importAccess_ = nullptr;
    QAction* addDefaults_ = nullptr;
    QAction* quit_ = nullptr;
    QAction* componentList_ = nullptr;
    QAction* isotherms_ = nullptr;
    QAction* mixturePhases_ = nullptr;
    QAction* instructions_ = nullptr;
    QAction* information_ = nullptr;
    QAction* about_ = nullptr;
    Confirm confirm_;
};

}  // namespace zolvant::ui
