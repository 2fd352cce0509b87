// The format masks and the general formats on any value (any bit pattern,
// or the value of a typed text, which reaches the rounding ties): never a
// crash, never "inf" or "nan", exactly the digits of rounding half away from
// zero on the exact value, and a text that reads back to the value within
// the rounding.

#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "solver/text.h"

using namespace zolvant;
using namespace zolvant::fuzz;

namespace {

// At most `precision` significant digits, half away from zero, no trailing
// zeros; plain for a rounded magnitude in [1e-5, 1e15), else "d.ddE+XX".
std::string referenceGeneral(double v, int precision) {
    if (!std::isfinite(v)) return "NA";
    if (v == 0.0) return "0";
    std::string exact = exactFixed(std::fabs(v));
    const std::size_t point = exact.find('.');
    std::string all = exact.substr(0, point) + exact.substr(point + 1);
    const std::size_t first = all.find_first_not_of('0');
    // Decimal exponent of the first significant digit.
    int exponent = static_cast<int>(point) - static_cast<int>(first) - 1;
    std::string digits = all.substr(first, static_cast<std::size_t>(precision));
    digits.resize(static_cast<std::size_t>(precision), '0');
    const std::size_t after = first + static_cast<std::size_t>(precision);
    if (after < all.size() && all[after] >= '5') {
        std::size_t i = digits.size();
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
    std::string out = std::signbit(v) ? "-" : "";
    if (exponent >= -5 && exponent < 15) {
        if (exponent < 0) return out + "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
        const auto intDigits = static_cast<std::size_t>(exponent + 1);
        if (digits.size() <= intDigits) return out + digits + std::string(intDigits - digits.size(), '0');
        return out + digits.substr(0, intDigits) + "." + digits.substr(intDigits);
    }
    out += digits.substr(0, 1);
    if (digits.size() > 1) out += "." + digits.substr(1);
    char e[16];
    std::snprintf(e, sizeof e, "E%c%02d", exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent);
    return out + e;
}

void checkMask(double v, Mask mask, int decimals, const std::string& origin) {
    const std::string text = formatMask(v, mask);
    const std::string where = origin + " value " + showDouble(v) + " mask " + std::to_string(decimals) + ": " + show(text);
    if (!std::isfinite(v)) {
        FUZZ_CHECK(text == "NA", where);
        return;
    }
    FUZZ_CHECK(hasMaskShape(text, decimals), where);
    FUZZ_CHECK(text == referenceFixed(v, decimals), where + " expected " + referenceFixed(v, decimals));
    const std::optional<double> back = readNumber(text);
    FUZZ_CHECK(back.has_value(), where);
    // Within half of the last shown digit, up to the rounding of the check.
    const double half = 0.5 * std::pow(10.0, -decimals);
    FUZZ_CHECK(std::fabs(*back - v) <= half * (1 + 1e-9) + std::fabs(v) * 0x1p-52, where);
}

void checkGeneral(double v, int precision, const std::string& text, const std::string& origin) {
    const std::string where = origin + " value " + showDouble(v) + " precision " + std::to_string(precision) +
                              ": " + show(text);
    const std::string want = referenceGeneral(v, precision);
    FUZZ_CHECK(text == want, where + " expected " + want);
    FUZZ_CHECK(text.find("inf") == std::string::npos && text.find("nan") == std::string::npos, where);
    if (!std::isfinite(v)) return;
    const std::optional<double> back = readNumber(text);
    // Fifteen digits of a value within half a unit of the largest double
    // round above it ("1.79769313486232E+308"): no double reads that text.
    if (!back && precision == 15 && std::fabs(v) > 1.797693134862315e308) return;
    FUZZ_CHECK(back.has_value(), where);
    // Within half a unit of the last significant digit.
    if (v != 0.0) {
        const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(v))) - (precision - 1));
        FUZZ_CHECK(std::fabs(*back - v) <= unit * 0.5000001 + std::fabs(v) * 0x1p-52, where);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const bool fromText = data[0] & 0x80;
    double v = 0.0;
    std::string origin;
    if (fromText) {
        const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
        v = leadingNumber(text);
        origin = "text " + show(text);
    } else {
        if (size < 9) return 0;
        std::memcpy(&v, data + 1, sizeof v);
        origin = "bits";
    }
    static constexpr struct { Mask mask; int decimals; } kMasks[] = {
        {Mask::Vapour, 1}, {Mask::Liquid, 2}, {Mask::MixLiquid, 2}, {Mask::Z, 4}, {Mask::Fraction, 3}};
    for (const auto& m : kMasks) checkMask(v, m.mask, m.decimals, origin);
    checkGeneral(v, 15, formatGeneral(v), origin);
    const float f = static_cast<float>(v);
    checkGeneral(static_cast<double>(f), 7, formatGeneral(f), origin + " as single");
    if (!fromText && size >= 5) {
        float bits = 0.0f;
        std::memcpy(&bits, data + 1, sizeof bits);
        checkGeneral(static_cast<double>(bits), 7, formatGeneral(bits), "single bits");
    }
    return 0;
}
