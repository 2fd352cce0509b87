// The Access reader on any bytes: a refusal (DbError with a sentence naming
// the file) or records, never a crash, a hang or a leak. Records hold what
// the import can store: a text or Null name, finite numbers or Null, valid
// UTF-8 text; every table the catalog lists reads or is refused.

#include <cmath>
#include <cstdint>
#include <string>

#include "db/access/access_reader.h"
#include "fuzz/fuzz_support.h"

using namespace zolvant::db;
using namespace zolvant::fuzz;

namespace {

const std::string kName = "fuzz.mdb";

bool validUtf8(const std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = s[i];
        const int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (int k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
        i += n;
    }
    return true;
}

void checkValue(const FieldValue& v) {
    if (const auto* d = std::get_if<double>(&v)) FUZZ_CHECK(std::isfinite(*d), std::to_string(*d));
    if (const auto* s = std::get_if<std::string>(&v)) FUZZ_CHECK(validUtf8(*s), show(*s));
}

void checkRefusal(const DbError& e) {
    FUZZ_CHECK(e.description().find(kName) != std::string::npos, e.description());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<AccessFile> file;
    try {
        file = AccessFile::openBytes(std::string(reinterpret_cast<const char*>(data), size), kName);
    } catch (const DbError& e) {
        checkRefusal(e);
        return 0;
    }
    try {
        const AccessComponents c = readAccessComponents(*file);
        for (const auto& record : c.records) {
            FUZZ_CHECK(!std::holds_alternative<double>(record[0]), "a number as the name");
            for (const FieldValue& v : record) checkValue(v);
        }
    } catch (const DbError& e) {
        checkRefusal(e);
    }
    for (const AccessTableEntry& t : file->tables()) {
        if (t.kind != 1) continue;
        try {
            for (const auto& row : file->readTable(t.name).rows)
                for (const FieldValue& v : row) checkValue(v);
        } catch (const DbError& e) {
            // A message about a table the import never reads still names the file.
            checkRefusal(e);
        }
    }
    return 0;
}
