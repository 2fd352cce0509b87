// Any bytes as a component database file, opened as the start-up opening
// does (the file, its qryCritCos, the last record) and re-queried as a
// component box does: a readable DbError or a working recordset, within the
// time budget of each step, never a crash; the file is never changed.

#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "db/database.h"
#include "db/engine.h"
#include "fuzz/fuzz_support.h"

using namespace zolvant::db;
using zolvant::fuzz::show;

namespace {

namespace fs = std::filesystem;

const std::string& folder() {
    static const std::string path = [] {
        const fs::path dir = fs::temp_directory_path() / ("zolvant_fuzz_db_open." + std::to_string(::getpid()));
        fs::create_directories(dir);
        return dir.string();
    }();
    return path;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void checkError(const DbError& e) {
    FUZZ_CHECK(e.number() != 0 && !e.description().empty(), e.description());
    FUZZ_CHECK(e.description().find('\0') == std::string::npos, show(e.description()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = folder() + "/Components.mdb";
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    // Three budgets at most (opening, the query's first run, the requery),
    // and a second for stopping and unwinding.
    const auto started = std::chrono::steady_clock::now();
    try {
        const auto db = Database::OpenDatabase(path);
        const auto rs = db->OpenRecordset(kCritCosSource);
        if (rs->RecordCount() > 0) {
            rs->MoveLast();
            (void)rs->Fields("Component");
        }
        rs->Requery();
        FUZZ_CHECK(rs->RecordCount() <= detail::kMaxRows, std::to_string(rs->RecordCount()));
        for (long n = 0; n < rs->RecordCount() && n < 20; ++n) {
            if (n == 0) rs->MoveFirst();
            (void)rs->Fields("Component");
            rs->MoveNext();
        }
    } catch (const DbError& e) {
        checkError(e);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    FUZZ_CHECK(seconds < 3 * detail::kBudgetSeconds + 1, std::to_string(seconds) + " s");
    // Reading never writes: a hot journal or WAL would have to be beside it.
    FUZZ_CHECK(readAll(path) == bytes, "the file was changed");
    std::error_code ec;
    for (const char* suffix : {"-journal", "-wal", "-shm"}) fs::remove(path + suffix, ec);
    return 0;
}
