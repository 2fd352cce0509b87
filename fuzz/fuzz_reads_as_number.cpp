// "Reads as a number" on any text: exactly the texts of the grammar (blanks
// around one number, nothing else) whose value is finite, with the value
// strtod gives; the general and shortest texts of a value read back.

#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "solver/text.h"

using namespace zolvant;
using namespace zolvant::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<double> got = readNumber(text);
    FUZZ_CHECK(got.has_value() == readsAsNumber(text), show(text));

    const std::size_t begin = skipBlanks(text);
    const std::size_t length = longestNumberAt(text, begin);
    const bool whole = length > 0 && skipBlanks(text, begin + length) == text.size();
    const double want = whole ? referenceValue(text.substr(begin, length)) : 0.0;
    const bool expected = whole && std::isfinite(want);
    FUZZ_CHECK(got.has_value() == expected,
               show(text) + (expected ? " should read as " + showDouble(want) : " should not read as a number"));
    if (!got) return 0;
    FUZZ_CHECK(std::memcmp(&*got, &want, sizeof want) == 0,
               show(text) + " reads as " + showDouble(*got) + ", expected " + showDouble(want));
    FUZZ_CHECK(leadingNumber(text) == *got, show(text));

    // What the program writes from a value must read back.
    const std::string shortest = shortestText(*got);
    const std::optional<double> back = readNumber(shortest);
    FUZZ_CHECK(back && *back == *got, show(text) + " -> " + shortest);
    // Fifteen digits of a value within half a unit of the largest double
    // round above it ("1.79769313486232E+308"): no double reads that text.
    const std::string general = formatGeneral(*got);
    FUZZ_CHECK(readsAsNumber(general) || std::fabs(*got) > 1.797693134862315e308, show(text) + " -> " + general);
    const std::string single = formatGeneral(static_cast<float>(*got));
    FUZZ_CHECK(single == "NA" ? !std::isfinite(static_cast<float>(*got)) : readsAsNumber(single),
               show(text) + " -> " + single);
    return 0;
}
