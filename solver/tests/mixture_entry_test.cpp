// The mixture entry: what each entry does to the mixture state, and the
// values a component's constants are stored as.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "solver/mixture_entry.h"
#include "testsupport/recording_grid.h"

namespace zolvant {
namespace {

using testing::RecordingGrid;

constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(MixtureEntry, ConstantsAreStoredInSinglePrecisionWithTheDefaultsForMissingOnes) {
    struct Row { const char* what; int prop; std::optional<double> value; float stored; };
    const Row rows[] = {
        {"missing Tc", Tc, std::nullopt, 1.0f},
        {"missing Pc", Pc, std::nullopt, 1.0f},
        {"missing acentric factor", Omega, std::nullopt, 0.0f},
        {"missing K1", K1, std::nullopt, 0.0f},
        {"missing K2", K2, std::nullopt, 0.0f},
        {"missing K3", K3, std::nullopt, 0.0f},
        {"Tc", Tc, 425.12, 425.12f},
        {"a zero Pc stays zero", Pc, 0.0, 0.0f},
        {"negative K1", K1, -0.00159, -0.00159f},
        {"largest float", Tc, double(std::numeric_limits<float>::max()), std::numeric_limits<float>::max()},
        {"beyond the float range", Tc, 1e300, kInf},
        {"beyond the float range, negative", K2, -1e300, -kInf},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(MixtureEntry::storedConstant(r.prop, r.value), r.stored);
    }
}

TEST(MixtureEntry, ChoosingAComponentFillsOnlyItsRow) {
    MixtureEntry entry;
    entry.chooseComponent(2, {190.56, 45.99, std::nullopt, -0.00159, std::nullopt, 0.517});
    const MixtureState& s = entry.state();
    EXPECT_EQ(s.constant(2, Tc), 190.56f);
    EXPECT_EQ(s.constant(2, Pc), 45.99f);
    EXPECT_EQ(s.constant(2, Omega), 0.0f);
    EXPECT_EQ(s.constant(2, K1), -0.00159f);
    EXPECT_EQ(s.constant(2, K3), 0.517f);
    for (int row : {0, 1, 3}) EXPECT_EQ(s.constant(row, Tc), 0.0f) << "row " << row;
    EXPECT_EQ(s.numComps, 0);  // a row is in use only once its fraction is positive
}

TEST(MixtureEntry, LeavingFractionsPutsRowsInUseAndNeverTakesThemOut) {
    MixtureEntry entry;
    struct Step { int index; const char* typed; const char* shown; bool deselect; int numComps; };
    const Step steps[] = {
        {0, "0.5", "0.500", false, 1},
        {2, "0.25", "0.250", false, 3},
        {1, "0", "0.000", true, 3},   // a gap: the row before stays in use
        {2, "abc", "0.000", true, 3}, // not shrunk: only Solve rescans
        {3, "0.0004", "0.000", true, 3},
    };
    for (const Step& st : steps) {
        SCOPED_TRACE(std::string("box ") + std::to_string(st.index) + " \"" + st.typed + "\"");
        const FractionLeft left = entry.leaveFraction(st.index, st.typed);
        EXPECT_EQ(left.text, st.shown);
        EXPECT_EQ(left.deselect, st.deselect);
        EXPECT_EQ(entry.state().numComps, st.numComps);
    }
    EXPECT_EQ(entry.enterFraction({"0.500", "0.000", "0.000", ""}, 3), "0.5");
}

TEST(MixtureEntry, TemperatureSetsTheFlagsOfTheRowsInUseOnly) {
    MixtureEntry entry;
    entry.chooseComponent(0, {425.12, 37.96, 0.2, 0.03443, 0.6767, 0.461});
    entry.chooseComponent(1, {190.56, 45.99, 0.011, -0.00159, 0.1521, 0.517});
    entry.chooseComponent(2, {100.0, 40.0, 0.0, 0.0, 0.0, 0.0});  // chosen, but its fraction is never left
    entry.leaveFraction(0, "0.5");
    entry.leaveFraction(1, "0.5");

    const TemperatureLeft refused = entry.leaveTemperature("-200");
    EXPECT_FALSE(refused.accepted);
    EXPECT_EQ(refused.title, "Temperature ERROR");
    EXPECT_EQ(refused.message, "State Temperature BELOW Minimum");
    EXPECT_FALSE(refused.emptyBox);
    EXPECT_EQ(entry.state().tempK, 0.0f);
    EXPECT_TRUE(entry.leaveTemperature("warm").emptyBox);

    const TemperatureLeft left = entry.leaveTemperature("26.85");
    EXPECT_TRUE(left.accepted);
    EXPECT_EQ(entry.state().tempK, 300.0f);
    EXPECT_EQ(left.rows, 2);
    EXPECT_EQ(entry.state().aboveCritT, (std::array<bool, 4>{false, true, false, false}));
    EXPECT_EQ(left.messageLine, "Temperature exceeds critical temperature\r\nof 1 components.");
}

TEST(MixtureEntry, PressureKeepsItsValueWhenTheBoxHoldsNoNumber) {
    MixtureEntry entry;
    entry.leavePressure("5");
    entry.leavePressure("5 bar");
    entry.leavePressure("");
    EXPECT_EQ(entry.state().pressBar, 5.0f);
    entry.leavePressure("-1");  // refused only by Solve
    EXPECT_EQ(entry.state().pressBar, -1.0f);
}

TEST(MixtureEntry, SolveDecidesBeforeTheGridIsTouchedAndWritesItOnlyWhenAccepted) {
    MixtureEntry entry;
    entry.chooseComponent(0, {425.12, 37.96, 0.2, 0.03443, 0.6767, 0.461});
    entry.chooseComponent(1, {190.56, 45.99, 0.011, -0.00159, 0.1521, 0.517});
    entry.leaveFraction(0, "0.5");
    entry.leaveFraction(1, "0.5");
    entry.leaveTemperature("26.85");
    const FractionTexts boxes{"0.500", "0.500", "", ""};

    RecordingGrid refused;
    int calls = 0;
    const SolveCheck noPressure = entry.solve(boxes, {"26.85", ""}, refused, [&](const SolveCheck& c) {
        ++calls;
        EXPECT_FALSE(c.accepted);
    });
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(noPressure.title, "Pressure ERROR");
    EXPECT_TRUE(refused.written.empty());

    entry.leavePressure("1");
    RecordingGrid g;
    std::size_t writtenWhenDecided = 99;
    const SolveCheck check = entry.solve(boxes, {"26.85", "1"}, g, [&](const SolveCheck& c) {
        EXPECT_TRUE(c.accepted);
        writtenWhenDecided = g.written.size();
    });
    EXPECT_TRUE(check.accepted);
    EXPECT_EQ(writtenWhenDecided, 0u);
    EXPECT_EQ(g.cell(0, Column::Liquid, kMixtureRow), "165.47");
    EXPECT_EQ(g.cell(0, Column::Vapour, kMixtureRow), "24693.5");
    EXPECT_EQ(g.cell(0, Column::Liquid, 1), "NA - Tc");
    EXPECT_EQ(g.cell(5, Column::Z, 3), "");  // emptied, not written by an equation
}

}  // namespace
}  // namespace zolvant
