// What the fraction, temperature and pressure boxes do with their texts,
// and the decisions Solve takes before any equation runs.

#include <gtest/gtest.h>

#include <string>

#include "solver/entry.h"
#include "solver/solve.h"

namespace zolvant {
namespace {

TEST(FractionBox, ProposalCompletesTheBoxesBeforeIt) {
    struct Row { FractionTexts texts; int index; const char* proposal; };
    const Row rows[] = {
        {{"0.700", "", "", ""}, 0, "1"},  // box 0 always proposes 1
        {{"0.600", "", "", ""}, 1, "0.4"},
        {{"0.333", "0.333", "", ""}, 2, "0.334"},
        {{"0.800", "0.500", "", ""}, 2, "-0.3"},
        {{"0.100", "0.200", "0.300", "0.9"}, 3, "0.4"},  // later boxes are not counted
        {{"0.250", "", "0.250", ""}, 3, "0.5"},          // an empty box counts 0
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(::testing::Message() << "box " << r.index);
        EXPECT_EQ(proposeFraction(r.texts, r.index), r.proposal);
    }
}

TEST(FractionBox, ProposalLeftUnchangedIsCleanedToThreeDecimals) {
    FractionTexts f{"0.333", "0.333", "", ""};
    f[2] = cleanFraction(proposeFraction(f, 2));
    EXPECT_EQ(f[2], "0.334");
    f = {"0.600", "", "", ""};
    EXPECT_EQ(cleanFraction(proposeFraction(f, 1)), "0.400");
    f = {"0.800", "0.500", "", ""};
    EXPECT_EQ(cleanFraction(proposeFraction(f, 2)), "0.000");
}

TEST(FractionBox, CleaningOnLeaving) {
    struct Row { const char* typed; const char* cleaned; };
    const Row rows[] = {
        {"1", "1.000"},        {"0.2", "0.200"},       {"0.12345", "0.123"},
        {"0.9996", "1.000"},   {"0.0004", "0.000"},    {"0.0625", "0.063"},
        {"1.5", "0.000"},      {"1.0004", "0.000"},    {"-0.2", "0.000"},
        {"abc", "0.000"},      {"", "0.000"},          {" .5 ", "0.500"},
        {"0.5abc", "0.500"},   {"1e-1", "0.100"},      {"1e400", "0.000"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string("typed \"") + r.typed + "\"");
        EXPECT_EQ(cleanFraction(r.typed), r.cleaned);
    }
}

TEST(TemperatureBox, AcceptsFromMinus187AndStoresKelvinInSinglePrecision) {
    struct Row { const char* text; bool accepted; float tempK; const char* message; bool emptied; };
    const Row rows[] = {
        {"25", true, 298.15f, "", false},
        {"26.85", true, 300.0f, "", false},
        {"-23.15", true, 250.0f, "", false},
        {"-187", true, 86.15f, "", false},
        {"-187.01", false, 0, "State Temperature BELOW Minimum", false},
        {"-1e3", false, 0, "State Temperature BELOW Minimum", false},
        {"", false, 0, "State Temperature NOT Specified", true},
        {"abc", false, 0, "State Temperature NOT Specified", true},
        {"25 C", false, 0, "State Temperature NOT Specified", true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string("temperature \"") + r.text + "\"");
        const TemperatureCheck c = checkTemperature(r.text);
        EXPECT_EQ(c.accepted, r.accepted);
        EXPECT_EQ(c.message, r.message);
        EXPECT_EQ(c.emptyBox, r.emptied);
        if (r.accepted) {
            EXPECT_EQ(c.tempK, r.tempK);
            EXPECT_EQ(c.title, "");
        } else {
            EXPECT_EQ(c.title, "Temperature ERROR");
        }
    }
}

TEST(TemperatureBox, MarksRowsInUseAtOrAboveTheirCriticalTemperature) {
    MixtureState s;
    s.constant(0, Tc) = 425.1f;
    s.constant(1, Tc) = 300.0f;  // exactly the state temperature
    s.constant(2, Tc) = 190.6f;
    s.constant(3, Tc) = 100.0f;
    s.aboveCritT = {true, false, false, true};  // row 3 keeps its old flag
    s.numComps = 3;
    s.tempK = checkTemperature("26.85").tempK;
    EXPECT_EQ(markAboveCritical(s), 2);
    EXPECT_EQ(s.aboveCritT, (std::array<bool, 4>{false, true, true, true}));

    s.numComps = 0;  // no row examined
    EXPECT_EQ(markAboveCritical(s), 0);
    EXPECT_EQ(s.aboveCritT, (std::array<bool, 4>{false, true, true, true}));
}

TEST(TemperatureBox, MessageLineCountsComponentsAboveCritical) {
    EXPECT_EQ(aboveCriticalMessage(0), "");
    EXPECT_EQ(aboveCriticalMessage(1), "Temperature exceeds critical temperature\r\nof 1 components.");
    EXPECT_EQ(aboveCriticalMessage(2), "Temperature exceeds critical temperature\r\nof 2 components.");
}

TEST(PressureBox, StoresANumberAsTypedAndIgnoresAnythingElse) {
    EXPECT_EQ(readPressure("1"), 1.0f);
    EXPECT_EQ(readPressure(" 2.5 "), 2.5f);
    EXPECT_EQ(readPressure("0"), 0.0f);    // refused only by Solve
    EXPECT_EQ(readPressure("-3"), -3.0f);
    EXPECT_EQ(readPressure("14.7956"), 14.7956f);
    EXPECT_EQ(readPressure("abc"), std::nullopt);
    EXPECT_EQ(readPressure(""), std::nullopt);
    EXPECT_EQ(readPressure("5 bar"), std::nullopt);
}

// Boxes that show a temperature and a pressure, as after the example's entries.
const ShownConditions kShown{"26.85", "1"};

TEST(SolveChecks, FractionTotal) {
    struct Row { FractionTexts f; bool accepted; };
    const Row rows[] = {
        {{"0.333", "0.333", "0.334", ""}, true},
        {{"0.100", "0.200", "0.300", "0.400"}, true},
        // Visibly 1.000 but not exactly 1 in a single-precision running sum.
        {{"0.538", "0.377", "0.085", ""}, true},
        {{"1.000", "", "", ""}, true},
        {{"0.500", "0.000", "0.500", ""}, true},
        {{"0.500", "0.400", "", ""}, false},
        {{"0.999", "", "", ""}, false},
        {{"0.500", "0.501", "", ""}, false},
        {{"", "", "", ""}, false},
        {{"1.000", "-0.500", "0.500", ""}, false},  // negatives are not added
        {{"1e400", "", "", ""}, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(::testing::Message() << r.f[0] << " " << r.f[1] << " " << r.f[2] << " " << r.f[3]);
        const SolveCheck c = checkSolve(r.f, kShown, 1.0f, 0);
        EXPECT_EQ(c.accepted, r.accepted);
        if (!r.accepted) {
            EXPECT_EQ(c.title, "Mixture ERROR");
            EXPECT_EQ(c.message, "Mole Fraction Total Not Equal to 1");
            EXPECT_FALSE(c.focusPressure);
        }
    }
}

TEST(SolveChecks, SingleSumThatWouldMissOneIsAccepted) {
    // The running total in single precision is not 1 for this split, which
    // is the case the double total exists for.
    float single = 0.0f;
    for (double v : {0.538, 0.377, 0.085}) single = static_cast<float>(static_cast<double>(single) + v);
    ASSERT_NE(single, 1.0f);
    EXPECT_TRUE(checkSolve({"0.538", "0.377", "0.085", ""}, kShown, 1.0f, 0).accepted);
}

TEST(SolveChecks, PressureIsCheckedAfterTheTotal) {
    const SolveCheck zero = checkSolve({"1.000", "", "", ""}, {"26.85", "0"}, 0.0f, 1);
    EXPECT_FALSE(zero.accepted);
    EXPECT_EQ(zero.title, "Pressure ERROR");
    EXPECT_EQ(zero.message, "Invalid or Incorrect Pressure");
    EXPECT_TRUE(zero.focusPressure);
    EXPECT_EQ(checkSolve({"1.000", "", "", ""}, {"26.85", "-1"}, -1.0f, 1).title, "Pressure ERROR");
    EXPECT_EQ(checkSolve({"0.500", "0.400", "", ""}, {"26.85", "0"}, 0.0f, 2).title, "Mixture ERROR");
}

TEST(SolveChecks, BoxesThatDoNotShowANumberAreRefusedWhateverTheStateHolds) {
    // The state still holds 1 bar from an earlier entry; Solve answers only
    // for what the boxes show. The total comes first, then the temperature,
    // then the pressure.
    struct Row { const char* what; FractionTexts f; ShownConditions shown; const char* title; const char* message; };
    const Row rows[] = {
        {"empty after Clear", {"1.000", "", "", ""}, {"", ""}, "Temperature ERROR", "State Temperature NOT Specified"},
        {"temperature not a number", {"1.000", "", "", ""}, {"warm", "1"}, "Temperature ERROR",
         "State Temperature NOT Specified"},
        {"temperature with a unit", {"1.000", "", "", ""}, {"26.85 C", "1"}, "Temperature ERROR",
         "State Temperature NOT Specified"},
        {"pressure empty", {"1.000", "", "", ""}, {"26.85", ""}, "Pressure ERROR", "Invalid or Incorrect Pressure"},
        {"pressure not a number", {"1.000", "", "", ""}, {"26.85", "xyz"}, "Pressure ERROR",
         "Invalid or Incorrect Pressure"},
        {"pressure with a unit", {"1.000", "", "", ""}, {"26.85", "1 bar"}, "Pressure ERROR",
         "Invalid or Incorrect Pressure"},
        {"the total before both", {"0.500", "", "", ""}, {"", "xyz"}, "Mixture ERROR",
         "Mole Fraction Total Not Equal to 1"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const SolveCheck c = checkSolve(r.f, r.shown, 1.0f, 1);
        EXPECT_FALSE(c.accepted);
        EXPECT_EQ(c.title, r.title);
        EXPECT_EQ(c.message, r.message);
        EXPECT_EQ(c.focusTemperature, std::string(r.title) == "Temperature ERROR");
        EXPECT_EQ(c.focusPressure, std::string(r.title) == "Pressure ERROR");
    }
    EXPECT_TRUE(checkSolve({"1.000", "", "", ""}, {" -50 ", "1e1"}, 10.0f, 1).accepted);
}

TEST(SolveChecks, PositionsInUseAndDeselectedRows) {
    const SolveCheck gap = checkSolve({"0.500", "0.000", "0.500", ""}, kShown, 1.0f, 1);
    EXPECT_TRUE(gap.accepted);
    EXPECT_EQ(gap.numComps, 3);
    EXPECT_EQ(gap.deselect, (std::array<bool, 4>{false, true, false, true}));

    // The scan does not reset numComps: with no positive fraction it keeps
    // the value it had (and the total check refuses).
    const SolveCheck none = checkSolve({"0.000", "abc", "", ""}, kShown, 1.0f, 2);
    EXPECT_FALSE(none.accepted);
    EXPECT_EQ(none.numComps, 2);
    EXPECT_EQ(none.deselect, (std::array<bool, 4>{true, true, true, true}));
}

}  // namespace
}  // namespace zolvant
