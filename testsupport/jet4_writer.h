#pragma once
// A small writer of Jet 4 (Access 2000-2003) files for tests: a header page,
// a page-usage map, the catalog MSysObjects and one table definition with its
// data pages per table. No indexes, no long values: just enough for readers
// to find every table, column and row where Access puts them.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zolvant::db::test {

// Column types as a Jet 4 table definition names them.
enum JetType : std::uint8_t {
    kJetBool = 0x01,
    kJetByte = 0x02,
    kJetInteger = 0x03,
    kJetLong = 0x04,
    kJetCurrency = 0x05,
    kJetSingle = 0x06,
    kJetDouble = 0x07,
    kJetDateTime = 0x08,
    kJetText = 0x0a,
    kJetOle = 0x0b,
    kJetMemo = 0x0c,
    kJetDecimal = 0x10,
};

struct JetColumn {
    JetColumn(std::string n, JetType t, int length = 255) : name(std::move(n)), type(t), textLength(length) {}
    std::string name;
    JetType type;
    int textLength;  // characters, for Text only
};

// A cell as stored in the row: its bytes, or nullopt for Null.
using JetCell = std::optional<std::string>;

struct JetTable {
    JetTable(std::string n, std::vector<JetColumn> c, std::vector<std::vector<JetCell>> r = {}, int type = 1,
             std::string linked = {})
        : name(std::move(n)), columns(std::move(c)), rows(std::move(r)), catalogType(type),
          linkedFile(std::move(linked)) {}
    std::string name;
    std::vector<JetColumn> columns;
    std::vector<std::vector<JetCell>> rows;
    int catalogType;  // MSysObjects.Type: 1 a local table, 6 a linked one
    std::string linkedFile;  // MSysObjects.Database of a linked table
};

// Cell encodings (little-endian, as Jet stores them).
JetCell jetByte(std::uint8_t v);
JetCell jetInteger(std::int16_t v);
JetCell jetLong(std::int32_t v);
JetCell jetCurrency(std::int64_t tenThousandths);
JetCell jetSingle(float v);
JetCell jetDouble(double v);
// Text from UTF-8: in Jet 4's compressed form when every character fits one
// byte (and none is NUL), otherwise UTF-16LE (surrogate pairs beyond the BMP).
JetCell jetText(const std::string& utf8, bool compressIfPossible = true);
// A Memo held in the row itself.
JetCell jetMemo(const std::string& utf8);
inline const JetCell kJetNull = std::nullopt;

struct JetOptions {
    bool ace = false;       // write "Standard ACE DB", version 2, instead of Jet 4
    int rowsPerPage = 0;    // 0: as many as fit; otherwise at most this many per data page
};

// The whole file.
std::string buildJet4File(const std::vector<JetTable>& tables, const JetOptions& options = {});

// Writes bytes to path (replacing any file there).
void writeFileBytes(const std::string& path, const std::string& bytes);

}  // namespace zolvant::db::test
