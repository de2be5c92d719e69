#include "platform/Locale.h"

#include <windows.h>

namespace {

char LocaleSeparator() {
    wchar_t separator[4] = {};
    const int length = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 4);
    // Only a one-character ASCII separator can be compared with a byte of a cell.
    return length == 2 && separator[0] > 0 && separator[0] < 0x80 ? static_cast<char>(separator[0])
                                                                  : '.';
}

} // namespace

char DecimalSeparator() {
    static const char separator = LocaleSeparator();
    return separator;
}
