#include "platform/ScientificNumber.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <string>

std::optional<long double> ReadScientific(std::string_view number) {
    // MinGW's std::from_chars reads a long double only as a double: 53 bits, nothing beyond
    // 1.8e308. Its strtold reads all 64 bits but takes the locale's decimal point, so the text
    // it gets has none: the fraction's digits move into the exponent.
    const std::size_t point = number.find('.');
    const std::size_t exponentStart = number.find('e');
    int exponent = 0;
    std::from_chars(number.data() + exponentStart + 1, number.data() + number.size(), exponent);
    std::string text(number.substr(0, std::min(point, exponentStart)));
    if (point != std::string_view::npos) {
        text += number.substr(point + 1, exponentStart - point - 1);
        exponent -= static_cast<int>(exponentStart - point - 1);
    }
    text += "e" + std::to_string(exponent);
    errno = 0;
    char* stop = nullptr;
    const long double read = std::strtold(text.c_str(), &stop);
    if (errno == ERANGE || stop != text.c_str() + text.size()) {
        return std::nullopt;
    }
    return read;
}
