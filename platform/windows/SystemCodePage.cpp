#include "platform/SystemCodePage.h"

#include "platform/windows/WindowsText.h"

#include <windows.h>

namespace {

constexpr UINT CodePage932 = 932;

} // namespace

struct TSystemCodePage::TImpl {};

TSystemCodePage::TSystemCodePage() : impl_(std::make_unique<TImpl>()) {}

TSystemCodePage::~TSystemCodePage() = default;

std::optional<char16_t> TSystemCodePage::DecodePair(std::uint16_t code) const {
    const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    wchar_t unicode[2];
    if (::MultiByteToWideChar(CodePage932, MB_ERR_INVALID_CHARS, bytes, 2, unicode, 2) == 1) {
        return static_cast<char16_t>(unicode[0]);
    }
    return std::nullopt;
}

std::optional<std::uint16_t> TSystemCodePage::EncodeDoubleByte(char16_t character) const {
    const auto unicode = static_cast<wchar_t>(character);
    char bytes[4];
    BOOL usedDefault = FALSE;
    if (::WideCharToMultiByte(CodePage932, WC_NO_BEST_FIT_CHARS, &unicode, 1, bytes, 4, nullptr,
                              &usedDefault) == 2 &&
        !usedDefault) {
        return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 |
                                          static_cast<unsigned char>(bytes[1]));
    }
    return std::nullopt;
}

// CharLowerBuffA would lower through the system's ANSI code page, which is 932 only on a
// Japanese system: the character is lowered as CharLowerBuffA lowers it there.
char16_t LowerCaseCharacter(char16_t character) {
    auto unicode = static_cast<wchar_t>(character);
    ::CharLowerBuffW(&unicode, 1);
    return static_cast<char16_t>(unicode);
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    const std::wstring wide = WideFromUtf8(utf8);
    return {wide.begin(), wide.end()};
}

std::string Utf16ToUtf8(std::u16string_view text) {
    return Utf8FromWide(
        std::wstring_view(reinterpret_cast<const wchar_t*>(text.data()), text.size()));
}
