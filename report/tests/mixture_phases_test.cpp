// The Mixture Phases data file's records and the mixture row's one-fluid
// lines and tag, from hand-made reports: which field is empty when, list
// order and separators, °C, masks and the words that tell the state.

#include <gtest/gtest.h>

#include <string>

#include "report/mixture_insight.h"
#include "report/mixture_phases_csv.h"

namespace zolvant::report {
namespace {

PhaseReport phase(double V, double Z) {
    PhaseReport p;
    p.V = V;
    p.Z = Z;
    return p;
}

MixtureReport onePhase(const char* which) {
    MixtureReport r;
    r.equation = "Peng-Robinson";
    r.ok = true;
    r.m = 2;
    r.T = 273.15;
    r.P = 50;
    r.phases = 1;
    r.phase = which;
    (std::string(which) == "liquid" ? r.liquid : r.vapour) = phase(341.2549, 0.7515);
    return r;
}

MixtureReport twoPhases() {
    MixtureReport r;
    r.equation = "Soave-Redlich-Kwong";
    r.ok = true;
    r.m = 2;
    r.T = 230.0;
    r.P = 40;
    r.phases = 2;
    r.beta = 0.6059;
    r.liquid = phase(61.614, 0.12891);
    r.vapour = phase(351.25, 0.73467);
    r.kij[0][1] = r.kij[1][0] = -0.0059;
    r.saturation.bubbleP = {68.5};
    r.saturation.dewP = {2.25, 80.5};
    r.saturation.bubbleT = {201.25};
    r.saturation.dewT = {291.9};
    return r;
}

TEST(MixturePhasesCsv, RecordsLeaveEmptyWhatTheStateDoesNotHave) {
    MixtureReport failed;
    failed.equation = "Van der Waals";
    failed.why = "the critical temperature of Ethane is 0";
    // Temperatures are T − 273.15 in double, written exactly as that double
    // (201.25 K gives −71.89999999999998 °C, not a rounded −71.9).
    const std::string csv = mixturePhasesCsv({onePhase("vapour"), twoPhases(), failed});
    EXPECT_EQ(csv,
              "Equation,Phases,Vapour fraction,Liquid V (cm3/mol),Vapour V (cm3/mol),Liquid Z,Vapour Z,"
              "Bubble P (bar),Dew P (bar),Bubble T (C),Dew T (C)\r\n"
              "Peng-Robinson,1,,,341.2549,,0.7515,,,,\r\n"
              "Soave-Redlich-Kwong,2,0.6059,61.614,351.25,0.12891,0.73467,68.5,2.25;80.5,-71.89999999999998,18.75\r\n"
              "Van der Waals,,,,,,,,,,\r\n");
}

TEST(OneFluidInsight, TellsThePhaseStateWithTheGridsMasksAndTheKijUsed) {
    struct Case {
        MixtureReport r;
        bool fromDatabase;
        const char* tag;
        std::vector<std::string> says;
    };
    const std::vector<Case> cases{
        {onePhase("vapour"), false, "V", {"One-fluid", "kij = 0", "one phase, vapour-like", "V = 341.3 cm³/mol, Z = 0.7515"}},
        {onePhase("liquid"), true, "L", {"kij from the database", "one phase, liquid-like", "V = 341.25 cm³/mol"}},
        {twoPhases(), true, "V+L", {"two phases, vapour fraction 0.606", "Liquid V = 61.61 cm³/mol, Z = 0.1289",
                                    "Vapour V = 351.3 cm³/mol, Z = 0.7347"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(oneFluidTag(c.r), c.tag);
        const std::string text = oneFluidInsight(c.r, nullptr, c.fromDatabase);
        for (const std::string& part : c.says) EXPECT_NE(text.find(part), std::string::npos) << part << " not in " << text;
        EXPECT_EQ(text.find("Bubble"), std::string::npos) << "no pressures before they are known";
    }
    MixtureReport failed;
    failed.equation = "Van der Waals";
    failed.why = "the critical temperature of Ethane is 0";
    EXPECT_EQ(oneFluidTag(failed), "");
    EXPECT_NE(oneFluidInsight(failed, nullptr, false).find("no result: the critical temperature of Ethane is 0"),
              std::string::npos);
}

TEST(OneFluidInsight, QuotesEveryBubbleAndDewPressureOrWhyThereIsNone) {
    const MixtureReport two = twoPhases();
    EXPECT_NE(oneFluidInsight(two, &two, true).find("Bubble pressure at 230 K: 68.5 bar; dew pressure: 2.25 bar and 80.5 bar."),
              std::string::npos);
    MixtureReport above = onePhase("vapour");
    above.saturation.notes = {"above the cricondentherm (247.447 K): no bubble or dew pressure",
                              "above the cricondenbar (90 bar): no bubble or dew temperature"};
    const std::string text = oneFluidInsight(above, &above, false);
    EXPECT_NE(text.find("Bubble pressure at 273.15 K: none; dew pressure: none. Above the cricondentherm (247.447 K)"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("cricondenbar"), std::string::npos) << "the temperatures' reasons are the window's";
}

TEST(OneFluidInsight, KijCountsOnlyPairsInUse) {
    MixtureReport r = onePhase("vapour");
    EXPECT_FALSE(anyKij(r));
    r.kij[2][3] = r.kij[3][2] = 0.1;  // positions not in use
    EXPECT_FALSE(anyKij(r));
    r.kij[0][1] = r.kij[1][0] = 0.01;
    EXPECT_TRUE(anyKij(r));
}

}  // namespace
}  // namespace zolvant::report
