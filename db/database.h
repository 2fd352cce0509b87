#pragma once
// The component database: a SQLite file (named Components.mdb for the
// program's texts) holding tblComps and the view qryCritCos.
// No widgets here; QtCore only for the settings.

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

struct sqlite3;

namespace zolvant::db {

// Failure numbers. The two start-up failures keep their historic numbers so
// that callers can tell them from every other failure.
enum ErrorNumber : int {
    kNoCurrentRecord = 3021,
    kFileNotFound = 3024,
    kInvalidPath = 3044,
    kNotADatabase = 3049,
    kMissingObject = 3078,     // tblComps or qryCritCos absent
    kReadOnly = 3027,
    kUpdateWithoutAddNew = 3020,
    kRefused = 3162,           // a value or record the table refuses
    kBusy = 3260,              // locked by another connection past the busy timeout
    kEngine = 3000,            // any other engine failure
    kRecordDeleted = 3167,     // the current record was deleted through another connection
    kInvalidBookmark = 3159,   // a bookmark of no record of this recordset
    kUnknownField = 3265,      // no field of that name in the recordset
    kAlreadyExists = 3204,     // creating a database where a file already is
    kTimedOut = 3234,          // a statement stopped past its time budget
    kTooLarge = 3035,          // more rows, or a longer value, than a component database holds
};

class DbError : public std::runtime_error {
public:
    DbError(int number, const std::string& description)
        : std::runtime_error(description), number_(number) {}
    int number() const { return number_; }
    std::string description() const { return what(); }
private:
    int number_;
};

// A field's value: Null, a number, or a text.
using FieldValue = std::variant<std::monostate, double, std::string>;
inline bool isNull(const FieldValue& v) { return std::holds_alternative<std::monostate>(v); }

class Recordset;

// What a recordset shows: a table or a view of the file by name, the fields
// taken from it (none: all of them, in its own order) and the fields its rows
// are sorted by (none: the view's own order, or a table's stored order).
// Names only: a source is never SQL text, so nothing of it is parsed.
struct RecordSource {
    std::string object;
    std::vector<std::string> fields;
    std::vector<std::string> orderBy;
};

// The main window's source: the saved query qryCritCos as the file defines it.
inline const RecordSource kCritCosSource{"qryCritCos", {}, {}};
// The editor's: every record of tblComps with its nine fields, sorted by name.
inline const RecordSource kEditorSource{
    "tblComps", {"Component", "MolWt", "CritTemp", "CritPress", "CritVol", "AcentricF", "K1", "K2", "K3"}, {"Component"}};

// For tests only: while on, every OpenDatabase opens read-only, as it does a
// file the user may not write. Tests that run as root need it, since root
// writes any file whatever its permission bits say.
void setForceReadOnlyForTests(bool on);

class Database {
public:
    // Opens an existing file, shared and writable (read-only when the file
    // cannot be written). Never creates a file. Throws DbError.
    static std::unique_ptr<Database> OpenDatabase(const std::string& path);
    // The same, read-only when readOnly is true (for readers that never write).
    static std::unique_ptr<Database> OpenDatabase(const std::string& path, bool readOnly);
    // Creates a new, empty component database; refuses an existing file.
    static std::unique_ptr<Database> CreateDatabase(const std::string& path);
    ~Database();

    // A dynaset over a source; the string form names a table or a query
    // with all its fields in its own order.
    std::unique_ptr<Recordset> OpenRecordset(const RecordSource& source);
    std::unique_ptr<Recordset> OpenRecordset(const std::string& object);
    void Close();

    bool readOnly() const;
    const std::string& path() const;
    sqlite3* handle() const;   // for the recordsets of this connection

private:
    Database() = default;
    struct Impl;
    std::unique_ptr<Impl> impl_;
    friend class Recordset;
};

// Opaque position of a record; compare by value.
using Bookmark = long long;

// A dynaset: the keys of its rows are captured when it is opened or
// re-queried, and each field is read by key when asked for, so a record
// changed elsewhere shows its stored values and one deleted elsewhere fails
// readably (kRecordDeleted). Records added through it stay at its end until
// Requery. Between calls it holds no statement and no lock.
// A table, or a query exposing the record key of tblComps (as qryCritCos
// does), can be changed through it; a query without the key is read-only.
// AddNew/Edit fill an edit buffer that Update stores in one statement; a
// move, Requery, Delete or another AddNew/Edit discards a pending buffer.
// While a buffer is pending, Fields gives the buffer's text for the fields
// set in it.
class Recordset {
public:
    ~Recordset();

    void MoveFirst();    // DbError kNoCurrentRecord on an empty set
    void MoveLast();
    void MoveNext();     // from the last record: EOF_() becomes true
    void MovePrevious(); // from the first record: BOF() becomes true
    void Move(long n);   // n records forward from the current one
    void Requery();      // runs the source again: sees what other connections stored;
                         // when it fails, the rows and the current record stay as they were

    bool BOF() const;
    bool EOF_() const;   // EOF is a <cstdio> macro
    long RecordCount() const;
    long AbsolutePosition() const;  // zero-based; -1 without a current record

    Bookmark GetBookmark() const;           // "Bookmark" read
    void SetBookmark(Bookmark b);           // "Bookmark" write: move there

    FieldValue Fields(const std::string& name) const;   // DbError kNoCurrentRecord without one
    // Field assignment in the edit buffer: the text is converted by the
    // engine to the field's type (a text the column refuses fails at Update).
    void SetField(const std::string& name, const std::string& text);
    void SetFieldNull(const std::string& name);

    void AddNew();
    void Edit();
    void Update();        // a failed Update changes nothing in the file and keeps the buffer
    void CancelUpdate();
    void Delete();        // no current record until the next move
    void Close();

private:
    friend class Database;
    friend class ReadBatch;
    Recordset() = default;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// While it lives, the reads through a recordset share one read transaction:
// a run of them (a component box's list, read name by name) takes the
// file's lock once instead of once per read, and sees one state of the file.
// Does nothing inside a transaction already open. Ends without a failure.
class ReadBatch {
public:
    explicit ReadBatch(const Recordset& rs);
    ~ReadBatch();
    ReadBatch(const ReadBatch&) = delete;
    ReadBatch& operator=(const ReadBatch&) = delete;

private:
    sqlite3* db_ = nullptr;
};

}  // namespace zolvant::db
