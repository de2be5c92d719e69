#include "table/marking/Numbers.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

// What reads as a number is finite, and the formats never fail on it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    long double value = 0;
    if (TryStrToFloat(text, '.', value)) {
        if (!std::isfinite(value)) {
            std::abort();
        }
        FloatToStr(value, '.');
        FormatOneDecimal(value, '.');
        FormatRate(value);
    }
    return 0;
}
