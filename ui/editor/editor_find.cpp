// The editor's Find box and the record count beside the position: finding a
// component among hundreds without paging through them.

#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "db/component_match.h"
#include "ui/common/layout.h"
#include "ui/common/services.h"
#include "ui/editor/editor_find.h"
#include "ui/editor/frmCritConst2.h"

namespace zolvant::ui {

namespace {
// On the molecular-weight row, right of its box (twips, as the layout).
constexpr int kFindTop = 600;
constexpr int kFindLabelLeft = 3240;
constexpr int kFindLabelWidth = 480;
constexpr int kFindBoxLeft = 3744;
constexpr int kFindBoxWidth = 1800;
constexpr int kFindHeight = 300;
}  // namespace

void frmCritConst2::buildFind() {
    lblFind = new QLabel(QStringLiteral("&Find:"), this);
    lblFind->setObjectName(QStringLiteral("lblFind"));
    placeTwips(lblFind, kFindLabelLeft, kFindTop, kFindLabelWidth, kFindHeight);
    lblFind->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setAccessibleName(QStringLiteral("Find a component by part of its name"));
    txtFind->setToolTip(QStringLiteral("Moves to the first record whose name contains the text (case aside); "
                                       "Enter moves to the next one. Ctrl+F comes here."));
    txtFind->setClearButtonEnabled(true);
    lblFind->setBuddy(txtFind);
    placeTwips(txtFind, kFindBoxLeft, kFindTop, kFindBoxWidth, kFindHeight);

    auto* shortcut = new QShortcut(QKeySequence::Find, this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, [this] {
        if (!txtFind->isEnabled()) return;
        txtFind->setFocus(Qt::ShortcutFocusReason);
        txtFind->selectAll();
    });
    connect(txtFind, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!text.isEmpty()) findRecord(text, false);
    });
    connect(txtFind, &QLineEdit::returnPressed, this, [this] { findRecord(txtFind->text(), true); });

    // The total beside the position the status line gives.
    lblRecordCount = new QLabel(lblStatus);
    lblRecordCount->setObjectName(QStringLiteral("lblRecordCount"));
    lblRecordCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblRecordCount->setGeometry(lblStatus->width() / 2, 0, lblStatus->width() / 2 - 6, lblStatus->height());
}

void frmCritConst2::showRecordCount() {
    if (!lblRecordCount) return;
    long count = -1;
    try {
        if (rsComps) count = rsComps->RecordCount();
    } catch (const std::exception&) {
        count = -1;
    }
    const QString status = lblStatus->text();
    if (count < 0 || addMode_ || editMode_) {
        lblRecordCount->clear();
    } else if (status.startsWith(QStringLiteral("Compound record # "))) {
        lblRecordCount->setText(QStringLiteral("of %1").arg(count));
    } else {
        lblRecordCount->setText(QStringLiteral("%1 record%2").arg(count).arg(count == 1 ? "" : "s"));
    }
}

long findName(db::Recordset& rs, const std::string& text, bool next) {
    const long current = rs.AbsolutePosition();
    // Every name once, in one read, then the search; the current record is
    // left where it was.
    std::vector<std::string> names;
    {
        const db::ReadBatch reading(rs);
        const std::optional<db::Bookmark> shown =
            current >= 0 ? std::optional<db::Bookmark>(rs.GetBookmark()) : std::nullopt;
        if (rs.RecordCount() > 0) {
            rs.MoveFirst();
            while (!rs.EOF_()) {
                std::string name;
                try {
                    const db::FieldValue value = rs.Fields("Component");
                    if (const auto* s = std::get_if<std::string>(&value)) name = *s;
                } catch (const db::DbError&) {
                    // A record deleted elsewhere is found by nobody.
                }
                names.push_back(db::foldCase(name));
                rs.MoveNext();
            }
        }
        if (shown) rs.SetBookmark(*shown);
    }
    const std::string wanted = db::foldCase(text);
    const long count = static_cast<long>(names.size());
    const long start = next && current >= 0 ? current + 1 : 0;
    for (long k = 0; k < count; ++k) {
        const long at = (start + k) % count;
        if (names[static_cast<std::size_t>(at)].find(wanted) != std::string::npos) return at;
    }
    return -1;
}

}  // namespace zolvant::ui
