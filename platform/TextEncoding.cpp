#include "TextEncoding.h"

#include "CodePage.h"
#include "Files.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view Utf16BigEndianMark = "\xFE\xFF";

/// Code units decoded before they are encoded, so that no text needs a UTF-16 copy whole.
constexpr std::size_t UnitsPerPiece = 1 << 16;

unsigned char ByteAt(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]);
}

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

bool IsInRange(unsigned char byte, unsigned char low, unsigned char high) {
    return byte >= low && byte <= high;
}

/// Bytes of the well-formed UTF-8 character that starts at `at`, 0 when none does: no overlong
/// form, no surrogate, nothing above U+10FFFF.
std::size_t Utf8CharLength(std::string_view bytes, std::size_t at) {
    const std::size_t left = bytes.size() - at;
    const unsigned char lead = ByteAt(bytes, at);
    if (lead < 0x80) {
        return 1;
    }
    if (lead < 0xC2) {
        return 0;
    }
    if (lead < 0xE0) {
        return left >= 2 && IsContinuation(ByteAt(bytes, at + 1)) ? 2 : 0;
    }
    if (lead < 0xF0) {
        const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
        return left >= 3 && IsInRange(ByteAt(bytes, at + 1), low, high) &&
                       IsContinuation(ByteAt(bytes, at + 2))
                   ? 3
                   : 0;
    }
    if (lead < 0xF5) {
        const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
        return left >= 4 && IsInRange(ByteAt(bytes, at + 1), low, high) &&
                       IsContinuation(ByteAt(bytes, at + 2)) &&
                       IsContinuation(ByteAt(bytes, at + 3))
                   ? 4
                   : 0;
    }
    return 0;
}

/// Where the run of ASCII bytes from `at` ends. Eight bytes at a time: most of a file is
/// ASCII, and a Shift-JIS file without double-byte text is checked to its end.
std::size_t SkipAscii(std::string_view bytes, std::size_t at) {
    constexpr std::uint64_t HighBits = 0x8080808080808080ULL;
    while (at + sizeof(std::uint64_t) <= bytes.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + at, sizeof word);
        if ((word & HighBits) != 0) {
            break;
        }
        at += sizeof word;
    }
    while (at < bytes.size() && ByteAt(bytes, at) < 0x80) {
        ++at;
    }
    return at;
}

struct TUtf8Scan {
    bool valid = true;
    bool hasMultiByte = false;
};

TUtf8Scan ScanUtf8(std::string_view bytes) {
    TUtf8Scan scan;
    for (std::size_t at = SkipAscii(bytes, 0); at < bytes.size();) {
        const std::size_t length = Utf8CharLength(bytes, at);
        if (length == 0) {
            scan.valid = false;
            break;
        }
        scan.hasMultiByte = true;
        at = SkipAscii(bytes, at + length);
    }
    return scan;
}

/// The code point of a well-formed multi-byte UTF-8 character of `length` bytes.
char32_t DecodeUtf8(std::string_view bytes, std::size_t at, std::size_t length) {
    const unsigned char lead = ByteAt(bytes, at);
    char32_t point = length == 2 ? lead & 0x1FU : length == 3 ? lead & 0x0FU : lead & 0x07U;
    for (std::size_t next = 1; next < length; ++next) {
        point = point << 6 | (ByteAt(bytes, at + next) & 0x3FU);
    }
    return point;
}

void AppendUtf16(std::u16string& units, char32_t point) {
    if (point < 0x10000) {
        units.push_back(static_cast<char16_t>(point));
        return;
    }
    point -= 0x10000;
    units.push_back(static_cast<char16_t>(0xD800 + (point >> 10)));
    units.push_back(static_cast<char16_t>(0xDC00 + (point & 0x3FF)));
}

/// Converts `utf8` while checking it: false, and `result` of no use, at the first byte that
/// belongs to no well-formed character. ASCII is copied as it is, which is what the code page
/// holds for it.
bool TryConvertUtf8(std::string_view utf8, TCodePageText& result) {
    result.text.reserve(utf8.size());
    std::u16string units;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t asciiEnd = SkipAscii(utf8, at);
        result.text.append(utf8.substr(at, asciiEnd - at));
        at = asciiEnd;
        units.clear();
        while (at < utf8.size() && ByteAt(utf8, at) >= 0x80 && units.size() < UnitsPerPiece) {
            const std::size_t length = Utf8CharLength(utf8, at);
            if (length == 0) {
                return false;
            }
            AppendUtf16(units, DecodeUtf8(utf8, at, length));
            at += length;
        }
        result.replacedCount += TCodePage::AppendEncoded(units, result.text);
    }
    return true;
}

bool IsLeadSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsTrailSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

/// `bytes` begins with the byte-order mark, which is skipped.
TCodePageText ConvertUtf16(std::string_view bytes, bool bigEndian, std::string_view fileName) {
    if (bytes.size() % 2 != 0) {
        throw ETextEncodingError(fileName, "バイト数が奇数です");
    }
    const std::size_t highByte = bigEndian ? 0 : 1;
    auto unitAt = [&](std::size_t at) {
        return static_cast<char16_t>(ByteAt(bytes, at + highByte) << 8 |
                                     ByteAt(bytes, at + 1 - highByte));
    };
    auto loneSurrogate = [&](std::size_t at) {
        return ETextEncodingError(fileName,
                                  std::to_string(at + 1) + " バイト目のサロゲートに対がありません");
    };
    TCodePageText result;
    result.text.reserve(bytes.size() / 2);
    std::u16string units;
    units.reserve(UnitsPerPiece + 1);
    for (std::size_t at = Utf16LittleEndianMark.size(); at < bytes.size(); at += 2) {
        const char16_t unit = unitAt(at);
        if (IsTrailSurrogate(unit)) {
            throw loneSurrogate(at);
        }
        units.push_back(unit);
        if (IsLeadSurrogate(unit)) {
            if (at + 2 >= bytes.size() || !IsTrailSurrogate(unitAt(at + 2))) {
                throw loneSurrogate(at);
            }
            at += 2;
            units.push_back(unitAt(at));
        }
        if (units.size() >= UnitsPerPiece) {
            result.replacedCount += TCodePage::AppendEncoded(units, result.text);
            units.clear();
        }
    }
    result.replacedCount += TCodePage::AppendEncoded(units, result.text);
    return result;
}

} // namespace

ETextEncodingError::ETextEncodingError(std::string_view fileName, std::string_view cause)
    : EPelloranError(FormatMessage("ファイル %s は UTF-16 として読めません: ", fileName) +
                     std::string(cause)) {}

bool IsValidUtf8(std::string_view bytes) {
    return ScanUtf8(bytes).valid;
}

TTextEncoding DetectTextEncoding(std::string_view bytes) {
    if (bytes.starts_with(Utf16LittleEndianMark)) {
        return TTextEncoding::Utf16LittleEndian;
    }
    if (bytes.starts_with(Utf16BigEndianMark)) {
        return TTextEncoding::Utf16BigEndian;
    }
    if (bytes.starts_with(Utf8Mark)) {
        return IsValidUtf8(bytes.substr(Utf8Mark.size())) ? TTextEncoding::Utf8
                                                          : TTextEncoding::CodePage;
    }
    const TUtf8Scan scan = ScanUtf8(bytes);
    return scan.valid && scan.hasMultiByte ? TTextEncoding::Utf8 : TTextEncoding::CodePage;
}

TCodePageText ConvertToCodePage(std::string bytes, std::string_view fileName) {
    const std::string_view view(bytes);
    if (view.starts_with(Utf16LittleEndianMark)) {
        return ConvertUtf16(view, false, fileName);
    }
    if (view.starts_with(Utf16BigEndianMark)) {
        return ConvertUtf16(view, true, fileName);
    }
    // The rule of DetectTextEncoding, checked while converting, so that a UTF-8 file is read
    // once instead of twice; a Shift-JIS file almost always fails at its first double-byte
    // character, which is looked at before anything is converted.
    const bool marked = view.starts_with(Utf8Mark);
    const std::size_t firstNonAscii = SkipAscii(view, 0);
    if (marked || (firstNonAscii < view.size() && Utf8CharLength(view, firstNonAscii) > 0)) {
        TCodePageText converted;
        if (TryConvertUtf8(marked ? view.substr(Utf8Mark.size()) : view, converted)) {
            return converted;
        }
    }
    return {std::move(bytes), 0};
}

TTextStart JudgeTextStart(std::string_view head, bool complete) {
    // The longest mark and the longest UTF-8 character.
    constexpr std::size_t MarkBytes = 3;
    constexpr std::size_t CharacterBytes = 4;
    if (head.starts_with(Utf16LittleEndianMark) || head.starts_with(Utf16BigEndianMark) ||
        head.starts_with(Utf8Mark)) {
        return TTextStart::MayNeedConverting;
    }
    if (!complete && head.size() < MarkBytes) {
        return TTextStart::Undecided;
    }
    // The rule of ConvertToCodePage: its first character that is not ASCII decides.
    const std::size_t firstNonAscii = SkipAscii(head, 0);
    if (firstNonAscii == head.size()) {
        return complete ? TTextStart::CodePageAsItIs : TTextStart::Undecided;
    }
    if (!complete && head.size() - firstNonAscii < CharacterBytes) {
        return TTextStart::Undecided;
    }
    return Utf8CharLength(head, firstNonAscii) > 0 ? TTextStart::MayNeedConverting
                                                   : TTextStart::CodePageAsItIs;
}

TCodePageText ReadCodePageText(const std::filesystem::path& fileName) {
    return ConvertToCodePage(ReadFileBytes(fileName), fileName.string());
}

std::string ReplacedCharactersNotice(std::string_view fileName, std::size_t replacedCount) {
    return FormatMessage("ファイル %s には Shift-JIS で表せない文字が ", fileName) +
           std::to_string(replacedCount) +
           " 個あったため、「?」に置き換えました。このまま保存すると、それらの文字は「?」に"
           "なります。";
}
