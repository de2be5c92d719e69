#include "platform/CodePage.h"

#include "platform/SystemCodePage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <utility>

namespace {

constexpr std::uint16_t Unmapped = 0xFFFF;

/// Both directions of code page 932, indexed by the byte code (one byte, or lead << 8 | trail)
/// and by the UTF-16 code unit, and the lower-case form of each double-byte code.
class TCodePageTables {
public:
    TCodePageTables() {
        toUnicode_.fill(ReplacementCharacter);
        fromUnicode_.fill(Unmapped);
        AddSingleBytes();
        AddDoubleBytes();
        AddVariants();
        AddLowerCase();
    }

    char16_t DecodeByte(unsigned char byte) const { return toUnicode_[byte]; }
    char16_t DecodePair(unsigned char lead, unsigned char trail) const {
        return toUnicode_[static_cast<std::size_t>(lead << 8 | trail)];
    }
    std::uint16_t EncodeUnit(char16_t unit) const { return fromUnicode_[unit]; }
    /// The lowered double-byte code, or Unmapped where lowering keeps the code.
    std::uint16_t LowerPair(unsigned char lead, unsigned char trail) const {
        return lowerPair_[static_cast<std::size_t>(lead << 8 | trail)];
    }

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
        const TSystemCodePage system;
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (!TCodePage::IsLeadByte(static_cast<unsigned char>(lead))) {
                continue;
            }
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
                if (trail == 0x7F) {
                    continue;
                }
                if (const std::optional<char16_t> unit = system.DecodePair(code)) {
                    Map(code, *unit);
                }
            }
        }
        // Characters with several codes encode as the system encodes them.
        for (std::size_t unit = 0x80; unit < fromUnicode_.size(); ++unit) {
            if (fromUnicode_[unit] > 0xFF) {
                fromUnicode_[unit] = system.EncodeDoubleByte(static_cast<char16_t>(unit))
                                         .value_or(fromUnicode_[unit]);
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

    /// Only a character whose lower-case form is another double-byte code is changed, so that
    /// lowering keeps a text's length.
    void AddLowerCase() {
        lowerPair_.fill(Unmapped);
        for (std::size_t code = 0x8100; code < toUnicode_.size(); ++code) {
            const char16_t unit = toUnicode_[code];
            if (!TCodePage::IsLeadByte(static_cast<unsigned char>(code >> 8)) ||
                unit == ReplacementCharacter) {
                continue;
            }
            const char16_t lower = LowerCaseCharacter(unit);
            const std::uint16_t lowerCode = lower == unit ? Unmapped : fromUnicode_[lower];
            if (lowerCode != Unmapped && lowerCode > 0xFF) {
                lowerPair_[code] = lowerCode;
            }
        }
    }

    std::array<char16_t, 0x10000> toUnicode_{};
    std::array<std::uint16_t, 0x10000> fromUnicode_{};
    std::array<std::uint16_t, 0x10000> lowerPair_{};
};

const TCodePageTables& Tables() {
    static const TCodePageTables tables;
    return tables;
}

/// A byte that can follow a lead byte; any other ends a broken character and shows itself.
bool IsTrailByte(unsigned char byte) {
    return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
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
        if (IsLeadSurrogate(unit) && at + 1 < text.size() && IsTrailSurrogate(text[at + 1])) {
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
        const std::uint16_t code =
            tables.LowerPair(byte, static_cast<unsigned char>(lowered[at + 1]));
        if (code != Unmapped) {
            lowered[at] = static_cast<char>(code >> 8);
            lowered[at + 1] = static_cast<char>(code & 0xFF);
        }
        at += 2;
    }
    return lowered;
}
