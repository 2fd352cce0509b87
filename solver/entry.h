#pragma once
// What the input boxes do with their texts when the focus enters or leaves
// them, as plain functions of the texts. MixtureEntry applies them to the
// mixture state for every front end.

#include <optional>
#include <string>
#include <string_view>

#include "solver/state.h"

namespace zolvant {

// Mole fraction box `index` gains the focus: the text it receives, 1 minus
// the single-precision sum of the boxes before it, in the general format.
std::string proposeFraction(const FractionTexts& fractions, int index);

// Mole fraction box left: the cleaned text ("0.000" mask; empty, negative,
// above-one and non-numeric texts become "0.000").
std::string cleanFraction(std::string_view text);

// Temperature box left.
struct TemperatureCheck {
    bool accepted = false;
    std::string title;       // "Temperature ERROR" when refused
    std::string message;     // "State Temperature NOT Specified" / "State Temperature BELOW Minimum"
    bool emptyBox = false;   // refused as not a number: the box is emptied
    float tempK = 0.0f;      // when accepted: value + 273.15, added in double, stored single
};
TemperatureCheck checkTemperature(std::string_view text);

// After an accepted temperature: sets aboveCritT for rows 0..numComps-1
// (rows beyond are left as they were) and returns how many are above.
int markAboveCritical(MixtureState& s);

// The two-line message of lblMsg for that count ("" for 0).
std::string aboveCriticalMessage(int count);

// Pressure box left: the value to store, or nullopt to keep the old one.
std::optional<float> readPressure(std::string_view text);

}  // namespace zolvant
