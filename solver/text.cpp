#include "solver/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace zolvant {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The longest number at the start of `text` (after leading blanks), as the
// half-open range [begin, end) of its characters; begin == end when the text
// does not begin with a number. Trailing blanks are not part of the range.
struct Match {
    std::size_t begin = 0;
    std::size_t end = 0;
};

Match scanLeading(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && isBlank(text[i])) ++i;
    const std::size_t begin = i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < n && isDigit(text[i])) { ++i; ++digits; }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && isDigit(text[i])) { ++i; ++digits; }
    }
    if (digits == 0) return {begin, begin};
    std::size_t end = i;
    // An exponent belongs to the number only when it has digits.
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
        const std::size_t expDigits = j;
        while (j < n && isDigit(text[j])) ++j;
        if (j > expDigits) end = j;
    }
    return {begin, end};
}

// Value of characters already matched by scanLeading. Out of range means
// overflow (returned as infinity) or underflow (returned as zero); which one
// is told apart by the decimal magnitude of the matched text.
double convertMatched(std::string_view num) {
    bool negative = false;
    if (!num.empty() && (num.front() == '+' || num.front() == '-')) {
        negative = num.front() == '-';
        num.remove_prefix(1);
    }
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(num.data(), num.data() + num.size(), value,
                                           std::chars_format::general);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        // Decimal exponent of the first significant digit, saturated.
        long long position = 0;  // digits before the point, minus leading zeros
        bool seenPoint = false, seenNonZero = false;
        std::size_t i = 0;
        for (; i < num.size() && num[i] != 'e' && num[i] != 'E'; ++i) {
            const char c = num[i];
            if (c == '.') { seenPoint = true; continue; }
            if (!seenNonZero && c == '0') { if (seenPoint) --position; continue; }
            if (!seenNonZero) { seenNonZero = true; }
            if (!seenPoint) ++position;
        }
        long long exponent = 0;
        if (i < num.size()) {
            ++i;
            bool expNegative = false;
            if (i < num.size() && (num[i] == '+' || num[i] == '-')) expNegative = num[i++] == '-';
            for (; i < num.size(); ++i) {
                exponent = exponent * 10 + (num[i] - '0');
                if (exponent > 1'000'000'000) { exponent = 1'000'000'000; }
            }
            if (expNegative) exponent = -exponent;
        }
        value = (position + exponent > 0) ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

}  // namespace

std::optional<double> readNumber(std::string_view text) {
    const Match m = scanLeading(text);
    if (m.begin == m.end) return std::nullopt;
    std::size_t i = m.end;
    while (i < text.size() && isBlank(text[i])) ++i;
    if (i != text.size()) return std::nullopt;
    const double value = convertMatched(text.substr(m.begin, m.end - m.begin));
    if (std::isinf(value)) return std::nullopt;
    return value;
}

double leadingNumber(std::string_view text) {
    const Match m = scanLeading(text);
    if (m.begin == m.end) return 0.0;
    return convertMatched(text.substr(m.begin, m.end - m.begin));
}

namespace {

using u128 = unsigned __int128;

// Fixed notation with `decimals` digits after the point, at least one before
// it, rounded half away from zero on the exact binary value. A value that
// rounds to zero is shown without a sign.
std::string formatFixed(double value, int decimals) {
    if (!std::isfinite(value)) return "NA";
    static constexpr std::uint64_t kPow10[] = {1, 10, 100, 1000, 10000, 100000};
    const bool negative = std::signbit(value);
    const double magnitude = std::fabs(value);
    const auto d = static_cast<std::size_t>(decimals);

    // magnitude = M * 2^e with M an integer below 2^53.
    int exp2 = 0;
    const double fraction = std::frexp(magnitude, &exp2);
    const auto M = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    const int e = exp2 - 53;

    if (magnitude != 0.0 && e > 40) {
        // An integer too large for 128 bits once scaled: nothing to round.
        char buf[400];
        const auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::fixed, decimals);
        return (negative ? "-" : "") + std::string(buf, r.ptr);
    }

    // q = magnitude * 10^d rounded half up, exactly.
    u128 q = 0;
    if (magnitude == 0.0) {
        q = 0;
    } else if (e >= 0) {
        q = (static_cast<u128>(M) << e) * kPow10[d];
    } else {
        const u128 N = static_cast<u128>(M) * kPow10[d];  // below 2^70
        const int s = -e;
        if (s < 100) {
            q = N >> s;
            const u128 remainder = N - (q << s);
            if (remainder >= (static_cast<u128>(1) << (s - 1))) ++q;
        }
    }

    char buf[48];
    char* const end = buf + sizeof buf;
    char* p = end;
    if (q <= UINT64_MAX) {
        auto x = static_cast<std::uint64_t>(q);
        do { *--p = static_cast<char>('0' + x % 10); x /= 10; } while (x != 0);
    } else {
        u128 x = q;
        do { *--p = static_cast<char>('0' + static_cast<int>(x % 10)); x /= 10; } while (x != 0);
    }
    while (static_cast<std::size_t>(end - p) < d + 1) *--p = '0';
    const auto n = static_cast<std::size_t>(end - p);

    std::string out;
    out.reserve(n + 2);
    if (negative && q != 0) out.push_back('-');
    out.append(p, n - d);
    out.push_back('.');
    out.append(p + (n - d), d);
    return out;
}

// At most `precision` significant digits, rounded half away from zero on the
// exact binary value; no trailing zeros; plain notation when the rounded
// value's magnitude is in [1e-5, 1e15), otherwise "d.dddE+XX".
std::string formatSignificant(double value, int precision) {
    if (!std::isfinite(value)) return "NA";
    if (value == 0.0) return "0";
    // Every double has an exact decimal expansion of at most 767 significant
    // digits; ask for more so that the digits are exact, not rounded.
    char buf[800];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 780);
    const std::string_view text(buf, static_cast<std::size_t>(r.ptr - buf));
    const std::size_t ePos = text.find('e');
    std::string digits;
    digits.push_back(text[0]);
    digits.append(text.substr(2, ePos - 2));
    int exponent = 0;
    std::from_chars(text.data() + ePos + (text[ePos + 1] == '+' ? 2 : 1), text.data() + text.size(), exponent);

    const auto p = static_cast<std::size_t>(precision);
    const bool roundUp = digits[p] >= '5';
    digits.resize(p);
    if (roundUp) {
        std::size_t i = p;
        while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
        if (i == 0) {
            digits.insert(digits.begin(), '1');
            digits.pop_back();
            ++exponent;
        } else {
            ++digits[i - 1];
        }
    }
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out;
    if (std::signbit(value)) out.push_back('-');
    if (exponent >= -5 && exponent < 15) {
        if (exponent < 0) {
            out.append("0.");
            out.append(static_cast<std::size_t>(-exponent - 1), '0');
            out.append(digits);
        } else {
            const auto intDigits = static_cast<std::size_t>(exponent) + 1;
            if (digits.size() <= intDigits) {
                out.append(digits);
                out.append(intDigits - digits.size(), '0');
            } else {
                out.append(digits, 0, intDigits);
                out.push_back('.');
                out.append(digits, intDigits);
            }
        }
    } else {
        out.push_back(digits[0]);
        if (digits.size() > 1) {
            out.push_back('.');
            out.append(digits, 1);
        }
        out.push_back('E');
        out.push_back(exponent < 0 ? '-' : '+');
        const int absExp = exponent < 0 ? -exponent : exponent;
        if (absExp < 10) out.push_back('0');
        out.append(std::to_string(absExp));
    }
    return out;
}

}  // namespace

std::string formatMask(double value, Mask mask) {
    switch (mask) {
    case Mask::Vapour: return formatFixed(value, 1);
    case Mask::Liquid:
    case Mask::MixLiquid: return formatFixed(value, 2);
    case Mask::Z: return formatFixed(value, 4);
    case Mask::Fraction: return formatFixed(value, 3);
    }
    return "NA";
}

std::string formatGeneral(float value) { return formatSignificant(static_cast<double>(value), 7); }
std::string formatGeneral(double value) { return formatSignificant(value, 15); }

std::string formatDigits(double value, int significant) {
    return formatSignificant(value, std::clamp(significant, 1, 17));
}

std::string shortestText(double value) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

}  // namespace zolvant
