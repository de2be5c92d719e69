#include "platform/Locale.h"

#include <langinfo.h>
#include <locale.h>

namespace {

/// Asks a locale object of its own, so that the process's locale, which the window system
/// reads too, is never changed.
char LocaleSeparator() {
    const locale_t userLocale = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (userLocale == static_cast<locale_t>(nullptr)) {
        return '.';
    }
    const char* point = nl_langinfo_l(RADIXCHAR, userLocale);
    const char separator =
        point != nullptr && point[0] != '\0' && point[1] == '\0' ? point[0] : '.';
    freelocale(userLocale);
    return separator;
}

} // namespace

char DecimalSeparator() {
    static const char separator = LocaleSeparator();
    return separator;
}
