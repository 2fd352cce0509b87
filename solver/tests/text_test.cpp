// Number texts: what a box accepts, how a leading number is read, and how
// values are shown through the masks and the general formats.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "solver/text.h"

namespace zolvant {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(NumberText, WholeTextReadsAsNumber) {
    struct Row { const char* text; std::optional<double> value; };
    const Row rows[] = {
        {"25", 25.0},
        {"-12.5", -12.5},
        {" 12.5 ", 12.5},
        {"\t7\t", 7.0},
        {"+3", 3.0},
        {"1e5", 1e5},
        {"1E-2", 0.01},
        {"1e+2", 100.0},
        {".5", 0.5},
        {"5.", 5.0},
        {"-.5e1", -5.0},
        {"007", 7.0},
        {"0", 0.0},
        {"1e-400", 0.0},  // below the smallest double: reads as 0
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"-", std::nullopt},
        {"+", std::nullopt},
        {".", std::nullopt},
        {"+.e1", std::nullopt},
        {"1e", std::nullopt},
        {"1e+", std::nullopt},
        {"e5", std::nullopt},
        {"inf", std::nullopt},
        {"-inf", std::nullopt},
        {"nan", std::nullopt},
        {"Infinity", std::nullopt},
        {"0x10", std::nullopt},
        {"1,5", std::nullopt},
        {"1 000", std::nullopt},
        {"12.5.3", std::nullopt},
        {"--1", std::nullopt},
        {"1e5.5", std::nullopt},
        {"12abc", std::nullopt},
        {"1e400", std::nullopt},  // beyond double: not a number
        {"1\n", std::nullopt},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string("text \"") + r.text + "\"");
        EXPECT_EQ(readNumber(r.text), r.value);
        EXPECT_EQ(readsAsNumber(r.text), r.value.has_value());
    }
}

TEST(NumberText, LeadingNumberTakesTheLongestNumberAtTheStart) {
    struct Row { const char* text; double value; };
    const Row rows[] = {
        {"0.25", 0.25},
        {"  -2.5abc", -2.5},
        {"1,5", 1.0},
        {"0x10", 0.0},
        {"1e", 1.0},
        {"1e+", 1.0},
        {"1e5x", 1e5},
        {"5.e3", 5000.0},
        {"12.5.3", 12.5},
        {".5.", 0.5},
        {"+.e1", 0.0},
        {"-", 0.0},
        {"abc", 0.0},
        {"", 0.0},
        {"inf", 0.0},
        {"nan", 0.0},
        {"1e400", kInf},
        {"-1e400", -kInf},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string("text \"") + r.text + "\"");
        EXPECT_EQ(leadingNumber(r.text), r.value);
    }
}

TEST(NumberText, MasksRoundHalfAwayFromZeroOnTheExactBinaryValue) {
    struct Row { double value; Mask mask; const char* text; };
    const Row rows[] = {
        // Exact halves go away from zero.
        {24494.25, Mask::Vapour, "24494.3"},
        {-24494.25, Mask::Vapour, "-24494.3"},
        {0.25, Mask::Vapour, "0.3"},
        {0.125, Mask::Liquid, "0.13"},
        {-0.125, Mask::Liquid, "-0.13"},
        {0.125, Mask::MixLiquid, "0.13"},
        {0.03125, Mask::Z, "0.0313"},
        {0.0625, Mask::Fraction, "0.063"},
        // Decimal halves are not halves in binary: the stored value decides.
        {0.35, Mask::Vapour, "0.3"},     // 0.3499999...
        {0.05, Mask::Vapour, "0.1"},     // 0.0500000...03
        {2.675, Mask::Liquid, "2.67"},   // 2.6749999...
        {165.465, Mask::Liquid, "165.47"},
        {0.98205, Mask::Z, "0.9820"},
        {0.0005, Mask::Fraction, "0.001"},
        {0.9996, Mask::Fraction, "1.000"},
        {0.0004, Mask::Fraction, "0.000"},
        // Zeros, small negatives, at least one integer digit, no grouping.
        {0.0, Mask::Vapour, "0.0"},
        {-0.0, Mask::Liquid, "0.00"},
        {-0.04, Mask::Vapour, "0.0"},  // rounds to zero: no sign
        {-0.05, Mask::Vapour, "-0.1"},
        {7.0, Mask::Z, "7.0000"},
        {12345678.96, Mask::Vapour, "12345679.0"},
        {1e20, Mask::Vapour, "100000000000000000000.0"},
        {1e-300, Mask::Z, "0.0000"},
        {4.9e-324, Mask::Fraction, "0.000"},
        // Never "inf" or "nan".
        {kInf, Mask::Vapour, "NA"},
        {-kInf, Mask::Z, "NA"},
        {std::nan(""), Mask::Liquid, "NA"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "value " << r.value << " mask " << static_cast<int>(r.mask));
        EXPECT_EQ(formatMask(r.value, r.mask), r.text);
    }
}

TEST(NumberText, GeneralFormatOfSingle) {
    struct Row { float value; const char* text; };
    const Row rows[] = {
        {1.0f, "1"},
        {1.0f - 0.3f, "0.7"},
        {1.0f - (0.333f + 0.333f), "0.334"},
        {1.0f - 1.3f, "-0.3"},
        {1.0f / 3.0f, "0.3333333"},
        {0.0f, "0"},
        {-0.0f, "0"},
        {1e-5f, "0.00001"},  // 9.99999974e-06 rounds up into plain range
        {1.5e-6f, "1.5E-06"},
        {999999.9f, "999999.9"},
        {16777215.0f, "16777220"},  // exact half at the seventh digit: away from zero
        {123456789.0f, "123456800"},
        {1e15f, "1E+15"},
        {2e15f, "2E+15"},
        {-3.25e20f, "-3.25E+20"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "value " << r.value);
        EXPECT_EQ(formatGeneral(r.value), r.text);
    }
}

TEST(NumberText, GeneralFormatOfDouble) {
    struct Row { double value; const char* text; };
    const Row rows[] = {
        {0.1, "0.1"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3.0, "0.333333333333333"},
        {-2.5, "-2.5"},
        {999999999999999.0, "999999999999999"},
        {1e15, "1E+15"},
        {123456789012345678.0, "1.23456789012346E+17"},
        {1e-5, "0.00001"},
        {1.25e-7, "1.25E-07"},
        {1e-300, "1E-300"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "value " << r.value);
        EXPECT_EQ(formatGeneral(r.value), r.text);
    }
    EXPECT_EQ(formatGeneral(kInf), "NA");
}

TEST(NumberText, ShortestTextReadsBackToTheSameDouble) {
    EXPECT_EQ(shortestText(26.85), "26.85");
    EXPECT_EQ(shortestText(-23.15), "-23.15");
    EXPECT_EQ(shortestText(1.0), "1");
    EXPECT_EQ(shortestText(0.1), "0.1");
    for (double v : {26.85, -23.15, 0.1, 1.0 / 3.0, 1e20, 1e-7, 5e-324, DBL_MAX, -DBL_MIN, 425.1, 37.96}) {
        SCOPED_TRACE(testing::Message() << "value " << v);
        EXPECT_EQ(readNumber(shortestText(v)), v);
    }
}

}  // namespace
}  // namespace zolvant
