#include "report/case_json.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <string_view>

#include "report/case_report.h"
#include "solver/text.h"

namespace zolvant::report {
namespace {

// A JSON value of the shapes a case holds. Strings are views into the line.
class Reader {
public:
    explicit Reader(std::string_view s) : s_(s) {}

    bool atEnd() {
        skipBlanks();
        return i_ == s_.size();
    }
    bool take(char c) {
        skipBlanks();
        if (i_ < s_.size() && s_[i_] == c) {
            ++i_;
            return true;
        }
        return false;
    }
    bool peek(char c) {
        skipBlanks();
        return i_ < s_.size() && s_[i_] == c;
    }
    // A string without escapes, control characters or non-ASCII bytes.
    std::optional<std::string_view> string() {
        if (!take('"')) return std::nullopt;
        const std::size_t start = i_;
        for (; i_ < s_.size(); ++i_) {
            const auto ch = static_cast<unsigned char>(s_[i_]);
            if (ch == '"') return s_.substr(start, i_++ - start);
            if (ch == '\\' || ch < 0x20 || ch >= 0x80) return std::nullopt;
        }
        return std::nullopt;
    }
    bool literal(std::string_view word) {
        skipBlanks();
        if (s_.substr(i_, word.size()) != word) return false;
        i_ += word.size();
        return true;
    }
    // A number of the JSON grammar, converted as the QJson parser converts
    // it: a whole number that fits in 64 bits as an integer, then to double.
    std::optional<double> number() {
        skipBlanks();
        const std::size_t start = i_;
        bool whole = true;
        if (i_ < s_.size() && s_[i_] == '-') ++i_;
        if (i_ < s_.size() && s_[i_] == '0') {
            ++i_;
        } else if (!digits()) {
            return std::nullopt;
        }
        if (i_ < s_.size() && s_[i_] == '.') {
            ++i_;
            whole = false;
            if (!digits()) return std::nullopt;
        }
        if (i_ < s_.size() && (s_[i_] == 'e' || s_[i_] == 'E')) {
            ++i_;
            whole = false;
            if (i_ < s_.size() && (s_[i_] == '+' || s_[i_] == '-')) ++i_;
            if (!digits()) return std::nullopt;
        }
        const char* first = s_.data() + start;
        const char* last = s_.data() + i_;
        if (whole) {
            std::int64_t n = 0;
            const auto r = std::from_chars(first, last, n);
            if (r.ec == std::errc() && r.ptr == last) return static_cast<double>(n);
        }
        double d = 0.0;
        const auto r = std::from_chars(first, last, d);
        if (r.ec != std::errc() || r.ptr != last) return std::nullopt;  // out of range: the QJson path decides
        // QJson keeps a whole double as an integer, so -0.0 reads as 0.
        return d == 0.0 ? 0.0 : d;
    }

private:
    bool digits() {
        const std::size_t start = i_;
        while (i_ < s_.size() && s_[i_] >= '0' && s_[i_] <= '9') ++i_;
        return i_ > start;
    }
    void skipBlanks() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\n' || s_[i_] == '\r')) ++i_;
    }
    std::string_view s_;
    std::size_t i_ = 0;
};

struct Decline {};

// A box's text: a string, a number as its shortest text, null.
std::optional<std::string> boxText(Reader& r) {
    if (r.literal("null")) return std::nullopt;
    if (r.peek('"')) {
        const auto s = r.string();
        if (!s) throw Decline{};
        return std::string(*s);
    }
    const auto n = r.number();
    if (!n) throw Decline{};
    return shortestText(*n);
}

std::optional<double> constant(Reader& r) {
    if (r.literal("null")) return std::nullopt;
    const auto n = r.number();
    if (!n) throw Decline{};
    return *n;
}

// Calls member(key) for each key of an object; a key seen twice declines.
template <std::size_t N, class Member>
void object(Reader& r, const std::array<std::string_view, N>& keys, Member&& member) {
    if (!r.take('{')) throw Decline{};
    std::array<bool, N> seen{};
    if (r.take('}')) return;
    do {
        const auto key = r.string();
        if (!key || !r.take(':')) throw Decline{};
        std::size_t k = 0;
        while (k < N && keys[k] != *key) ++k;
        if (k == N || seen[k]) throw Decline{};
        seen[k] = true;
        member(k);
    } while (r.take(','));
    if (!r.take('}')) throw Decline{};
}

constexpr std::array<std::string_view, 3> kRootKeys = {"temperature", "pressure", "components"};
// The constants first, in the order of Prop.
constexpr std::array<std::string_view, 8> kComponentKeys = {"Tc", "Pc", "omega", "K1", "K2", "K3", "name", "fraction"};

CaseComponent component(Reader& r, const ComponentLookup& lookup, QString& name) {
    CaseComponent c;
    std::array<std::optional<std::optional<double>>, 6> given;
    object(r, kComponentKeys, [&](std::size_t k) {
        if (k < 6) {
            given[k] = constant(r);
        } else if (k == 6) {
            if (r.literal("null")) return;
            const auto s = r.string();
            if (!s || !lookup) throw Decline{};
            name = QString::fromLatin1(s->data(), static_cast<qsizetype>(s->size()));
            std::optional<ComponentConstants> found;
            try {
                found = lookup(name);
            } catch (const LookupFailure&) {
                throw Decline{};
            }
            if (!found) throw Decline{};
            c.constants = *found;
        } else {
            c.fraction = boxText(r);
        }
    });
    // Constants given beside a name replace the name's, whatever their order.
    for (std::size_t p = 0; p < 6; ++p)
        if (given[p]) c.constants[p] = *given[p];
    return c;
}

Case readCase(Reader& r, const ComponentLookup& lookup) {
    Case c;
    bool components = false;
    object(r, kRootKeys, [&](std::size_t k) {
        if (k == 0) {
            c.input.temperature = boxText(r);
        } else if (k == 1) {
            c.input.pressure = boxText(r);
        } else {
            components = true;
            if (!r.take('[')) throw Decline{};
            if (r.take(']')) return;
            do {
                if (c.input.components.size() == 4) throw Decline{};
                c.input.components.push_back(component(r, lookup, c.names[c.input.components.size()]));
            } while (r.take(','));
            if (!r.take(']')) throw Decline{};
        }
    });
    if (!components || !r.atEnd()) throw Decline{};
    return c;
}

// Appends "text" as the QJson writer escapes ASCII; false on a byte that
// is not ASCII.
bool appendString(std::string& out, std::string_view text) {
    static const char hex[] = "0123456789abcdef";
    out += '"';
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x80) return false;
        if (u >= 0x20 && u != '"' && u != '\\') {
            out += c;
            continue;
        }
        out += '\\';
        switch (u) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '\b': out += 'b'; break;
        case '\f': out += 'f'; break;
        case '\n': out += 'n'; break;
        case '\r': out += 'r'; break;
        case '\t': out += 't'; break;
        default:
            out += "u00";
            out += hex[u >> 4];
            out += hex[u & 0xf];
        }
    }
    out += '"';
    return true;
}

bool appendColumn(std::string& out, const GridTexts& g, int block, Column c) {
    out += '[';
    for (int row = 0; row <= kMixtureRow; ++row) {
        if (row > 0) out += ',';
        if (!appendString(out, g.text(block, c, row))) return false;
    }
    out += ']';
    return true;
}

// The answer in the QJson writer's order: keys sorted, no blanks.
bool writeAnswer(std::string& out, const CaseReport& r) {
    if (!r.outcome.solved) {
        out += R"({"error":{"message":)";
        if (!appendString(out, r.outcome.message)) return false;
        out += R"(,"title":)";
        if (!appendString(out, r.outcome.title)) return false;
        out += R"(},"ok":false})";
        return true;
    }
    out += R"({"blocks":[)";
    for (int b = 0; b < kBlocks; ++b) {
        out += b == 0 ? R"({"Z":)" : R"(,{"Z":)";
        if (!appendColumn(out, r.grid, b, Column::Z)) return false;
        out += R"(,"liquid":)";
        if (!appendColumn(out, r.grid, b, Column::Liquid)) return false;
        out += R"(,"mark":[)";
        for (int row = 0; row < 4; ++row) {
            if (row > 0) out += ',';
            const std::optional<Mark> m = r.grid.mark(b, row);
            if (!m)
                out += "null";
            else if (*m == Mark::Window)
                out += R"("window")";
            else
                out += std::to_string(markColour(*m));
        }
        out += R"(],"name":)";
        appendString(out, blockName(b));
        out += R"(,"vapour":)";
        if (!appendColumn(out, r.grid, b, Column::Vapour)) return false;
        out += '}';
    }
    out += R"(],"numComps":)";
    out += std::to_string(r.outcome.state.numComps);
    out += R"(,"ok":true})";
    return true;
}

}  // namespace

std::optional<Case> readPlainCase(QByteArrayView line, const ComponentLookup& lookup) {
    Reader r(std::string_view(line.data(), static_cast<std::size_t>(line.size())));
    try {
        return readCase(r, lookup);
    } catch (const Decline&) {
        return std::nullopt;
    }
}

bool appendPlainJsonLine(std::string& out, const CaseReport& r) {
    if (r.inputError) return false;
    const std::size_t size = out.size();
    if (writeAnswer(out, r)) return true;
    out.resize(size);
    return false;
}

}  // namespace zolvant::report
