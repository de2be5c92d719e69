#include "platform/CodePage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/ustring.h>
#include <utility>

namespace {

constexpr char16_t ReplacementCharacter = u'\uFFFD';
constexpr std::uint16_t Unmapped = 0xFFFF;

struct TConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using TConverter = std::unique_ptr<UConverter, TConverterCloser>;

/// Both directions of code page 932, indexed by the byte code (one byte, or lead << 8 | trail)
/// and by the UTF-16 code unit.
class TCodePageTables {
public:
    TCodePageTables() {
        toUnicode_.fill(ReplacementCharacter);
        fromUnicode_.fill(Unmapped);
        AddSingleBytes();
        AddDoubleBytes();
        AddVariants();
    }

    char16_t DecodeByte(unsigned char byte) const { return toUnicode_[byte]; }
    char16_t DecodePair(unsigned char lead, unsigned char trail) const {
        return toUnicode_[static_cast<std::size_t>(lead << 8 | trail)];
    }
    std::uint16_t EncodeUnit(char16_t unit) const { return fromUnicode_[unit]; }

private:
    void Map(std::uint16_t code, char16_t unit) {
        toUnicode_[code] = unit;
        if (fromUnicode_[unit] == Unmapped) {
            fromUnicode_[unit] = code;
        }
    }

    void AddSingleBytes() {
        for (std::uint16_t byte = 0; byte < 0x80; ++byte) {
            Map(byte, static_cast<char16_t>(byte));
        }
        for (std::uint16_t byte = 0xA1; byte <= 0xDF; ++byte) {
            Map(byte, static_cast<char16_t>(0xFF61 + (byte - 0xA1)));
        }
        // Windows keeps these five bytes as characters of their own; ICU rejects them.
        Map(0x80, u'\u0080');
        Map(0xA0, u'\uF8F0');
        Map(0xFD, u'\uF8F1');
        Map(0xFE, u'\uF8F2');
        Map(0xFF, u'\uF8F3');
    }

    void AddDoubleBytes() {
        UErrorCode status = U_ZERO_ERROR;
        TConverter converter(ucnv_open("windows-31j", &status));
        if (U_FAILURE(status)) {
            throw std::runtime_error("ICU has no converter for code page 932");
        }
        ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                            &status);
        ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                              &status);
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (!TCodePage::IsLeadByte(static_cast<unsigned char>(lead))) {
                continue;
            }
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                if (trail != 0x7F) {
                    AddPair(converter.get(), static_cast<std::uint16_t>(lead << 8 | trail));
                }
            }
        }
        // Characters with several codes encode as Windows encodes them, which is ICU's choice.
        for (std::size_t unit = 0x80; unit < fromUnicode_.size(); ++unit) {
            if (fromUnicode_[unit] > 0xFF) {
                fromUnicode_[unit] = EncodeWithIcu(converter.get(), static_cast<char16_t>(unit));
            }
        }
    }

    /// Mac, web forms and JIS-minded programs write these characters where Windows writes
    /// their twins, which the code page holds: each encodes as its twin, as spreadsheets and
    /// Python's cp932 codec write it, instead of becoming "?". Decoding still gives the twin.
    void AddVariants() {
        constexpr std::pair<char16_t, char16_t> VariantAndTwin[] = {
            {u'\u2212', u'\uFF0D'}, // minus sign, full-width hyphen-minus: 0x817C
            {u'\u301C', u'\uFF5E'}, // wave dash, full-width tilde: 0x8160
            {u'\u2016', u'\u2225'}, // double vertical line, parallel to: 0x8161
            {u'\u2014', u'\u2015'}, // em dash, horizontal bar: 0x815C
            {u'\u00A2', u'\uFFE0'}, // cent sign: 0x8191
            {u'\u00A3', u'\uFFE1'}, // pound sign: 0x8192
            {u'\u00AC', u'\uFFE2'}, // not sign: 0x81CA
        };
        for (const auto& [variant, twin] : VariantAndTwin) {
            if (fromUnicode_[variant] == Unmapped) {
                fromUnicode_[variant] = fromUnicode_[twin];
            }
        }
    }

    void AddPair(UConverter* converter, std::uint16_t code) {
        const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
        UChar unicode[4];
        UErrorCode status = U_ZERO_ERROR;
        ucnv_resetToUnicode(converter);
        const std::int32_t length = ucnv_toUChars(converter, unicode, 4, bytes, 2, &status);
        if (U_SUCCESS(status) && length == 1) {
            Map(code, static_cast<char16_t>(unicode[0]));
        }
    }

    std::uint16_t EncodeWithIcu(UConverter* converter, char16_t unit) const {
        const UChar unicode[1] = {unit};
        char bytes[4];
        UErrorCode status = U_ZERO_ERROR;
        ucnv_resetFromUnicode(converter);
        const std::int32_t length = ucnv_fromUChars(converter, bytes, 4, unicode, 1, &status);
        if (U_SUCCESS(status) && length == 2) {
            return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 |
                                              static_cast<unsigned char>(bytes[1]));
        }
        return fromUnicode_[unit];
    }

    std::array<char16_t, 0x10000> toUnicode_{};
    std::array<std::uint16_t, 0x10000> fromUnicode_{};
};

const TCodePageTables& Tables() {
    static const TCodePageTables tables;
    return tables;
}

/// A byte that can follow a lead byte; any other ends a broken character and shows itself.
bool IsTrailByte(unsigned char byte) {
    return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string text(utf8.size(), u'\0');
    std::int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(reinterpret_cast<UChar*>(text.data()),
                         static_cast<std::int32_t>(text.size()), &length, utf8.data(),
                         static_cast<std::int32_t>(utf8.size()), ReplacementCharacter, nullptr,
                         &status);
    text.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
    return text;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string utf8(text.size() * 3, '\0');
    std::int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8WithSub(utf8.data(), static_cast<std::int32_t>(utf8.size()), &length,
                       reinterpret_cast<const UChar*>(text.data()),
                       static_cast<std::int32_t>(text.size()), ReplacementCharacter, nullptr,
                       &status);
    utf8.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
    return utf8;
}

} // namespace

std::u16string TCodePage::Decode(std::string_view bytes) {
    const TCodePageTables& tables = Tables();
    std::u16string text;
    text.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (!IsLeadByte(byte)) {
            text.push_back(tables.DecodeByte(byte));
            ++at;
        } else if (at + 1 < bytes.size() &&
                   IsTrailByte(static_cast<unsigned char>(bytes[at + 1]))) {
            text.push_back(tables.DecodePair(byte, static_cast<unsigned char>(bytes[at + 1])));
            at += 2;
        } else {
            text.push_back(ReplacementCharacter);
            ++at;
        }
    }
    return text;
}

std::string TCodePage::Encode(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    AppendEncoded(text, bytes);
    return bytes;
}

std::size_t TCodePage::AppendEncoded(std::u16string_view text, std::string& bytes) {
    const TCodePageTables& tables = Tables();
    const std::size_t oldSize = bytes.size();
    bytes.resize(oldSize + 2 * text.size());
    char* const start = bytes.data();
    char* out = start + oldSize;
    std::size_t replaced = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char16_t unit = text[at];
        std::uint16_t code = tables.EncodeUnit(unit);
        if (U16_IS_LEAD(unit) && at + 1 < text.size() && U16_IS_TRAIL(text[at + 1])) {
            ++at; // no character outside the basic plane exists in the code page
            code = Unmapped;
        }
        if (code == Unmapped) {
            *out++ = '?';
            ++replaced;
            continue;
        }
        if (code > 0xFF) {
            *out++ = static_cast<char>(code >> 8);
        }
        *out++ = static_cast<char>(code & 0xFF);
    }
    bytes.resize(static_cast<std::size_t>(out - start));
    return replaced;
}

std::string TCodePage::ToUtf8(std::string_view bytes) {
    return Utf16ToUtf8(Decode(bytes));
}

std::string TCodePage::FromUtf8(std::string_view utf8) {
    return Encode(Utf8ToUtf16(utf8));
}

std::string TCodePage::LowerCase(std::string_view bytes) {
    std::string lowered(bytes);
    const bool hasDoubleBytes = std::any_of(lowered.begin(), lowered.end(), [](char byte) {
        return IsLeadByte(static_cast<unsigned char>(byte));
    });
    if (!hasDoubleBytes) {
        // Only ASCII letters have a lower-case form among single bytes.
        for (char& byte : lowered) {
            if (byte >= 'A' && byte <= 'Z') {
                byte = static_cast<char>(byte - 'A' + 'a');
            }
        }
        return lowered;
    }
    const TCodePageTables& tables = Tables();
    for (std::size_t at = 0; at < lowered.size();) {
        const auto byte = static_cast<unsigned char>(lowered[at]);
        if (!IsLeadByte(byte) || at + 1 == lowered.size()) {
            if (byte >= 'A' && byte <= 'Z') {
                lowered[at] = static_cast<char>(byte - 'A' + 'a');
            }
            ++at;
            continue;
        }
        const char16_t unit = tables.DecodePair(byte, static_cast<unsigned char>(lowered[at + 1]));
        const auto lower = static_cast<char16_t>(u_tolower(unit));
        const std::uint16_t code = lower == unit ? Unmapped : tables.EncodeUnit(lower);
        // Only a character whose lower-case form is another double-byte code is changed, so the
        // text keeps its length and undecodable bytes stay as they are.
        if (code != Unmapped && code > 0xFF) {
            lowered[at] = static_cast<char>(code >> 8);
            lowered[at + 1] = static_cast<char>(code & 0xFF);
        }
        at += 2;
    }
    return lowered;
}
