#include "platform/ScientificNumber.h"

#include <charconv>

std::optional<long double> ReadScientific(std::string_view number) {
    long double read = 0;
    const char* end = number.data() + number.size();
    const auto [stop, error] = std::from_chars(number.data(), end, read);
    if (error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return read;
}
