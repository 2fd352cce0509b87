#pragma once
// Mixtures of the seed components (data/components.csv) set up as the
// window sets them: each component's constants chosen, its fraction typed,
// the temperature in °C and the pressure in bar typed, then Solve, through
// runCase. Plain C++ so the solver's tests need no database.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "solver/case.h"
#include "solver/mixture_eos.h"
#include "testsupport/recording_grid.h"

#ifndef ZOLVANT_DATA_DIR
#error "ZOLVANT_DATA_DIR must name the folder of components.csv"
#endif

namespace zolvant::testing {

struct SeedComponent {
    ComponentConstants constants{};
    std::optional<double> molWt;
};

inline std::vector<std::string> csvFields(const std::string& line) {
    std::vector<std::string> out(1);
    bool quoted = false;
    for (char c : line) {
        if (c == '"') quoted = !quoted;
        else if (c == ',' && !quoted) out.emplace_back();
        else if (c != '\r') out.back() += c;
    }
    return out;
}

inline std::optional<double> numberOrNull(const std::string& s) {
    if (s.empty()) return std::nullopt;
    return std::stod(s);
}

// Every seed component by name: Component,MolWt,CritTemp,CritPress,CritVol,AcentricF,K1,K2,K3.
inline const std::map<std::string, SeedComponent>& seedComponents() {
    static const std::map<std::string, SeedComponent> table = [] {
        std::map<std::string, SeedComponent> t;
        std::ifstream in(std::string(ZOLVANT_DATA_DIR) + "/components.csv");
        std::string line;
        std::getline(in, line);  // header
        while (std::getline(in, line)) {
            const std::vector<std::string> f = csvFields(line);
            if (f.size() < 9) continue;
            SeedComponent c;
            c.molWt = numberOrNull(f[1]);
            c.constants = {numberOrNull(f[2]), numberOrNull(f[3]), numberOrNull(f[5]),
                           numberOrNull(f[6]), numberOrNull(f[7]), numberOrNull(f[8])};
            t[f[0]] = c;
        }
        return t;
    }();
    return table;
}

struct SeedCase {
    MixtureState state;
    FractionTexts fractions;
    std::array<std::optional<double>, 4> molWt{};
};

// The mixture as Solve accepted it; fails the test when refused.
inline SeedCase seedCase(const std::vector<std::pair<std::string, std::string>>& components, const std::string& celsius,
                         const std::string& pressure) {
    CaseInput in;
    SeedCase out;
    std::size_t k = 0;
    for (const auto& [name, fraction] : components) {
        const auto it = seedComponents().find(name);
        EXPECT_NE(it, seedComponents().end()) << name << " is not in components.csv";
        if (it == seedComponents().end()) continue;
        CaseComponent c;
        c.constants = it->second.constants;
        c.fraction = fraction;
        in.components.push_back(c);
        out.molWt[k++] = it->second.molWt;
    }
    in.temperature = celsius;
    in.pressure = pressure;
    RecordingGrid grid;
    const CaseOutcome o = runCase(in, grid);
    EXPECT_TRUE(o.solved) << o.title << ": " << o.message;
    out.state = o.state;
    out.fractions = o.fractions;
    return out;
}

}  // namespace zolvant::testing
