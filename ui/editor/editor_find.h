#pragma once
// What the editor's Find box looks for, apart from the window.

#include <string>

#include "db/database.h"

namespace zolvant::ui {

// The position of the first record of rs whose name contains text (ASCII
// case aside): from the first record, or with `next` from the one after the
// current record, wrapping. -1 when none. The current record stays. Throws
// DbError.
long findName(db::Recordset& rs, const std::string& text, bool next);

}  // namespace zolvant::ui
