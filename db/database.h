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
    kAccessDatabase = 3343,    // an Access (Jet/ACE) file: it must be imported, not opened
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

    // A dynaset over a query name (qryCritCos), a table or a SELECT statement.
    std::unique_ptr<Recordset> OpenRecordset(const std::string& source);
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
// Sources: the name of a table or of a query exposing the record key (as
// qryCritCos does), or a SELECT over one table; these can be changed. Any
// other SELECT (join, grouping, DISTINCT, ...) or a query without the key is
// shown as captured, read-only.
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
    Recordset() = default;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace zolvant::db
