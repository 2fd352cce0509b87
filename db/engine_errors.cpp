#include "db/engine.h"

#include <string>
#include <tuple>

#include "db/engine_guards.h"

namespace zolvant::db::detail {

// ---------------------------------------------------------------- errors

namespace {

std::string afterLast(const std::string& text, char c) {
    const auto at = text.rfind(c);
    return at == std::string::npos ? text : text.substr(at + 1);
}

std::string afterMarker(const std::string& text, const std::string& marker) {
    const auto at = text.find(marker);
    return at == std::string::npos ? std::string() : text.substr(at + marker.size());
}

std::string quotedValue(const ErrorContext& ctx, const std::string& field) {
    if (!ctx.valueOf) return {};
    const auto v = ctx.valueOf(field);
    return v ? "'" + *v + "'" : std::string();
}

std::string describeConstraint(int rc, const std::string& msg, const ErrorContext& ctx) {
    static const std::string kNoName =
        "A component must have a name: the field Component cannot be empty.";
    switch (rc) {
    case SQLITE_CONSTRAINT_DATATYPE: {
        // "cannot store TEXT value in REAL column tblComps.CritTemp"
        const std::string column = afterMarker(msg, " column ");
        if (!column.empty()) {
            const std::string field = afterLast(column, '.');
            const std::string value = quotedValue(ctx, field);
            return (value.empty() ? std::string("The value") : "The value " + value) +
                   " is not a number: the field " + field + " takes numbers only.";
        }
        break;
    }
    case SQLITE_CONSTRAINT_NOTNULL: {
        const std::string field = afterLast(afterMarker(msg, ": "), '.');
        if (sameName(field, "Component")) return kNoName;
        if (!field.empty()) return "The field " + field + " must have a value.";
        break;
    }
    case SQLITE_CONSTRAINT_CHECK: {
        const std::string name = afterMarker(msg, ": ");
        if (name == "ComponentNotEmpty") return kNoName;
        // "<Field>Finite" and "<Field>Positive" name the field they guard.
        for (const auto& [suffix, lead, tail] : {std::tuple<std::string, const char*, const char*>{
                 "Finite", " is too large to be stored in the field ", "."},
                 {"Positive", " cannot be stored in the field ", ": it must be greater than 0."}}) {
            if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
                continue;
            const std::string field = name.substr(0, name.size() - suffix.size());
            const std::string value = quotedValue(ctx, field);
            return (value.empty() ? std::string("The value") : "The value " + value) + lead + field + tail;
        }
        break;
    }
    default:
        break;
    }
    return "The database refused the record: " + msg + ".";
}

const std::string kValueBound = ": a name or value in a component database is at most " +
                                std::to_string(kMaxValueBytes) + " bytes long.";

}  // namespace

std::string subjectOf(const ErrorContext& ctx) {
    return ctx.subject.empty() ? "A query of the database '" + ctx.path + "'" : ctx.subject;
}

DbError valueTooLong(const ErrorContext& ctx, long long bytes) {
    return DbError(kTooLarge, subjectOf(ctx) + " gives a value of " + std::to_string(bytes) + " bytes" + kValueBound);
}

void throwEngineError(sqlite3* db, int rc, const ErrorContext& ctx) {
    const std::string msg = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    const std::string file = "'" + ctx.path + "'";
    switch (rc & 0xff) {
    case SQLITE_INTERRUPT:
        if (tWatch.expired)
            throw DbError(kTimedOut, subjectOf(ctx) + " did not finish within " + std::to_string(kBudgetSeconds) +
                                         " seconds.");
        break;
    case SQLITE_TOOBIG:
        throw DbError(kTooLarge, subjectOf(ctx) + " builds a value of more than " +
                                     std::to_string(kMaxEngineLength) + " bytes" + kValueBound);
    case SQLITE_NOMEM:
        throw DbError(kTooLarge, subjectOf(ctx) + " needs more memory than a component database can: it was stopped.");
    case SQLITE_AUTH:
    case SQLITE_ERROR: {
        if (!tRefusedFunction.empty() && msg.rfind("not authorized", 0) == 0) {
            const std::string function = std::move(tRefusedFunction);
            tRefusedFunction.clear();
            throw DbError(kEngine, subjectOf(ctx) + " calls " + function +
                                       "(), which the program does not let a database file run.");
        }
        // "unsafe use of load_extension()": the file's schema calls a
        // function it may not.
        const std::string unsafe = afterMarker(msg, "unsafe use of ");
        if (!unsafe.empty())
            throw DbError(kEngine, subjectOf(ctx) + " calls " + unsafe +
                                       ", which the program does not let a database file run.");
        break;
    }
    case SQLITE_CONSTRAINT:
        throw DbError(kRefused, describeConstraint(rc, msg, ctx));
    case SQLITE_READONLY:
        // The engine says "read-only" for two states the user must be told
        // apart from a file opened read-only.
        if (rc == SQLITE_READONLY_DBMOVED)
            throw DbError(kReadOnly, "The database file " + file +
                                         " has been deleted or moved while it was open: changes cannot be stored in it.");
        if (rc == SQLITE_READONLY_ROLLBACK || rc == SQLITE_READONLY_RECOVERY)
            throw DbError(kEngine, "The database file " + file +
                                       " was left unfinished by a program that stopped while changing it; it "
                                       "cannot be repaired while open read-only.");
        throw DbError(kReadOnly, "The database " + file + " is open read-only: it cannot be changed.");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        throw DbError(kBusy, "The database " + file +
                                 " is locked by another program or window. Try again in a moment.");
    case SQLITE_NOTADB:
        throw DbError(kNotADatabase, "The file " + file +
                                         " is not a component database: it is not a SQLite database file.");
    case SQLITE_CORRUPT:
        throw DbError(kEngine, "The database file " + file + " is damaged.");
    case SQLITE_FULL:
        throw DbError(kEngine, "The disk holding the database " + file + " is full.");
    case SQLITE_CANTOPEN:
        throw DbError(kEngine, "The database file " + file + " cannot be opened.");
    case SQLITE_IOERR:
        throw DbError(kEngine, "The database file " + file + " could not be read or written: " + msg + ".");
    default:
        break;
    }
    throw DbError(kEngine, "The database engine failed: " + msg + ".");
}

}  // namespace zolvant::db::detail
