#include "db/access/access_reader.h"

// glib first: mdbtools.h expects its types.
#include <glib.h>
#include <mdbtools.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

#include "db/access/jet_values.h"
#include "db/access/output_capture.h"
#include "db/engine.h"

namespace zolvant::db {

using namespace jet;

namespace {

constexpr int kOffsetMask = 0x1fff;   // a row offset's low bits; the high ones are flags
constexpr int kNoRowsBeyond = 1000;   // more rows than a page can hold: damaged
constexpr std::size_t kMaxMemoPieces = 100000;

}  // namespace

// ------------------------------------------------------------ the file

struct AccessFile::Impl {
    std::string name;
    std::string bytes;   // openBytes only: libmdb reads them in place
    MdbHandle* mdb = nullptr;
    FileFormat format = FileFormat::Other;
    std::vector<AccessTableEntry> tables;
    std::string diagnostics;
    std::uintmax_t fileSize = 0;

    ~Impl() {
        if (mdb) {
            OutputCapture capture(diagnostics);
            mdb_close(mdb);
        }
    }

    [[noreturn]] void damaged(const std::string& what = "") const {
        throw DbError(kEngine, "The Access database '" + name + "' is damaged" + (what.empty() ? "" : ": " + what) +
                                   ". Open it in Access (Database Tools > Compact and Repair) and import it again.");
    }

    std::string charset() const {
        const unsigned cp = mdb->f->code_page;
        return cp == 0 ? std::string("CP1252") : "CP" + std::to_string(cp);
    }

    // A table definition through the catalog entry of that name.
    struct TableDef {
        MdbTableDef* def = nullptr;
        ~TableDef() {
            if (def) mdb_free_tabledef(def);
        }
    };

    // The catalog, read here rather than by libmdb: its reader also parses
    // every object's properties, and loops without end on some damaged ones.
    // The catalog's own definition is always on page 2.
    std::vector<std::unique_ptr<MdbCatalogEntry>> entries;
    std::unique_ptr<MdbCatalogEntry> catalogEntry;

    static std::unique_ptr<MdbCatalogEntry> makeEntry(MdbHandle* mdb, const std::string& objectName, int type,
                                                      unsigned long page) {
        auto e = std::make_unique<MdbCatalogEntry>();
        std::memset(e.get(), 0, sizeof *e);
        e->mdb = mdb;
        std::snprintf(e->object_name, sizeof e->object_name, "%s", objectName.c_str());
        e->object_type = type;
        e->table_pg = page;
        return e;
    }

    MdbCatalogEntry* entryOf(const std::string& tableName) const {
        for (const auto& e : entries)
            if (e->object_type == MDB_TABLE && detail::sameName(e->object_name, tableName)) return e.get();
        if (detail::sameName(tableName, "MSysObjects")) return catalogEntry.get();
        return nullptr;
    }

    void readDef(TableDef& t, const std::string& tableName) {
        MdbCatalogEntry* entry = entryOf(tableName);
        if (!entry) throw DbError(kMissingObject, "The Access database '" + name + "' has no table " + tableName + ".");
        t.def = mdb_read_table(entry);
        if (!t.def) damaged("the definition of the table " + tableName + " cannot be read");
        if (t.def->num_cols == 0 || t.def->num_cols > MDB_MAX_COLS)
            damaged("the table " + tableName + " has " + std::to_string(t.def->num_cols) + " columns");
        if (!mdb_read_columns(t.def) || t.def->columns->len != t.def->num_cols)
            damaged("the columns of the table " + tableName + " cannot be read");
    }

    static std::vector<AccessColumn> columnsOf(const MdbTableDef* def) {
        std::vector<AccessColumn> cols;
        for (guint i = 0; i < def->columns->len; ++i) {
            auto* c = static_cast<MdbColumn*>(g_ptr_array_index(def->columns, i));
            cols.push_back({c->name, c->col_type, typeName(c->col_type)});
        }
        return cols;
    }

    // A long value (Memo, OLE): in the row itself, on one page of long
    // values, or in a chain of them.
    std::optional<std::string> readLongValue(const unsigned char* header, std::size_t size) {
        if (size < MDB_MEMO_OVERHEAD) return std::nullopt;
        const std::uint32_t word = le32(header);
        const std::size_t length = word & 0x3fffffff;
        if (word & 0x80000000u) {
            if (MDB_MEMO_OVERHEAD + length > size) return std::nullopt;
            return std::string(reinterpret_cast<const char*>(header + MDB_MEMO_OVERHEAD), length);
        }
        const std::size_t pageSize = static_cast<std::size_t>(mdb->fmt->pg_size);
        std::string out;
        std::uint32_t pointer = le32(header + 4);
        const bool single = (word & 0x40000000u) != 0;
        for (std::size_t piece = 0; piece < kMaxMemoPieces; ++piece) {
            void* buf = nullptr;
            int offset = 0;
            std::size_t len = 0;
            if (pointer == 0 || mdb_find_pg_row(mdb, static_cast<int>(pointer), &buf, &offset, &len) != 0)
                return std::nullopt;
            offset &= kOffsetMask;
            if (static_cast<std::size_t>(offset) + len > pageSize || len > pageSize) return std::nullopt;
            const auto* row = static_cast<const unsigned char*>(buf) + offset;
            if (single) {
                if (len < length) return std::nullopt;
                return std::string(reinterpret_cast<const char*>(row), length);
            }
            if (len < 4) return std::nullopt;
            pointer = le32(row);
            out.append(reinterpret_cast<const char*>(row + 4), len - 4);
            if (out.size() >= length) {
                out.resize(length);
                return out;
            }
            if (pointer == 0) return std::nullopt;
        }
        return std::nullopt;
    }

    std::optional<std::string> decodeText(const unsigned char* p, std::size_t n) const {
        if (format == FileFormat::Jet3) return decodeCodePage(p, n, charset());
        return decodeJet4Text(p, n);
    }

    [[noreturn]] void badValue(const std::string& tableName, std::size_t record, const std::string& column,
                               const std::string& what) const {
        throw DbError(kRefused, "Record " + std::to_string(record) + " of the table " + tableName +
                                    " in the Access database '" + name + "' cannot be imported: its " + column +
                                    " " + what + ". Mend it in Access and import again.");
    }

    // The value of one field, from its bytes in the row.
    FieldValue decode(const MdbField& f, const MdbColumn& col, const std::string& tableName, std::size_t record,
                      int rowStart, int rowEnd) {
        if (col.col_type == MDB_BOOL) return f.is_null ? 0.0 : 1.0;  // kept in the null mask
        if (f.is_null) return std::monostate{};
        if (f.siz < 0 || f.start < rowStart || f.start + f.siz > rowEnd) damaged("a row's field lies outside the row");
        const unsigned char* p = mdb->pg_buf + f.start;
        const std::size_t n = static_cast<std::size_t>(f.siz);
        const int need = storedSize(col.col_type);
        if (need > 0 && static_cast<std::size_t>(need) > n) damaged("a number is shorter than its type");
        switch (col.col_type) {
        case MDB_BYTE: return static_cast<double>(p[0]);
        case MDB_INT: return static_cast<double>(static_cast<std::int16_t>(p[0] | p[1] << 8));
        case MDB_LONGINT: return static_cast<double>(static_cast<std::int32_t>(le32(p)));
        case MDB_MONEY: {
            const auto v = currencyAsDouble(static_cast<std::int64_t>(le64(p)));
            if (!v) badValue(tableName, record, col.name, "holds a Currency value beyond the numbers Zolvant keeps");
            return *v;
        }
        case MDB_FLOAT: {
            float v;
            const std::uint32_t bits = le32(p);
            std::memcpy(&v, &bits, sizeof v);
            if (!std::isfinite(v)) badValue(tableName, record, col.name, "holds no finite number");
            return singleAsDouble(v);
        }
        case MDB_DOUBLE: case MDB_DATETIME: {
            double v;
            const std::uint64_t bits = le64(p);
            std::memcpy(&v, &bits, sizeof v);
            if (!std::isfinite(v)) badValue(tableName, record, col.name, "holds no finite number");
            return v;
        }
        case MDB_TEXT: {
            auto text = decodeText(p, n);
            if (!text) badValue(tableName, record, col.name, "holds text that cannot be decoded");
            return *text;
        }
        case MDB_MEMO: {
            const auto bytes = readLongValue(p, n);
            if (!bytes) damaged("a Memo value of the table " + tableName + " cannot be found");
            auto text = decodeText(reinterpret_cast<const unsigned char*>(bytes->data()), bytes->size());
            if (!text) badValue(tableName, record, col.name, "holds text that cannot be decoded");
            return *text;
        }
        default: return std::monostate{};
        }
    }

    // libmdb walks a table's usage map as it finds it: a map too short for
    // its header runs its walk past the map's end, and a page of a map of
    // maps that is not in the file ends the program. Such maps are replaced
    // by one of a kind libmdb does not know, which makes it scan every page.
    void makeUsageMapSafe(MdbTableDef* def) const {
        const std::size_t pageSize = static_cast<std::size_t>(mdb->fmt->pg_size);
        const std::uintmax_t pages = fileSize / pageSize;
        unsigned char* map = def->usage_map;
        bool safe = map && def->map_sz >= 5 && def->map_sz <= pageSize && (map[0] == 0 || map[0] == 1);
        if (safe && map[0] == 1)
            for (std::size_t k = 0; 1 + 4 * k + 4 <= def->map_sz; ++k) {
                const std::uint32_t pg = le32(map + 1 + 4 * k);
                if (pg >= pages) std::memset(map + 1 + 4 * k, 0, 4);  // no such page: no pages mapped there
            }
        if (safe) return;
        g_free(def->usage_map);
        def->usage_map = static_cast<unsigned char*>(g_malloc0(5));
        def->usage_map[0] = 0xff;
        def->map_sz = 5;
    }

    AccessTableData read(const std::string& tableName, const std::vector<bool>& wanted) {
        TableDef t;
        readDef(t, tableName);
        makeUsageMapSafe(t.def);
        // A user table counts its records exactly; the catalog's own count
        // may lag behind (files made by Access hold one more).
        const bool counted = !detail::sameName(tableName, "MSysObjects");
        const std::size_t most = counted ? t.def->num_rows : 1000000;
        AccessTableData data;
        data.columns = columnsOf(t.def);
        std::vector<MdbField> fields(MDB_MAX_COLS + 1);
        mdb_rewind_table(t.def);
        const std::size_t pageSize = static_cast<std::size_t>(mdb->fmt->pg_size);
        // A page holds at most a few hundred rows, and each page is read once.
        while (mdb_fetch_row(t.def)) {
            const std::size_t record = data.rows.size() + 1;
            if (t.def->cur_row == 0 || t.def->cur_row > kNoRowsBeyond) damaged("a data page holds too many rows");
            int start = 0;
            std::size_t len = 0;
            if (mdb_find_row(mdb, static_cast<int>(t.def->cur_row) - 1, &start, &len) != 0) damaged();
            start &= kOffsetMask;
            if (len == 0 || static_cast<std::size_t>(start) + len > pageSize) damaged("a row lies outside its page");
            const int count = mdb_crack_row(t.def, start, len, fields.data());
            if (count < 0 || static_cast<guint>(count) != t.def->num_cols) damaged("a row cannot be read");
            std::vector<FieldValue> row(t.def->num_cols);
            for (guint i = 0; i < t.def->num_cols; ++i) {
                if (i < wanted.size() && !wanted[i]) continue;
                const auto* col = static_cast<MdbColumn*>(g_ptr_array_index(t.def->columns, i));
                row[i] = decode(fields[i], *col, tableName, record, start, start + static_cast<int>(len));
            }
            data.rows.push_back(std::move(row));
            if (data.rows.size() > most) break;
        }
        // The definition counts the records: a lost page or row shows.
        if (counted && data.rows.size() != t.def->num_rows)
            damaged("the table " + tableName + " holds " + std::to_string(t.def->num_rows) +
                    (t.def->num_rows == 1 ? " record" : " records") + ", but " + std::to_string(data.rows.size()) +
                    " were found");
        return data;
    }

    void open() {
        catalogEntry = makeEntry(mdb, "MSysObjects", MDB_TABLE, 2);
        std::optional<AccessTableData> catalog;
        try {
            const std::vector<AccessColumn> cols = [&] {
                TableDef t;
                readDef(t, "MSysObjects");
                return columnsOf(t.def);
            }();
            std::array<int, 4> at{-1, -1, -1, -1};  // Id, Name, Type, Flags
            const char* const names[4] = {"Id", "Name", "Type", "Flags"};
            std::vector<bool> wanted(cols.size(), false);
            for (std::size_t i = 0; i < cols.size(); ++i)
                for (std::size_t k = 0; k < at.size(); ++k)
                    if (at[k] < 0 && detail::sameName(cols[i].name, names[k])) {
                        at[k] = static_cast<int>(i);
                        wanted[i] = true;
                    }
            for (int a : at)
                if (a < 0) damaged("its list of tables lacks a column");
            catalog = read("MSysObjects", wanted);
            for (const auto& row : catalog->rows) {
                const auto* id = std::get_if<double>(&row[at[0]]);
                const auto* objectName = std::get_if<std::string>(&row[at[1]]);
                const auto* type = std::get_if<double>(&row[at[2]]);
                const auto* flags = std::get_if<double>(&row[at[3]]);
                if (!id || !objectName || !type) continue;
                const int kind = static_cast<int>(static_cast<std::int64_t>(*type)) & 0x7f;
                const auto flagBits = flags ? static_cast<std::uint32_t>(static_cast<std::int64_t>(*flags)) : 0u;
                const auto page = static_cast<std::uint32_t>(static_cast<std::int64_t>(*id)) & 0x00ffffffu;
                entries.push_back(makeEntry(mdb, *objectName, kind, page));
                const bool local = kind == MDB_TABLE && (flagBits & 0x80000002u) == 0;
                const bool linked = kind == MDB_LINKED_TABLE || kind == 4;
                if (local || linked) tables.push_back({*objectName, local ? 1 : kind});
            }
        } catch (const DbError&) {
            if (format == FileFormat::Ace)
                throw DbError(kRefused, "The Access database '" + name +
                                            "' cannot be read: it is encrypted with a password, or damaged. If it has "
                                            "a password, open it in Access, remove the password (File > Info > "
                                            "Decrypt Database) and import it again.");
            throw;
        }
    }
};

namespace {

// Encrypted ACE files (Access 2007 and later, "Encrypt with Password") say
// so in a flag byte of their header page, outside its hidden part.
constexpr std::size_t kAceEncryptionFlags = 0x298;

void refuseUnreadable(const RecognizedFile& r, const unsigned char* head, std::size_t headSize,
                      const std::string& name) {
    if (!isAccess(r.format)) {
        if (r.format == FileFormat::Sqlite)
            throw DbError(kNotADatabase, "The file '" + name +
                                             "' is already a Zolvant (SQLite) database: open it as it is, there is "
                                             "nothing to import.");
        throw DbError(kNotADatabase, "The file '" + name + "' is not an Access database.");
    }
    if (r.cutShort)
        throw DbError(kEngine, "The Access database '" + name + "' is damaged: it is cut short (" +
                                   std::to_string(r.size) + " bytes, not whole pages of " +
                                   std::to_string(r.pageSize) + "). Copy it again from where it came from.");
    if (r.format == FileFormat::Ace && headSize > kAceEncryptionFlags && (head[kAceEncryptionFlags] & 0x06) != 0)
        throw DbError(kRefused, "The Access database '" + name +
                                    "' is encrypted with a password: Zolvant cannot read it. Open it in Access, "
                                    "remove the password (File > Info > Decrypt Database) and import it again.");
}

}  // namespace

AccessFile::AccessFile() : impl_(std::make_unique<Impl>()) {}
AccessFile::~AccessFile() = default;

std::unique_ptr<AccessFile> AccessFile::open(const std::string& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status)) throw DbError(kFileNotFound, "Could not find the file '" + path + "'.");
    if (!std::filesystem::is_regular_file(status))
        throw DbError(kNotADatabase, "The file '" + path + "' is not an Access database: it is not a regular file.");
    std::ifstream in(path, std::ios::binary);
    std::string head(4096, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    const RecognizedFile r = recognizeFile(path);
    refuseUnreadable(r, reinterpret_cast<const unsigned char*>(head.data()), head.size(), path);

    std::unique_ptr<AccessFile> file(new AccessFile);
    Impl& impl = *file->impl_;
    impl.name = path;
    impl.format = r.format;
    impl.fileSize = r.size;
    OutputCapture capture(impl.diagnostics);
    impl.mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
    if (!impl.mdb) impl.damaged("its header page cannot be read");
    impl.open();
    return file;
}

std::unique_ptr<AccessFile> AccessFile::openBytes(std::string bytes, const std::string& name) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    RecognizedFile r = recognizeBytes(data, bytes.size());
    refuseUnreadable(r, data, bytes.size(), name);
    std::unique_ptr<AccessFile> file(new AccessFile);
    Impl& impl = *file->impl_;
    impl.name = name;
    impl.format = r.format;
    impl.bytes = std::move(bytes);
    impl.fileSize = impl.bytes.size();
    OutputCapture capture(impl.diagnostics);
    impl.mdb = mdb_open_buffer(impl.bytes.data(), impl.bytes.size(), MDB_NOFLAGS);
    if (!impl.mdb) impl.damaged("its header page cannot be read");
    impl.open();
    return file;
}

FileFormat AccessFile::format() const { return impl_->format; }
const std::string& AccessFile::name() const { return impl_->name; }
const std::vector<AccessTableEntry>& AccessFile::tables() const { return impl_->tables; }
const std::string& AccessFile::diagnostics() const { return impl_->diagnostics; }

const AccessTableEntry* AccessFile::findTable(const std::string& tableName) const {
    for (const AccessTableEntry& t : impl_->tables)
        if (detail::sameName(t.name, tableName)) return &t;
    return nullptr;
}

std::vector<AccessColumn> AccessFile::columns(const std::string& tableName) {
    OutputCapture capture(impl_->diagnostics);
    Impl::TableDef t;
    impl_->readDef(t, tableName);
    return Impl::columnsOf(t.def);
}

AccessTableData AccessFile::readTable(const std::string& tableName) { return readTable(tableName, {}); }

AccessTableData AccessFile::readTable(const std::string& tableName, const std::vector<bool>& wanted) {
    OutputCapture capture(impl_->diagnostics);
    return impl_->read(tableName, wanted);
}

std::string AccessFile::linkedFile(const std::string& tableName) {
    // The catalog's own table tells: Database names the file, for each
    // linked table's row.
    try {
        OutputCapture capture(impl_->diagnostics);
        const std::vector<AccessColumn> cols = [&] {
            Impl::TableDef t;
            impl_->readDef(t, "MSysObjects");
            return Impl::columnsOf(t.def);
        }();
        std::vector<bool> wanted(cols.size(), false);
        int nameCol = -1, databaseCol = -1, typeCol = -1;
        for (std::size_t i = 0; i < cols.size(); ++i) {
            if (detail::sameName(cols[i].name, "Name")) nameCol = static_cast<int>(i);
            if (detail::sameName(cols[i].name, "Database")) databaseCol = static_cast<int>(i);
            if (detail::sameName(cols[i].name, "Type")) typeCol = static_cast<int>(i);
        }
        if (nameCol < 0 || databaseCol < 0 || typeCol < 0) return "";
        wanted[nameCol] = wanted[databaseCol] = wanted[typeCol] = true;
        const AccessTableData data = impl_->read("MSysObjects", wanted);
        for (const auto& row : data.rows) {
            const auto* n = std::get_if<std::string>(&row[nameCol]);
            const auto* d = std::get_if<std::string>(&row[databaseCol]);
            const auto* t = std::get_if<double>(&row[typeCol]);
            if (n && d && t && *t != 1 && detail::sameName(*n, tableName)) return *d;
        }
    } catch (const DbError&) {
        // The file then goes unnamed: the refusal still says the table is linked.
    }
    return "";
}

}  // namespace zolvant::db
