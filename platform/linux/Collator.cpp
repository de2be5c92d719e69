#include "platform/Collator.h"

#include "platform/CodePage.h"

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
#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/uniset.h>
#include <unicode/unistr.h>
#include <unicode/usetiter.h>
#include <utility>
#include <vector>

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

/// The characters whose weights may depend on their neighbours or are more than one: the first
/// and the last of every contraction and context rule (the context comes first), and those
/// that expand. Rules that begin with a noncharacter (ICU's own markers) never match a text.
icu::UnicodeSet CharactersWithoutOwnWeight(const icu::Collator& collator) {
    icu::UnicodeSet characters;
    const auto* ruleBased = dynamic_cast<const icu::RuleBasedCollator*>(&collator);
    if (ruleBased == nullptr) {
        return characters.complement();
    }
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeSet contractions;
    icu::UnicodeSet expansions;
    ucol_getContractionsAndExpansions(ruleBased->toUCollator(), contractions.toUSet(),
                                      expansions.toUSet(), true, &status);
    if (U_FAILURE(status)) {
        return characters.complement();
    }
    for (const icu::UnicodeSet* set : {&contractions, &expansions}) {
        icu::UnicodeSetIterator item(*set);
        while (item.next()) {
            if (!item.isString()) {
                characters.add(item.getCodepoint());
                continue;
            }
            const icu::UnicodeString& text = item.getString();
            const UChar32 first = text.char32At(0);
            if (!U_IS_UNICODE_NONCHAR(first)) {
                characters.add(first);
                characters.add(text.char32At(text.moveIndex32(text.length(), -1)));
            }
        }
    }
    return characters;
}

/// The character's one primary weight, left-aligned; 0 for none or more than one.
std::uint32_t SinglePrimaryWeight(const icu::Collator& primaryCollator, char16_t character) {
    std::uint8_t key[8] = {};
    const std::int32_t length = primaryCollator.getSortKey(&character, 1, key, sizeof key);
    // The key is the primary weight's bytes and a terminating zero byte.
    if (length < 2 || length > 5) {
        return 0;
    }
    std::uint32_t weight = 0;
    for (std::int32_t at = 0; at < 4; ++at) {
        weight = (weight << 8) | (at < length - 1 ? key[at] : 0U);
    }
    return weight;
}

/// For every character of the code page whose primary weight is one of its own, the rank of
/// that weight among them all; 0 for every other character. Indexed by the single byte, or by
/// lead byte * 256 + trail byte.
class TPrimaryRanks {
public:
    explicit TPrimaryRanks(const icu::Collator& collator) : ranks_(0x10000, 0) {
        std::unique_ptr<icu::Collator> primaryCollator(collator.clone());
        if (primaryCollator == nullptr) {
            throw std::bad_alloc();
        }
        primaryCollator->setStrength(icu::Collator::PRIMARY);
        const icu::UnicodeSet unsafe = CharactersWithoutOwnWeight(collator);
        std::vector<std::pair<std::uint32_t, std::uint16_t>> weights;
        for (std::uint32_t index = 0; index < ranks_.size(); ++index) {
            const std::uint32_t weight = WeightOf(index, *primaryCollator, unsafe);
            if (weight != 0) {
                weights.emplace_back(weight, static_cast<std::uint16_t>(index));
            }
        }
        std::sort(weights.begin(), weights.end());
        std::uint16_t rank = 0;
        std::uint32_t previous = 0;
        for (const auto& [weight, index] : weights) {
            if (weight != previous) {
                ++rank;
                previous = weight;
            }
            ranks_[index] = rank;
        }
    }

    std::uint16_t Rank(std::size_t index) const { return ranks_[index]; }

private:
    static std::uint32_t WeightOf(std::uint32_t index, const icu::Collator& primaryCollator,
                                  const icu::UnicodeSet& unsafe) {
        std::string bytes;
        if (index < 0x100) {
            if (TCodePage::IsLeadByte(static_cast<unsigned char>(index))) {
                return 0;
            }
            bytes.push_back(static_cast<char>(index));
        } else {
            const auto lead = static_cast<unsigned char>(index >> 8);
            if (!TCodePage::IsLeadByte(lead)) {
                return 0;
            }
            bytes.push_back(static_cast<char>(lead));
            bytes.push_back(static_cast<char>(index & 0xFF));
        }
        const std::u16string decoded = TCodePage::Decode(bytes);
        if (decoded.size() != 1 || decoded[0] == u'\uFFFD' || unsafe.contains(decoded[0]) ||
            u_getCombiningClass(decoded[0]) != 0) {
            return 0;
        }
        return SinglePrimaryWeight(primaryCollator, decoded[0]);
    }

    std::vector<std::uint16_t> ranks_;
};

/// A locale's collator and, once a sort asks for them, its primary ranks.
class TBuiltCollator {
public:
    explicit TBuiltCollator(const std::string& localeName) : collator_(BuildCollator(localeName)) {}

    const icu::Collator& Collator() const { return *collator_; }

    /// Built on first use: finding the characters without a weight of their own takes tens of
    /// milliseconds, which only a large sort wins back.
    const TPrimaryRanks& PrimaryRanks() const {
        std::call_once(ranksBuilt_,
                       [&] { primaryRanks_ = std::make_unique<const TPrimaryRanks>(*collator_); });
        return *primaryRanks_;
    }

private:
    const std::unique_ptr<const icu::Collator> collator_;
    mutable std::once_flag ranksBuilt_;
    mutable std::unique_ptr<const TPrimaryRanks> primaryRanks_;
};

/// Building a tailored collator parses thousands of rules, so each locale is built once per
/// process and every TCollator gets a cheap clone.
const TBuiltCollator& BuiltCollator(std::string_view localeName) {
    static std::mutex mutex;
    static std::map<std::string, TBuiltCollator, std::less<>> built;
    const std::lock_guard<std::mutex> lock(mutex);
    auto found = built.find(localeName);
    if (found == built.end()) {
        const std::string name(localeName);
        found = built.try_emplace(name, name).first;
    }
    return found->second;
}

std::unique_ptr<icu::Collator> CloneCollator(const TBuiltCollator& built) {
    std::unique_ptr<icu::Collator> clone(built.Collator().clone());
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
    const TBuiltCollator& built;
};

TCollator::TCollator() : TCollator(UserLocaleName()) {}

TCollator::TCollator(std::string_view icuLocaleName) {
    const TBuiltCollator& built = BuiltCollator(icuLocaleName);
    impl_ = std::make_unique<TImpl>(TImpl{CloneCollator(built), built});
}

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

TPrimaryPrefix TCollator::PrimaryPrefix(std::string_view text) const {
    const TPrimaryRanks& ranks = impl_->built.PrimaryRanks();
    TPrimaryPrefix prefix;
    std::size_t at = 0;
    while (at < text.size() && prefix.length < TPrimaryPrefix::Capacity) {
        const auto byte = static_cast<unsigned char>(text[at]);
        std::size_t index = byte;
        std::size_t bytes = 1;
        if (TCodePage::IsLeadByte(byte)) {
            if (at + 1 == text.size()) {
                return prefix;
            }
            index = byte * 0x100U + static_cast<unsigned char>(text[at + 1]);
            bytes = 2;
        }
        const std::uint16_t rank = ranks.Rank(index);
        if (rank == 0) {
            return prefix;
        }
        prefix.ranks[prefix.length++] = rank;
        at += bytes;
    }
    prefix.complete = at == text.size();
    return prefix;
}

void TCollator::PreparePrimaryPrefixes() const {
    impl_->built.PrimaryRanks();
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
