#pragma once
// The critical-constants editor: browses tblComps one record at a time and
// adds, changes and deletes records through a connection of its own.

#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <stdexcept>

#include "db/database.h"

class QCloseEvent;
class QEvent;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zolvant::ui {

class frmCritConst2 : public QWidget {
    Q_OBJECT
public:
    // The row source: all nine fields of every record, sorted by name.
    static inline const db::RecordSource& kRowSource = db::kEditorSource;

    // Lays out the window and runs Form_Load. When the database does not
    // open, the failure has been shown, loaded() is false and the window
    // closes itself as soon as events are processed (callers that check
    // loaded() delete it at once instead).
    explicit frmCritConst2(QWidget* parent = nullptr);
    ~frmCritConst2() override;

    bool loaded() const { return loaded_; }
    bool addMode() const { return addMode_; }
    bool editMode() const { return editMode_; }

    // The event handlers, reachable by tests and by the buttons.
    void Form_KeyDown(int KeyCode, int Shift);
    void cmdFirst_Click();
    void cmdPrevious_Click();
    void cmdNext_Click();
    void cmdLast_Click();
    void cmdAdd_Click();
    void cmdEdit_Click();
    void cmdUpdate_Click();
    void cmdCancel_Click();
    void cmdDelete_Click();
    void cmdClose_Click();

    // Find (Ctrl+F): moves to the first record whose name contains the
    // text, case aside; `next` starts after the current record and wraps.
    // False (and a beep) when no record's name contains it.
    bool findRecord(const QString& text, bool next);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // A box bound to one field, with the label that names it.
    struct FieldBox {
        const char* field;
        QLineEdit* box;
        QLabel* label;
    };

    void buildLayout();   // editor_layout.cpp
    bool Form_Load();
    void Form_Unload();
    void releaseDatabase();

    void setBrowseState(bool browsing);
    void showCurrentRecord();
    void showNoRecord();
    void setStatusFromPosition();
    void showRecordCount();  // editor_find.cpp: "of N" beside the position
    void buildFind();        // editor_find.cpp
    bool hasCurrentRecord() const;
    // A navigation command's steps: the move, then the record reached shown.
    template <typename Move>
    void moveAndShow(Move&& move);
    void requireRecordset() const;

    // The first numeric box whose text is neither empty nor a number, with
    // the message that refuses it; nullptr and an empty text when none.
    QString firstNonNumericBox(QLineEdit** offending) const;

    // Runs a command's steps; a failure stops them and is shown. Returns
    // whether every step ran.
    template <typename Steps>
    bool runCommand(Steps&& steps, bool withNumber = false);
    static QString failureText(const std::exception& e);
    void showFailure(const std::exception& e, bool withNumber);

    // Window state.
    std::unique_ptr<db::Database> dbCrit;
    std::unique_ptr<db::Recordset> rsComps;   // declared after dbCrit: destroyed first
    bool addMode_ = false;
    bool editMode_ = false;
    bool loaded_ = false;
    std::optional<db::Bookmark> addBookmark_;  // the record current before Add

    // Controls (named as the window's controls are named).
    QLabel* lblCompound = nullptr;
    QLineEdit* txtCompound = nullptr;
    QLabel* lblMW = nullptr;
    QLineEdit* txtMW = nullptr;
    QLabel* lblCritHeading = nullptr;
    QLabel* lblPrsvHeading = nullptr;
    QLabel* lblTcrit = nullptr;
    QLineEdit* txtTcrit = nullptr;
    QLabel* lblPcrit = nullptr;
    QLineEdit* txtPcrit = nullptr;
    QLabel* lblVcrit = nullptr;
    QLineEdit* txtVcrit = nullptr;
    QLabel* lblAcent = nullptr;
    QLineEdit* txtAcent = nullptr;
    QLabel* lblK1 = nullptr;
    QLineEdit* txtK1 = nullptr;
    QLabel* lblK2 = nullptr;
    QLineEdit* txtK2 = nullptr;
    QLabel* lblK3 = nullptr;
    QLineEdit* TxtK3 = nullptr;
    QLabel* lblEqK1 = nullptr;
    QLabel* lblEqK2 = nullptr;
    QLabel* lblEqK3 = nullptr;

    QFrame* fraCommands = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdEdit = nullptr;
    QPushButton* cmdUpdate = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdClose = nullptr;

    QFrame* fraStatus = nullptr;
    QPushButton* cmdFirst = nullptr;
    QPushButton* cmdPrevious = nullptr;
    QLabel* lblStatus = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdLast = nullptr;

    QLabel* lblFind = nullptr;
    QLineEdit* txtFind = nullptr;
    QLabel* lblRecordCount = nullptr;  // inside lblStatus, at its right end

    // The eight numeric boxes in field order MolWt .. K3.
    std::array<FieldBox, 8> numericBoxes_{};

    // Key events propagate from the focused control to its parents with the
    // same event object; this remembers the last one handled so that it is
    // handled once.
    const QEvent* lastKey_ = nullptr;
    QPointer<QWidget> lastKeyTarget_;
};

}  // namespace zolvant::ui
