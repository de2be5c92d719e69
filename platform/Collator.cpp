#include "Collator.h"

#include "CodePage.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <limits>
#include <map>
#include <mutex>
#include <new>
#include <stdexcept>
#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/tblcoll.h>
#include <unicode/unistr.h>
#include <utility>

namespace {

// Windows puts the ASCII symbols before the digits in this order and gives '-' and '\'' no
// weight in a word sort; ICU orders symbols differently and weighs both.
constexpr char16_t WindowsSymbolRules[] =
    uR"rules(&[before 1]'0' < ' ' < '!' < '"' < '#' < '$' < '%' < '&' < '(' < ')' < '*' < ',')rules"
    uR"rules( < '.' < '/' < ':' < ';' < '?' < '@' < '[' < '\' < ']' < '^' < '_' < '`' < '{')rules"
    uR"rules( < '|' < '}' < '~' < '+' < '<' < '=' < '>' &[last tertiary ignorable] = '-' = '')rules";

std::int32_t IcuLength(std::size_t length) {
    return static_cast<std::int32_t>(
        std::min<std::size_t>(length, std::numeric_limits<std::int32_t>::max()));
}

std::unique_ptr<icu::Collator> OpenLocaleCollator(const icu::Locale& locale) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(locale, status));
    return U_SUCCESS(status) ? std::move(collator) : nullptr;
}

/// The locale's own rules with the Windows symbol order on top; null if ICU rejects them.
std::unique_ptr<icu::Collator> TailorToWindowsSymbols(const icu::Collator& localeCollator) {
    const auto* ruleBased = dynamic_cast<const icu::RuleBasedCollator*>(&localeCollator);
    if (ruleBased == nullptr) {
        return nullptr;
    }
    icu::UnicodeString rules = ruleBased->getRules();
    rules.append(icu::UnicodeString(WindowsSymbolRules));
    UErrorCode status = U_ZERO_ERROR;
    auto tailored = std::make_unique<icu::RuleBasedCollator>(rules, status);
    return U_SUCCESS(status) ? std::move(tailored) : nullptr;
}

std::unique_ptr<icu::Collator> BuildCollator(const std::string& localeName) {
    std::unique_ptr<icu::Collator> localeCollator =
        OpenLocaleCollator(icu::Locale::createFromName(localeName.c_str()));
    if (localeCollator == nullptr) {
        localeCollator = OpenLocaleCollator(icu::Locale::getRoot());
    }
    if (localeCollator == nullptr) {
        throw std::runtime_error("ICU has no collation data");
    }
    std::unique_ptr<icu::Collator> collator = TailorToWindowsSymbols(*localeCollator);
    if (collator == nullptr) {
        collator = std::move(localeCollator);
    }
    // Whatever the locale's rules ask for, case must never count and symbols must never vanish
    // (Thai, for one, would ignore them).
    UErrorCode status = U_ZERO_ERROR;
    collator->setStrength(icu::Collator::SECONDARY);
    collator->setAttribute(UCOL_CASE_LEVEL, UCOL_OFF, status);
    collator->setAttribute(UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, status);
    return collator;
}

/// Building a tailored collator parses thousands of rules, so each locale is built once per
/// process and every TCollator gets a cheap clone.
std::unique_ptr<icu::Collator> CloneCollator(std::string_view localeName) {
    static std::mutex mutex;
    static std::map<std::string, std::unique_ptr<const icu::Collator>, std::less<>> built;
    const std::lock_guard<std::mutex> lock(mutex);
    auto found = built.find(localeName);
    if (found == built.end()) {
        const std::string name(localeName);
        found = built.emplace(name, BuildCollator(name)).first;
    }
    std::unique_ptr<icu::Collator> clone(found->second->clone());
    if (clone == nullptr) {
        throw std::bad_alloc();
    }
    return clone;
}

/// "ja_JP.UTF-8" -> "ja_JP", "de_DE@euro" -> "de_DE"; the C locale has no language.
std::string IcuLocaleName(std::string_view posixName) {
    const std::string_view name = posixName.substr(0, posixName.find_first_of(".@"));
    return name == "C" || name == "POSIX" ? std::string() : std::string(name);
}

} // namespace

struct TCollator::TImpl {
    std::unique_ptr<icu::Collator> collator;
};

TCollator::TCollator() : TCollator(UserLocaleName()) {}

TCollator::TCollator(std::string_view icuLocaleName)
    : impl_(std::make_unique<TImpl>(TImpl{CloneCollator(icuLocaleName)})) {}

TCollator::~TCollator() = default;

int TCollator::Compare(std::string_view a, std::string_view b) const {
    const std::u16string left = TCodePage::Decode(a);
    const std::u16string right = TCodePage::Decode(b);
    UErrorCode status = U_ZERO_ERROR;
    return impl_->collator->compare(left.data(), IcuLength(left.size()), right.data(),
                                    IcuLength(right.size()), status);
}

std::string TCollator::SortKey(std::string_view text) const {
    const std::u16string decoded = TCodePage::Decode(text);
    const auto fill = [&](std::string& key) {
        return impl_->collator->getSortKey(decoded.data(), IcuLength(decoded.size()),
                                           reinterpret_cast<std::uint8_t*>(key.data()),
                                           IcuLength(key.size()));
    };
    std::string key(decoded.size() * 4 + 8, '\0');
    std::int32_t length = fill(key);
    if (length > IcuLength(key.size())) {
        key.resize(static_cast<std::size_t>(length));
        length = fill(key);
    }
    // ICU ends the key with a zero byte that adds nothing to the byte order.
    key.resize(length > 0 ? static_cast<std::size_t>(length) - 1 : 0);
    return key;
}

std::string TCollator::UserLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_COLLATE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            return IcuLocaleName(value);
        }
    }
    return {};
}
