// The leading-number rule on any text: the value of the longest leading
// number (after blanks), 0 when there is none; never a crash.

#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "solver/text.h"

using namespace zolvant;
using namespace zolvant::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double got = leadingNumber(text);

    const std::size_t begin = skipBlanks(text);
    const std::size_t length = longestNumberAt(text, begin);
    const double want = length == 0 ? 0.0 : referenceValue(text.substr(begin, length));
    FUZZ_CHECK(!std::isnan(got), show(text));
    // Bit for bit: overflow gives an infinity of the number's sign, as
    // strtod does; "-0" keeps its sign.
    FUZZ_CHECK(std::memcmp(&got, &want, sizeof got) == 0,
               show(text) + " gives " + showDouble(got) + ", expected " + showDouble(want));

    // Whatever follows the number does not change it.
    if (length > 0) {
        const double prefixOnly = leadingNumber(text.substr(0, begin + length));
        FUZZ_CHECK(std::memcmp(&got, &prefixOnly, sizeof got) == 0, show(text));
    }
    return 0;
}
