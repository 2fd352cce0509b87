// Finding a component from a typed text: exact names case aside, a unique
// part of a name or start of a CAS number, and suggestions.

#include <gtest/gtest.h>

#include "db/component_match.h"

namespace zolvant::db {
namespace {

const std::vector<NamedComponent> kList{
    {"Propane", "74-98-6"},        {"Propylene", "115-07-1"},      {"Cyclopropane", "75-19-4"},
    {"n-Hexadecane", "544-76-3"},  {"1-Hexadecene", "629-73-2"},   {"1-Hexadecanol", "36653-82-4"},
    {"Methane", "74-82-8"},        {"Water", "7732-18-5"},         {"Methane", "74-82-8"},
    {"r-12", ""},                  {"R-12", ""},
};

std::string describe(const ComponentMatch& m) {
    switch (m.kind) {
    case ComponentMatch::None:
        return "none";
    case ComponentMatch::Exact:
        return "exact " + std::to_string(m.index);
    case ComponentMatch::Unique:
        return "unique " + std::to_string(m.index);
    case ComponentMatch::Ambiguous: {
        std::string out = "ambiguous";
        for (std::size_t i : m.candidates) out += " " + kList[i].name;
        return out;
    }
    }
    return {};
}

TEST(ComponentMatchTest, TypedTextsFindTheirComponent) {
    struct Case {
        const char* text;
        std::string byName;  // matchComponentName
        std::string byAny;   // matchComponent
    };
    const std::vector<Case> cases{
        {"Propane", "exact 0", "exact 0"},
        {"propane", "exact 0", "exact 0"},  // wins over Cyclopropane, which contains it
        {"METHANE", "exact 8", "exact 8"},  // of equal names the last
        {"n-hexadec", "none", "unique 3"},
        {"hexadec", "none", "ambiguous n-Hexadecane 1-Hexadecene 1-Hexadecanol"},
        {"115-07", "none", "unique 1"},      // the start of a CAS number
        {"07-1", "none", "none"},            // inside one: no
        {"R-12", "exact 10", "exact 10"},    // the spelling typed wins
        {"r-12", "exact 9", "exact 9"},
        {"R-12 ", "none", "none"},
        {"", "none", "none"},
        {"Unobtainium", "none", "none"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(describe(matchComponentName(kList, c.text)), c.byName);
        EXPECT_EQ(describe(matchComponent(kList, c.text)), c.byAny);
    }
}

TEST(ComponentMatchTest, ANameEqualOnlyCaseAsideToTwoSpellingsIsAmbiguous) {
    const std::vector<NamedComponent> list{{"co", ""}, {"Co", ""}, {"Carbon Monoxide", "630-08-0"}};
    const ComponentMatch m = matchComponent(list, "CO");
    EXPECT_EQ(m.kind, ComponentMatch::Ambiguous);
    EXPECT_EQ(m.candidates, (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(matchComponent(list, "Co").index, 1);
}

TEST(ComponentMatchTest, ATextMatchingNothingGetsUpToThreeCloseNames) {
    struct Case {
        const char* text;
        std::vector<std::string> suggested;
    };
    const std::vector<Case> cases{
        {"Propan", {"Propane", "Cyclopropane"}},          // containing it, the closest first
        {"Proplyene", {"Propylene", "Propane"}},          // two letters swapped; three edits
        {"hexadec", {"n-Hexadecane", "1-Hexadecene", "1-Hexadecanol"}},
        {"Watre", {"Water"}},
        {"Methanes", {"Methane"}},                        // contains a name; equal names once
        {"Xenon", {}},
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(suggestComponentNames(kList, c.text), c.suggested);
    }
    EXPECT_EQ(suggestComponentNames(kList, "hexadec", 1), std::vector<std::string>{"n-Hexadecane"});
}

}  // namespace
}  // namespace zolvant::db
