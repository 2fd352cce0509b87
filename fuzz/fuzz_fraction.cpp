// Mole fraction boxes: the cleaning of any typed text on leaving a box, and
// the proposal a box receives on entering it, box after box as a user tabs
// through them; then Solve's total check on the result.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "solver/entry.h"
#include "solver/solve.h"
#include "solver/text.h"

using namespace zolvant;
using namespace zolvant::fuzz;

namespace {

void checkCleaned(const std::string& typed, const std::string& cleaned) {
    const std::string where = show(typed) + " -> " + show(cleaned);
    FUZZ_CHECK(cleaned.size() == 5 && (cleaned[0] == '0' || cleaned[0] == '1') && hasMaskShape(cleaned, 3), where);
    const double value = leadingNumber(cleaned);
    FUZZ_CHECK(value >= 0.0 && value <= 1.0, where);
    // Empty, negative, above-one and non-numeric texts become 0.
    const double typedValue = leadingNumber(typed);
    const double expected = typed.empty() || typedValue < 0.0 || typedValue > 1.0 ? 0.0 : typedValue;
    FUZZ_CHECK(cleaned == referenceFixed(expected, 3), where);
    FUZZ_CHECK(cleanFraction(cleaned) == cleaned, where + " is not stable");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    FractionTexts boxes;
    float sum = 0.0f;
    for (int k = 0; k < 4; ++k) {
        // Entering the box: 1 minus the single-precision sum of the boxes
        // before it, which all hold cleaned texts.
        const std::string proposal = proposeFraction(boxes, k);
        const std::optional<double> proposed = readNumber(proposal);
        FUZZ_CHECK(proposed.has_value(), "box " + std::to_string(k) + ": proposal " + show(proposal));
        FUZZ_CHECK(*proposed >= -3.0 && *proposed <= 1.0, show(proposal));
        const double exact = static_cast<double>(1.0f - sum);
        FUZZ_CHECK(std::fabs(*proposed - exact) <= std::fabs(exact) * 1e-6 + 1e-12,
                   show(proposal) + " for " + showDouble(exact));

        // Leaving it: the proposal kept, or whatever was typed.
        std::string typed = proposal;
        if (in.ConsumeBool()) typed = in.ConsumeRandomLengthString(64);
        boxes[static_cast<std::size_t>(k)] = cleanFraction(typed);
        checkCleaned(typed, boxes[static_cast<std::size_t>(k)]);
        sum = static_cast<float>(static_cast<double>(sum) + leadingNumber(boxes[static_cast<std::size_t>(k)]));
    }
    // A proposal index outside the boxes is clamped, never read out of range.
    (void)proposeFraction(boxes, in.ConsumeIntegral<int>());

    // Solve's decisions on the boxes.
    const float pressure = in.ConsumeFloatingPoint<float>();
    const std::int16_t numComps = in.ConsumeIntegralInRange<std::int16_t>(0, 4);
    const std::string temperatureShown = in.ConsumeRandomLengthString(16);
    const std::string pressureShown = in.ConsumeRandomLengthString(16);
    const SolveCheck check = checkSolve(boxes, ShownConditions{temperatureShown, pressureShown}, pressure, numComps);
    double total = 0.0;
    int last = 0;
    for (int k = 0; k < 4; ++k) {
        const double v = leadingNumber(boxes[static_cast<std::size_t>(k)]);
        FUZZ_CHECK(check.deselect[static_cast<std::size_t>(k)] == !(v > 0.0), "deselect " + std::to_string(k));
        if (v > 0.0) {
            total += v;
            last = k + 1;
        }
    }
    if (last > 0) FUZZ_CHECK(check.numComps == last, "numComps " + std::to_string(check.numComps));
    const bool totalOk = std::fabs(total - 1.0) < 0.0005;
    const bool temperatureOk = readNumber(temperatureShown).has_value();
    const bool pressureOk = readNumber(pressureShown).has_value() && pressure > 0.0f;
    FUZZ_CHECK(check.accepted == (totalOk && temperatureOk && pressureOk), "accepted " + std::to_string(check.accepted));
    if (!totalOk) FUZZ_CHECK(check.title == "Mixture ERROR" && check.message == "Mole Fraction Total Not Equal to 1", check.title);
    else if (!temperatureOk)
        FUZZ_CHECK(check.title == "Temperature ERROR" && check.message == "State Temperature NOT Specified" && check.focusTemperature,
                   check.title);
    else if (!pressureOk)
        FUZZ_CHECK(check.title == "Pressure ERROR" && check.message == "Invalid or Incorrect Pressure" && check.focusPressure,
                   check.title);
    return 0;
}
