#pragma once
// Internal to zolvant_db: how a recordset source (a table, a query or a
// SELECT statement) is turned into statements that give each row's record key.

#include <string>
#include <string_view>
#include <vector>

namespace zolvant::db::detail {

struct Token {
    std::size_t begin = 0;
    std::size_t end = 0;
    int depth = 0;          // parentheses around the token
    bool word = false;      // a keyword or identifier (quoted or not)
    bool quoted = false;    // "x", `x` or [x]: never a keyword
    std::string text;       // words: upper case when unquoted, bare name when quoted
    char punct = 0;         // punctuation: the character
};

// Splits SQL into tokens, skipping blanks and comments. String literals come
// out as non-word tokens.
std::vector<Token> tokenize(std::string_view sql);

// A SELECT statement as the recordset runs it.
struct SelectPlan {
    std::string plainSql;    // the statement, without a trailing semicolon
    // When the statement reads one table (no join, grouping, DISTINCT or
    // compound): the table, and the statement with the row id appended as
    // the key column and as the last ORDER BY term, so that the order is
    // fixed even among equal sort values.
    std::string baseTable;
    std::string keyedSql;
};

// Throws DbError when sql holds more than one statement.
SelectPlan planSelect(std::string_view sql);

}  // namespace zolvant::db::detail
