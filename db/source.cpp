#include "db/source.h"

#include <algorithm>
#include <cctype>

#include "db/database.h"
#include "db/engine.h"

namespace zolvant::db::detail {

namespace {

bool isWordChar(unsigned char c) { return std::isalnum(c) || c == '_' || c == '$' || c >= 0x80; }

// Index just past a quoted run that closes with `close`, a doubled closing
// character standing for itself.
std::size_t skipQuoted(std::string_view sql, std::size_t i, char close) {
    ++i;
    while (i < sql.size()) {
        if (sql[i] == close) {
            if (close != ']' && i + 1 < sql.size() && sql[i + 1] == close) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return sql.size();
}

bool isKeyword(const Token& t, std::string_view kw) { return t.word && !t.quoted && t.text == kw; }

}  // namespace

std::vector<Token> tokenize(std::string_view sql) {
    std::vector<Token> out;
    int depth = 0;
    std::size_t i = 0;
    while (i < sql.size()) {
        const unsigned char c = static_cast<unsigned char>(sql[i]);
        if (std::isspace(c)) {
            ++i;
        } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
            const auto nl = sql.find('\n', i);
            i = nl == std::string_view::npos ? sql.size() : nl + 1;
        } else if (c == '/' && i + 1 < sql.size() && sql[i + 1] == '*') {
            const auto close = sql.find("*/", i + 2);
            i = close == std::string_view::npos ? sql.size() : close + 2;
        } else if (c == '\'') {
            const std::size_t end = skipQuoted(sql, i, '\'');
            out.push_back({i, end, depth, false, false, std::string(sql.substr(i, end - i)), 0});
            i = end;
        } else if (c == '"' || c == '`' || c == '[') {
            const char close = c == '[' ? ']' : static_cast<char>(c);
            const std::size_t end = skipQuoted(sql, i, close);
            std::string name;
            for (std::size_t k = i + 1; k + 1 < end; ++k) {
                name += sql[k];
                if (close != ']' && sql[k] == close) ++k;  // doubled quote
            }
            out.push_back({i, end, depth, true, true, name, 0});
            i = end;
        } else if (isWordChar(c)) {
            std::size_t end = i;
            while (end < sql.size() && isWordChar(static_cast<unsigned char>(sql[end]))) ++end;
            std::string word(sql.substr(i, end - i));
            std::transform(word.begin(), word.end(), word.begin(),
                           [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
            out.push_back({i, end, depth, true, false, word, 0});
            i = end;
        } else {
            if (c == ')') --depth;
            out.push_back({i, i + 1, depth, false, false, std::string(1, static_cast<char>(c)),
                           static_cast<char>(c)});
            if (c == '(') ++depth;
            ++i;
        }
    }
    return out;
}

SelectPlan planSelect(std::string_view sql) {
    std::vector<Token> tokens = tokenize(sql);
    while (!tokens.empty() && tokens.back().punct == ';' && tokens.back().depth == 0) tokens.pop_back();
    for (const Token& t : tokens)
        if (t.punct == ';' && t.depth == 0)
            throw DbError(kEngine, "A recordset source must be a single SELECT statement.");

    SelectPlan plan;
    if (tokens.empty()) return plan;
    plan.plainSql = std::string(sql.substr(0, tokens.back().end));
    if (!isKeyword(tokens.front(), "SELECT")) return plan;

    // Only a plain read of one table can be keyed by its row ids.
    if (tokens.size() > 1 && isKeyword(tokens[1], "DISTINCT")) return plan;
    std::size_t from = 0, order = 0, limit = 0;
    for (std::size_t k = 1; k < tokens.size(); ++k) {
        const Token& t = tokens[k];
        if (t.depth != 0) continue;
        for (const char* kw : {"UNION", "INTERSECT", "EXCEPT", "GROUP", "HAVING", "WINDOW", "JOIN"})
            if (isKeyword(t, kw)) return plan;
        if (t.punct == ',' && from != 0 && order == 0) return plan;  // FROM a, b
        if (isKeyword(t, "FROM") && from == 0) from = k;
        if (isKeyword(t, "ORDER") && k + 1 < tokens.size() && isKeyword(tokens[k + 1], "BY") && order == 0) order = k;
        if (isKeyword(t, "LIMIT") && limit == 0) limit = k;
    }
    if (from < 2 || from + 1 >= tokens.size()) return plan;
    // The table: a name, optionally followed by an alias.
    std::size_t itemEnd = from + 1;
    while (itemEnd < tokens.size() && tokens[itemEnd].depth == 0 && tokens[itemEnd].word &&
           !isKeyword(tokens[itemEnd], "WHERE") && !isKeyword(tokens[itemEnd], "ORDER") &&
           !isKeyword(tokens[itemEnd], "LIMIT"))
        ++itemEnd;
    const std::size_t itemSize = itemEnd - (from + 1);
    if (itemSize < 1 || itemSize > 3) return plan;
    if (itemEnd < tokens.size() && !isKeyword(tokens[itemEnd], "WHERE") && !isKeyword(tokens[itemEnd], "ORDER") &&
        !isKeyword(tokens[itemEnd], "LIMIT"))
        return plan;  // a dotted name, a sub-query, a table function: not a plain table
    const Token& table = tokens[from + 1];
    if (!table.word) return plan;

    std::string keyed = plan.plainSql;
    const std::size_t orderAt = limit ? tokens[limit - 1].end : tokens.back().end;
    keyed.insert(orderAt, order ? ", rowid" : " ORDER BY rowid");
    const std::size_t keyAt = tokens[from - 1].end;
    keyed.insert(keyAt, ", rowid AS " + std::string(kKeyColumn));
    plan.baseTable = table.quoted ? table.text : std::string(sql.substr(table.begin, table.end - table.begin));
    plan.keyedSql = std::move(keyed);
    return plan;
}

}  // namespace zolvant::db::detail
