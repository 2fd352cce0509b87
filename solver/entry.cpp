#include "solver/entry.h"

#include <algorithm>

#include "solver/text.h"

namespace zolvant {

std::string proposeFraction(const FractionTexts& fractions, int index) {
    float sum = 0.0f;
    const int last = std::clamp(index, 0, 4);
    for (int k = 0; k < last; ++k)
        sum = static_cast<float>(static_cast<double>(sum) + leadingNumber(fractions[static_cast<std::size_t>(k)]));
    const float proposal = 1.0f - sum;
    return formatGeneral(proposal);
}

std::string cleanFraction(std::string_view text) {
    double value = leadingNumber(text);
    if (text.empty() || value < 0.0 || value > 1.0) value = 0.0;
    return formatMask(value, Mask::Fraction);
}

TemperatureCheck checkTemperature(std::string_view text) {
    TemperatureCheck r;
    const std::optional<double> value = readNumber(text);
    if (!value) {
        r.title = "Temperature ERROR";
        r.message = "State Temperature NOT Specified";
        r.emptyBox = true;
        return r;
    }
    if (*value < -187.0) {
        r.title = "Temperature ERROR";
        r.message = "State Temperature BELOW Minimum";
        return r;
    }
    r.accepted = true;
    r.tempK = static_cast<float>(*value + 273.15);
    return r;
}

int markAboveCritical(MixtureState& s) {
    int count = 0;
    const int rows = std::clamp<int>(s.numComps, 0, 4);
    for (int k = 0; k < rows; ++k) {
        const bool above = s.tempK >= s.constant(k, Tc);
        s.aboveCritT[static_cast<std::size_t>(k)] = above;
        if (above) ++count;
    }
    return count;
}

std::string aboveCriticalMessage(int count) {
    if (count <= 0) return {};
    return "Temperature exceeds critical temperature\r\nof " + std::to_string(count) + " components.";
}

std::optional<float> readPressure(std::string_view text) {
    const std::optional<double> value = readNumber(text);
    if (!value) return std::nullopt;
    return static_cast<float>(*value);
}

}  // namespace zolvant
