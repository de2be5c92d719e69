#pragma once

#include <cstddef>
#include <string>
#include <string_view>

/// U+FFFD, what bytes that form no character decode as.
inline constexpr char16_t ReplacementCharacter = u'\uFFFD';

constexpr bool IsLeadSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

constexpr bool IsTrailSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

/// The ANSI code page of the program's texts: Windows code page 932 (Shift-JIS).
/// Tables are built once, from ICU's windows-31j converter, on first use.
class TCodePage {
public:
    /// 0x81-0x9F and 0xE0-0xFC begin a double-byte character.
    static constexpr bool IsLeadByte(unsigned char byte) {
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    }

    /// Bytes of the character at `position`: 2 for a lead byte, 1 otherwise, never past the end.
    static std::size_t CharLength(std::string_view text, std::size_t position) {
        return IsLeadByte(static_cast<unsigned char>(text[position])) && position + 1 < text.size()
                   ? 2
                   : 1;
    }

    /// Bytes that do not form a character decode as U+FFFD.
    static std::u16string Decode(std::string_view bytes);
    /// A character the code page cannot hold becomes "?". The variants that Mac and web forms
    /// write of seven characters the code page holds (minus sign U+2212, wave dash U+301C, double
    /// vertical line U+2016, em dash U+2014, cent U+00A2, pound U+00A3, not sign U+00AC) are
    /// written as those characters, as spreadsheets and Python write them. Every conversion into
    /// the code page goes through here.
    static std::string Encode(std::u16string_view text);
    /// Appends the bytes of `text` as Encode writes them and returns how many characters became
    /// "?". A lone surrogate is such a character.
    static std::size_t AppendEncoded(std::u16string_view text, std::string& bytes);

    static std::string ToUtf8(std::string_view bytes);
    static std::string FromUtf8(std::string_view utf8);

    /// Lower-cases every character that has a lower-case form in the code page (ASCII and
    /// full-width letters, Greek, Cyrillic, Roman numerals); every other byte stays as it is.
    static std::string LowerCase(std::string_view bytes);
    /// Whether LowerCase(bytes) equals `lowered`, without building it for most texts. Inline:
    /// marking asks it for every answer of every student.
    static bool EqualsLowered(std::string_view bytes, std::string_view lowered) {
        // Lower-casing keeps the length, and text without double-byte characters only has
        // ASCII letters to lower.
        if (bytes.size() != lowered.size()) {
            return false;
        }
        // The common one-letter answer: a lead byte alone is no character and stays as it is.
        if (bytes.size() == 1) {
            return LowerAscii(bytes[0]) == lowered[0];
        }
        for (std::size_t at = 0; at < bytes.size(); ++at) {
            if (IsLeadByte(static_cast<unsigned char>(bytes[at]))) {
                return LowerCase(bytes) == lowered;
            }
            if (LowerAscii(bytes[at]) != lowered[at]) {
                return false;
            }
        }
        return true;
    }

    /// The byte lowered as LowerCase lowers a byte that is no part of a double-byte character.
    static constexpr char LowerAscii(char byte) {
        return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
    }
};
