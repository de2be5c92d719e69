#include "Locale.h"

#include <clocale>
#include <optional>

namespace {

std::optional<char>& OverriddenSeparator() {
    static std::optional<char> separator;
    return separator;
}

char LocaleSeparator() {
    // The C library only reports the user's locale once it has been selected.
    std::setlocale(LC_NUMERIC, "");
    const std::lconv* conventions = std::localeconv();
    const char separator = conventions != nullptr && conventions->decimal_point != nullptr &&
                                   conventions->decimal_point[0] != '\0' &&
                                   conventions->decimal_point[1] == '\0'
                               ? conventions->decimal_point[0]
                               : '.';
    std::setlocale(LC_NUMERIC, "C");
    return separator;
}

} // namespace

char DecimalSeparator() {
    if (!OverriddenSeparator()) {
        OverriddenSeparator() = LocaleSeparator();
    }
    return *OverriddenSeparator();
}

void SetDecimalSeparator(char separator) {
    OverriddenSeparator() = separator;
}
