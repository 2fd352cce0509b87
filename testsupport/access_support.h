#pragma once
// What the Access tests share: a scratch folder, the tblComps shapes they
// write, and reading a component database's rows as stored.

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "testsupport/jet4_writer.h"
#include "db/database.h"

namespace zolvant::db::test {

// A fresh folder under the system's temporary folder, removed at the end.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::vector<std::string> names() const;  // the files in it
private:
    std::filesystem::path path_;
};

// The nine fields of tblComps as columns: Component Text, the rest Double.
std::vector<JetColumn> componentColumns();
// A tblComps row of the nine fields: a name (nullopt: Null) and doubles (NaN: Null).
std::vector<JetCell> componentRow(const std::optional<std::string>& name, const std::array<double, 8>& values);

// Every row of tblComps in the order stored (rowid), each field as the
// engine holds it: Null, the REAL's bits, or the text.
std::vector<std::array<FieldValue, 9>> storedRows(const std::string& path);

std::string readFileBytes(const std::string& path);

}  // namespace zolvant::db::test
