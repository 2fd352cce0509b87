#pragma once
// Shared by the fuzz targets: a check that stops the run with a readable
// report, and reference implementations written independently of the code
// under test (a table-driven scanner of the number grammar, exact decimal
// expansions, the shape of a masked number).

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace zolvant::fuzz {

[[noreturn]] inline void fail(const char* file, int line, const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n  %s\n", file, line, what, detail.c_str());
    std::fflush(stderr);
    std::abort();
}

#define FUZZ_CHECK(cond, detail)                                                   \
    do {                                                                           \
        if (!(cond)) ::zolvant::fuzz::fail(__FILE__, __LINE__, #cond, (detail)); \
    } while (0)

// The text with unprintable bytes escaped, for reports.
inline std::string show(std::string_view text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        }
    }
    return out + "\"";
}

inline std::string showDouble(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g (%a)", v, v);
    return buf;
}

// The number grammar as a state table: blanks, sign, digits with at most one
// point (at least one digit), optional exponent with digits. Returns the
// length of the longest prefix of `text` (from `from`) that is a number, or 0.
inline std::size_t longestNumberAt(std::string_view text, std::size_t from) {
    enum State { Start, Sign, Int, PointAfterInt, PointOnly, Frac, E, ESign, Exp, Dead };
    auto cls = [](char c) { return c >= '0' && c <= '9' ? 0 : c == '.' ? 1 : (c == '+' || c == '-') ? 2 : (c == 'e' || c == 'E') ? 3 : 4; };
    //                       digit          .            sign     e     other
    static constexpr State next[9][5] = {
        /* Start */         {Int,           PointOnly,     Sign, Dead, Dead},
        /* Sign */          {Int,           PointOnly,     Dead, Dead, Dead},
        /* Int */           {Int,           PointAfterInt, Dead, E,    Dead},
        /* PointAfterInt */ {Frac,          Dead,          Dead, E,    Dead},
        /* PointOnly */     {Frac,          Dead,          Dead, Dead, Dead},
        /* Frac */          {Frac,          Dead,          Dead, E,    Dead},
        /* E */             {Exp,           Dead,          ESign, Dead, Dead},
        /* ESign */         {Exp,           Dead,          Dead, Dead, Dead},
        /* Exp */           {Exp,           Dead,          Dead, Dead, Dead},
    };
    auto accepting = [](State s) { return s == Int || s == PointAfterInt || s == Frac || s == Exp; };
    State s = Start;
    std::size_t best = 0;
    for (std::size_t i = from; i < text.size(); ++i) {
        s = next[s][cls(text[i])];
        if (s == Dead) break;
        if (accepting(s)) best = i + 1 - from;
    }
    return best;
}

inline std::size_t skipBlanks(std::string_view text, std::size_t i = 0) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    return i;
}

// strtod of a text already known to match the grammar (the process runs in
// the "C" locale, so the period is the decimal point).
inline double referenceValue(std::string_view number) {
    const std::string copy(number);
    return std::strtod(copy.c_str(), nullptr);
}

// The exact decimal expansion of a finite double in fixed notation.
inline std::string exactFixed(double v) {
    static char buf[1500];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 1080);
    FUZZ_CHECK(r.ec == std::errc(), "to_chars failed");
    return std::string(buf, r.ptr);
}

// `v` rounded half away from zero to `decimals` places, from its exact
// expansion, as "-ddd.ddd" (no sign when the result is zero).
inline std::string referenceFixed(double v, int decimals) {
    std::string exact = exactFixed(std::fabs(v));
    const std::size_t point = exact.find('.');
    std::string digits = exact.substr(0, point) + exact.substr(point + 1, static_cast<std::size_t>(decimals));
    const char next = exact[point + 1 + static_cast<std::size_t>(decimals)];
    if (next >= '5') {
        std::size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
        if (i == 0) digits.insert(digits.begin(), '1');
        else ++digits[i - 1];
    }
    std::size_t intLen = digits.size() - static_cast<std::size_t>(decimals);
    std::string intPart = digits.substr(0, intLen);
    while (intPart.size() > 1 && intPart.front() == '0') intPart.erase(intPart.begin());
    const std::string out = intPart + "." + digits.substr(intLen);
    const bool zero = out.find_first_not_of("0.") == std::string::npos;
    return (std::signbit(v) && !zero ? "-" : "") + out;
}

// A number in the shape of a fixed mask: optional minus, digits without
// leading zeros (one "0" allowed), a point, exactly `decimals` digits, and
// no "-0.00".
inline bool hasMaskShape(std::string_view t, int decimals) {
    std::size_t i = 0;
    if (i < t.size() && t[i] == '-') ++i;
    const std::size_t intBegin = i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
    const std::size_t intLen = i - intBegin;
    if (intLen == 0 || (intLen > 1 && t[intBegin] == '0')) return false;
    if (i >= t.size() || t[i] != '.') return false;
    ++i;
    const std::size_t fracBegin = i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
    if (i != t.size() || i - fracBegin != static_cast<std::size_t>(decimals)) return false;
    if (t[0] == '-' && t.find_first_not_of("-0.") == std::string_view::npos) return false;
    return true;
}

}  // namespace zolvant::fuzz
