#pragma once
// Every conversion between text and number that a user can see or type.
// Locale-independent: the period is always the decimal separator.
//
// Number grammar: optional blanks, optional sign, digits with at most one
// decimal point (at least one digit in all), optional exponent (e or E,
// optional sign, digits), optional trailing blanks. Nothing else: no "inf",
// "nan", hex or thousands separators.

#include <optional>
#include <string>
#include <string_view>

namespace zolvant {

// The whole text is one number (blanks around it allowed); nullopt otherwise.
// An exponent that overflows double yields nullopt as well.
std::optional<double> readNumber(std::string_view text);

inline bool readsAsNumber(std::string_view text) { return readNumber(text).has_value(); }

// The value of the longest leading part of the text that is a number
// (leading blanks skipped); 0 when the text does not begin with one.
double leadingNumber(std::string_view text);

// Fixed display masks. Rounding is half away from zero, on the exact value.
enum class Mask {
    Vapour,     // "###0.0"
    Liquid,     // "##0.00"  component liquid volume
    MixLiquid,  // "#0.00"   mixture liquid volume
    Z,          // "0.0000"
    Fraction,   // "0.000"
};
// A non-finite value gives "NA": no cell ever shows "inf" or "nan".
std::string formatMask(double value, Mask mask);

// General number formats: at most 7 (single) or 15 (double) significant
// digits, no trailing zeros, plain notation for magnitudes in [1e-5, 1e15),
// exponent notation outside ("1.5E-06", "2E+15"); 0 gives "0".
std::string formatGeneral(float value);
std::string formatGeneral(double value);

// At most `significant` significant digits (1..17) in the same notation,
// for explanatory texts beside the grid (never a cell).
std::string formatDigits(double value, int significant);

// The shortest text that reads back to exactly the same double (26.85 -> "26.85").
std::string shortestText(double value);

}  // namespace zolvant
