#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

/// Code page 932 and Unicode as the system's own services convert them: ICU on Linux, the
/// Win32 conversions on Windows. TCodePage asks once per code to build its tables.
class TSystemCodePage {
public:
    TSystemCodePage();
    TSystemCodePage(const TSystemCodePage&) = delete;
    TSystemCodePage& operator=(const TSystemCodePage&) = delete;
    ~TSystemCodePage();

    /// The one character of a double-byte code (lead << 8 | trail); nothing where the code page
    /// has none.
    std::optional<char16_t> DecodePair(std::uint16_t code) const;
    /// The double-byte code the system writes for a character; nothing where it writes none.
    std::optional<std::uint16_t> EncodeDoubleByte(char16_t character) const;

private:
    struct TImpl;
    std::unique_ptr<TImpl> impl_;
};

/// The character's lower-case form as the system lowers it; the character where it has none.
char16_t LowerCaseCharacter(char16_t character);

/// Malformed UTF-8 becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
/// A lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
