#include "platform/Collator.h"

#include "platform/CodePage.h"
#include "platform/windows/WindowsText.h"

#include <windows.h>

namespace {

std::wstring_view Wide(const std::u16string& text) {
    return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}

int ServiceLength(std::size_t length) {
    return length > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(length);
}

} // namespace

// The texts are decoded from code page 932 here rather than handed to CompareStringA, which
// reads them in the system's ANSI code page: 932 only on a Japanese system.
struct TCollator::TImpl {
    std::wstring localeName;
};

TCollator::TCollator() : TCollator(UserLocaleName()) {}

TCollator::TCollator(std::string_view localeName)
    : impl_(std::make_unique<TImpl>(TImpl{WideFromUtf8(localeName)})) {}

TCollator::~TCollator() = default;

int TCollator::Compare(std::string_view a, std::string_view b) const {
    const std::u16string left = TCodePage::Decode(a);
    const std::u16string right = TCodePage::Decode(b);
    const int result = ::CompareStringEx(
        impl_->localeName.c_str(), NORM_IGNORECASE, Wide(left).data(), ServiceLength(left.size()),
        Wide(right).data(), ServiceLength(right.size()), nullptr, nullptr, 0);
    if (result == 0) {
        // Only a locale the system does not know fails: the code units still give an order.
        return left.compare(right) < 0 ? -1 : left == right ? 0 : 1;
    }
    return result - CSTR_EQUAL;
}

std::string TCollator::SortKey(std::string_view text) const {
    const std::u16string decoded = TCodePage::Decode(text);
    const auto fill = [&](std::string& key) {
        // A sort key is bytes, which the service counts in bytes.
        return ::LCMapStringEx(impl_->localeName.c_str(), LCMAP_SORTKEY | NORM_IGNORECASE,
                               Wide(decoded).data(), ServiceLength(decoded.size()),
                               reinterpret_cast<LPWSTR>(key.data()), ServiceLength(key.size()),
                               nullptr, nullptr, 0);
    };
    std::string key(decoded.size() * 8 + 16, '\0');
    int length = fill(key);
    if (length == 0 && ::GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        key.assign(static_cast<std::size_t>(
                       ::LCMapStringEx(impl_->localeName.c_str(), LCMAP_SORTKEY | NORM_IGNORECASE,
                                       Wide(decoded).data(), ServiceLength(decoded.size()), nullptr,
                                       0, nullptr, nullptr, 0)),
                   '\0');
        length = fill(key);
    }
    // The key ends with a zero byte that adds nothing to the byte order.
    key.resize(length > 0 ? static_cast<std::size_t>(length) - 1 : 0);
    return key;
}

// The system's weights are not open to the program: no prefix decides, whole keys do.
TPrimaryPrefix TCollator::PrimaryPrefix(std::string_view /*text*/) const {
    return {};
}

void TCollator::PreparePrimaryPrefixes() const {}

std::string TCollator::UserLocaleName() {
    wchar_t name[LOCALE_NAME_MAX_LENGTH];
    const int length = ::GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH);
    return length > 1 ? Utf8FromWide(std::wstring_view(name, static_cast<std::size_t>(length - 1)))
                      : std::string();
}
