#include "db/access/access_reader.h"

// glib first: mdbtools.h expects its types.
#include <glib.h>
#include <mdbtools.h>

#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>

#include "db/components_csv.h"
#include "db/engine.h"

namespace zolvant::db {

namespace {

constexpr int kOffsetMask = 0x1fff;   // a row offset's low bits; the high ones are flags
constexpr int kNoRowsBeyond = 1000;   // more rows than a page can hold: damaged
constexpr std::size_t kMaxMemoPieces = 100000;

// ------------------------------------------------------------ diagnostics

// libmdb and glib report on standard error, and libmdb dumps pages it
// cannot make sense of on standard output. While a call into them runs,
// both go to a temporary file whose text is kept instead. One call at a
// time: file descriptors 1 and 2 belong to the whole process.
std::recursive_mutex& outputMutex() {
    static std::recursive_mutex m;
    return m;
}

class OutputCapture {
public:
    explicit OutputCapture(std::string& sink) : sink_(sink), lock_(outputMutex()) {
        std::fflush(stdout);
        std::fflush(stderr);
        file_ = std::tmpfile();
        for (int fd : {1, 2}) {
            saved_[fd - 1] = ::dup(fd);
            if (file_ && saved_[fd - 1] >= 0) redirected_[fd - 1] = ::dup2(fileno(file_), fd) >= 0;
        }
    }
    ~OutputCapture() {
        std::fflush(stdout);
        std::fflush(stderr);
        for (int fd : {1, 2}) {
            if (redirected_[fd - 1]) ::dup2(saved_[fd - 1], fd);
            if (saved_[fd - 1] >= 0) ::close(saved_[fd - 1]);
        }
        if (file_) {
            std::rewind(file_);
            char buf[4096];
            std::size_t n;
            while (sink_.size() < 65536 && (n = std::fread(buf, 1, sizeof buf, file_)) > 0) sink_.append(buf, n);
            std::fclose(file_);
        }
    }
    OutputCapture(const OutputCapture&) = delete;
    OutputCapture& operator=(const OutputCapture&) = delete;

private:
    std::string& sink_;
    std::lock_guard<std::recursive_mutex> lock_;
    std::FILE* file_ = nullptr;
    int saved_[2] = {-1, -1};
    bool redirected_[2] = {false, false};
};

// ------------------------------------------------------------ bytes

std::uint32_t le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint64_t le64(const unsigned char* p) {
    return static_cast<std::uint64_t>(le32(p)) | static_cast<std::uint64_t>(le32(p + 4)) << 32;
}

std::string typeName(int type) {
    switch (type) {
    case MDB_BOOL: return "Yes/No";
    case MDB_BYTE: return "Byte";
    case MDB_INT: return "Integer";
    case MDB_LONGINT: return "Long Integer";
    case MDB_MONEY: return "Currency";
    case MDB_FLOAT: return "Single";
    case MDB_DOUBLE: return "Double";
    case MDB_DATETIME: return "Date/Time";
    case MDB_BINARY: return "Binary";
    case MDB_TEXT: return "Text";
    case MDB_OLE: return "OLE Object";
    case MDB_MEMO: return "Memo";
    case MDB_REPID: return "Replication ID";
    case MDB_NUMERIC: return "Decimal";
    case MDB_COMPLEX: return "Attachment or multi-valued";
    default: return "unknown type " + std::to_string(type);
    }
}

bool isNumberType(int type) {
    return type == MDB_BYTE || type == MDB_INT || type == MDB_LONGINT || type == MDB_MONEY || type == MDB_FLOAT ||
           type == MDB_DOUBLE;
}
bool isTextType(int type) { return type == MDB_TEXT || type == MDB_MEMO; }

int storedSize(int type) {
    switch (type) {
    case MDB_BYTE: return 1;
    case MDB_INT: return 2;
    case MDB_LONGINT: case MDB_FLOAT: return 4;
    case MDB_MONEY: case MDB_DOUBLE: case MDB_DATETIME: return 8;
    default: return 0;
    }
}

// ------------------------------------------------------------ text

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xc0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3f));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xe0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (cp & 0x3f));
    } else {
        out += static_cast<char>(0xf0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3f));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (cp & 0x3f));
    }
}

// Jet 4 text: UTF-16LE, or after FF FE the compressed form, in which a NUL
// byte switches between one byte per character (high byte zero) and two.
// nullopt: not valid UTF-16 (odd length, a lone surrogate).
std::optional<std::string> decodeJet4Text(const unsigned char* p, std::size_t n) {
    std::u16string units;
    if (n >= 2 && p[0] == 0xff && p[1] == 0xfe) {
        bool compressed = true;
        for (std::size_t i = 2; i < n;) {
            if (p[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                units += static_cast<char16_t>(p[i++]);
            } else {
                if (i + 1 >= n) return std::nullopt;
                units += static_cast<char16_t>(p[i] | p[i + 1] << 8);
                i += 2;
            }
        }
    } else {
        if (n % 2 != 0) return std::nullopt;
        for (std::size_t i = 0; i < n; i += 2) units += static_cast<char16_t>(p[i] | p[i + 1] << 8);
    }
    std::string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t u = units[i];
        if (u >= 0xd800 && u < 0xdc00) {
            if (i + 1 >= units.size() || units[i + 1] < 0xdc00 || units[i + 1] >= 0xe000) return std::nullopt;
            appendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xd800) << 10) + (units[i + 1] - 0xdc00));
            ++i;
        } else if (u >= 0xdc00 && u < 0xe000) {
            return std::nullopt;
        } else {
            appendUtf8(out, u);
        }
    }
    return out;
}

// Jet 3 text: one or two bytes per character in the file's code page.
std::optional<std::string> decodeCodePage(const unsigned char* p, std::size_t n, const std::string& charset) {
    if (n == 0) return std::string();
    gsize written = 0;
    GError* error = nullptr;
    gchar* text = g_convert(reinterpret_cast<const gchar*>(p), static_cast<gssize>(n), "UTF-8", charset.c_str(),
                            nullptr, &written, &error);
    if (error) g_error_free(error);
    if (!text) return std::nullopt;
    std::string out(text, written);
    g_free(text);
    return out;
}

// ------------------------------------------------------------ numbers

std::optional<double> currencyAsDouble(std::int64_t v) {
    // The exact decimal of v / 10000, then the double nearest it.
    const bool negative = v < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    std::string text = (negative ? "-" : "") + std::to_string(magnitude / 10000) + ".";
    const std::string frac = std::to_string(magnitude % 10000);
    text += std::string(4 - frac.size(), '0') + frac;
    double d = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), d);
    if (r.ec != std::errc()) return std::nullopt;
    return d;
}

}  // namespace

double singleAsDouble(float value) {
    char buf[64];
    const auto written = std::to_chars(buf, buf + sizeof buf, value);
    double d = 0;
    const auto parsed = std::from_chars(buf, written.ptr, d);
    if (written.ec != std::errc() || parsed.ec != std::errc()) return static_cast<double>(value);
    const float back = static_cast<float>(d);
    if (std::memcmp(&back, &value, sizeof value) != 0) return static_cast<double>(value);
    return d;
}

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

// ------------------------------------------------------------ tblComps

AccessComponents readAccessComponents(AccessFile& file) {
    const std::string& name = file.name();
    const AccessTableEntry* table = file.findTable("tblComps");
    if (!table) {
        std::string list;
        for (const AccessTableEntry& t : file.tables()) list += (list.empty() ? "" : ", ") + t.name;
        throw DbError(kMissingObject,
                      "The Access database '" + name + "' has no table tblComps" +
                          (list.empty() ? std::string(", and no other table either")
                                        : "; the tables it has are: " + list) +
                          ". Zolvant imports the components of a table named tblComps: rename the table that holds "
                          "them in Access, or choose the file that has it.");
    }
    const std::string tableName = table->name;
    if (table->kind == 4)
        throw DbError(kRefused, "In the Access database '" + name + "', tblComps is a linked table whose records live "
                                    "in an ODBC data source, not in this file. Import them into a local table "
                                    "in Access and import this file again.");
    if (table->kind != 1) {
        const std::string other = file.linkedFile(tableName);
        throw DbError(kRefused, "In the Access database '" + name + "', tblComps is a linked table: its records live in " +
                                    (other.empty() ? std::string("another file") : "'" + other + "'") +
                                    ". Import that file instead.");
    }

    const std::vector<AccessColumn> cols = file.columns(tableName);
    std::array<int, 9> at;
    at.fill(-1);
    AccessComponents result;
    result.format = file.format();
    std::vector<bool> wanted(cols.size(), false);
    for (std::size_t i = 0; i < cols.size(); ++i) {
        bool used = false;
        for (std::size_t f = 0; f < kComponentFields.size(); ++f) {
            if (at[f] < 0 && detail::sameName(cols[i].name, kComponentFields[f])) {
                at[f] = static_cast<int>(i);
                used = wanted[i] = true;
                break;
            }
        }
        if (!used) result.leftOutColumns.push_back(cols[i].name);
    }
    std::string missing;
    for (std::size_t f = 0; f < kComponentFields.size(); ++f)
        if (at[f] < 0) missing += (missing.empty() ? "" : ", ") + std::string(kComponentFields[f]);
    if (!missing.empty())
        throw DbError(kMissingObject, "The table tblComps of the Access database '" + name +
                                          "' lacks the field" + (missing.find(',') != std::string::npos ? "s " : " ") +
                                          missing +
                                          ". A component table has the fields Component, MolWt, CritTemp, CritPress, "
                                          "CritVol, AcentricF, K1, K2 and K3: add the missing ones in Access (they "
                                          "may stay empty) and import again.");
    for (std::size_t f = 0; f < kComponentFields.size(); ++f) {
        const AccessColumn& c = cols[at[f]];
        const std::string lead = "The field " + c.name + " of tblComps in the Access database '" + name + "' is ";
        if (f == 0) {
            if (!isTextType(c.type))
                throw DbError(kRefused, lead + "of type " + c.typeName +
                                            ", but a component's name is text. Change its type to Text in Access and "
                                            "import again.");
        } else if (c.type == MDB_NUMERIC) {
            throw DbError(kRefused, lead + "a Decimal field, which Zolvant cannot take exactly. Change its type to "
                                           "Double in Access and import again.");
        } else if (!isNumberType(c.type)) {
            throw DbError(kRefused, lead + "of type " + c.typeName +
                                        ", but it must hold numbers. Change its type to Double in Access and import "
                                        "again.");
        }
    }
    AccessTableData data = file.readTable(tableName, wanted);
    for (auto& row : data.rows) {
        std::array<FieldValue, 9> record;
        for (std::size_t f = 0; f < kComponentFields.size(); ++f) record[f] = std::move(row[at[f]]);
        result.records.push_back(std::move(record));
    }
    return result;
}

AccessComponents readAccessComponents(const std::string& path) {
    auto file = AccessFile::open(path);
    return readAccessComponents(*file);
}

}  // namespace zolvant::db
