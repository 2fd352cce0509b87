#include "solver/solve.h"

#include <algorithm>
#include <cmath>

#include "solver/text.h"

namespace zolvant {

const char* blockName(int block) {
    static constexpr const char* kNames[kBlocks] = {
        "Van der Waals", "Redlich-Kwong", "Peng-Robinson",
        "Soave-Redlich-Kwong", "PR-Stryjek-Vera 1", "PR-Stryjek-Vera 2",
    };
    return block >= 0 && block < kBlocks ? kNames[block] : "";
}

SolveCheck checkSolve(const FractionTexts& fractions, const ShownConditions& shown, float pressBar,
                      std::int16_t currentNumComps) {
    SolveCheck r;
    r.numComps = currentNumComps;
    // The boxes show three decimals, so a total is accepted when it is 1 to
    // within half of their last digit. Comparing a single-precision running
    // total with exactly 1 would refuse splits such as 0.538 + 0.377 + 0.085.
    double total = 0.0;
    for (int k = 0; k < 4; ++k) {
        const double value = leadingNumber(fractions[static_cast<std::size_t>(k)]);
        if (value > 0.0) {
            r.numComps = static_cast<std::int16_t>(k + 1);
            total += value;
        } else {
            r.deselect[static_cast<std::size_t>(k)] = true;
        }
    }
    if (!(std::fabs(total - 1.0) < 0.0005)) {
        r.title = "Mixture ERROR";
        r.message = "Mole Fraction Total Not Equal to 1";
        return r;
    }
    if (!readNumber(shown.temperature)) {
        r.title = "Temperature ERROR";
        r.message = "State Temperature NOT Specified";
        r.focusTemperature = true;
        return r;
    }
    if (!readNumber(shown.pressure) || !(pressBar > 0.0f)) {
        r.title = "Pressure ERROR";
        r.message = "Invalid or Incorrect Pressure";
        r.focusPressure = true;
        return r;
    }
    r.accepted = true;
    return r;
}

void ClearResults(ResultGrid& g) {
    for (int row = 0; row <= kMixtureRow; ++row)
        for (int block = 0; block < kBlocks; ++block)
            for (Column c : {Column::Liquid, Column::Vapour, Column::Z}) g.setCellText(block, c, row, std::string());
}

void MixtureVolumes(const MixtureState& s, const MixTerms& mixTerms, MixResult& mixResult) {
    // Every sum, product and quotient is kept in single precision.
    const float P = s.pressBar, T = s.tempK, R = gasConstR;
    const int positions = std::clamp<int>(s.numComps, 0, 4);

    float sV = 0.0f, sX = 0.0f;
    for (std::size_t k = 0; k < static_cast<std::size_t>(positions); ++k) {
        sV = sV + mixTerms[0][k];
        sX = sX + mixTerms[1][k];
    }
    if (sX == 0.0f) {
        mixResult[0] = 0.0f;
        mixResult[1] = 0.0f;
    } else {
        mixResult[0] = sV / sX;
        mixResult[1] = (((sV * P) / R) / T) / sX;
    }

    sV = 0.0f;
    sX = 0.0f;
    for (std::size_t k = 0; k < static_cast<std::size_t>(positions); ++k) {
        sV = sV + mixTerms[2][k];
        sX = sX + mixTerms[3][k];
    }
    mixResult[2] = sX == 0.0f ? 0.0f : sV / sX;
}

}  // namespace zolvant
