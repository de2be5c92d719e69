#include "platform/TextEncoding.h"

#include "platform/CodePage.h"
#include "platform/Files.h"
#include "platform/Paths.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <optional>

namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view Utf16BigEndianMark = "\xFE\xFF";
constexpr std::string_view Utf32LittleEndianMark("\xFF\xFE\0\0", 4);

/// Code units decoded before they are encoded, so that no text needs a UTF-16 copy whole.
constexpr std::size_t UnitsPerPiece = 1 << 16;

/// Bytes at the start of a text whose NUL bytes tell UTF-16 without a mark from other text.
constexpr std::size_t NulWindowBytes = 4096;

/// UTF-32's little-endian mark begins with UTF-16's; its text is left to the NUL bytes.
bool StartsWithUtf16LittleEndianMark(std::string_view bytes) {
    return bytes.starts_with(Utf16LittleEndianMark) && !bytes.starts_with(Utf32LittleEndianMark);
}

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
    /// Where the first byte that belongs to no well-formed character is; npos when none does.
    std::size_t illFormedAt = std::string_view::npos;
    bool hasMultiByte = false;

    bool IsWellFormed() const { return illFormedAt == std::string_view::npos; }
};

TUtf8Scan ScanUtf8(std::string_view bytes) {
    TUtf8Scan scan;
    for (std::size_t at = SkipAscii(bytes, 0); at < bytes.size();) {
        const std::size_t length = Utf8CharLength(bytes, at);
        if (length == 0) {
            scan.illFormedAt = at;
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

/// Converts `utf8` while checking it: nothing at the first byte that belongs to no well-formed
/// character. ASCII is copied as it is, which is what the code page holds for it.
std::optional<TCodePageText> TryConvertUtf8(std::string_view utf8) {
    TCodePageText result;
    result.encoding = TTextEncoding::Utf8;
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
                return std::nullopt;
            }
            AppendUtf16(units, DecodeUtf8(utf8, at, length));
            at += length;
        }
        result.replacedCount += TCodePage::AppendEncoded(units, result.text);
    }
    return result;
}

/// Converts the UTF-16 units from `start`, after the byte-order mark if there is one; the
/// places in errors count from the start of `bytes`.
TCodePageText ConvertUtf16(std::string_view bytes, std::size_t start, bool bigEndian,
                           std::string_view fileName) {
    if (bytes.size() % 2 != 0) {
        throw ETextEncodingError(fileName, {"Utf16OddLength", "バイト数が奇数です"});
    }
    const std::size_t highByte = bigEndian ? 0 : 1;
    auto unitAt = [&](std::size_t at) {
        return static_cast<char16_t>(ByteAt(bytes, at + highByte) << 8 |
                                     ByteAt(bytes, at + 1 - highByte));
    };
    auto loneSurrogate = [&](std::size_t at) {
        return ETextEncodingError(fileName, {"Utf16LoneSurrogate",
                                             "%1 バイト目のサロゲートに対がありません",
                                             {TUserText::Number(at + 1)}});
    };
    TCodePageText result;
    result.encoding = bigEndian ? TTextEncoding::Utf16BigEndian : TTextEncoding::Utf16LittleEndian;
    result.text.reserve(bytes.size() / 2);
    std::u16string units;
    units.reserve(UnitsPerPiece + 1);
    for (std::size_t at = start; at < bytes.size(); at += 2) {
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

/// Whether a code unit is in the ranges of the characters a class's text holds: ASCII's
/// printable characters and line breaks, Latin letters and their accents, Greek and Cyrillic,
/// punctuation and symbols, kana and kanji, Hangul, surrogates (whose pairs the conversion
/// checks), the code page's user area, and the full- and half-width forms.
bool IsUnitOfText(char16_t unit) {
    struct TUnitRange {
        char16_t first;
        char16_t last;
    };
    static constexpr TUnitRange TextRanges[] = {
        {u'\t', u'\n'},   {u'\r', u'\r'},   {0x0020, 0x007E}, {0x00A0, 0x052F},
        {0x1E00, 0x1EFF}, {0x2000, 0x27BF}, {0x2E80, 0x9FFF}, {0xAC00, 0xD7A3},
        {0xD800, 0xFAFF}, {0xFE30, 0xFE4F}, {0xFF00, 0xFFEF},
    };
    return std::any_of(std::begin(TextRanges), std::end(TextRanges), [&](const TUnitRange& range) {
        return unit >= range.first && unit <= range.last;
    });
}

bool IsLineBreakOrSeparator(char16_t unit) {
    return unit == u'\r' || unit == u'\n' || unit == u'\t' || unit == u',' || unit == u' ';
}

/// What the code units of a text read in one byte order hold.
struct TUnitCounts {
    std::size_t units = 0;
    /// ASCII among them: digits, separators and line breaks, in every text the program reads.
    std::size_t zeroHighByte = 0;
    /// A zero low byte: only the few characters U+xx00 (U+3000, the ideographic space, among
    /// them).
    std::size_t zeroLowByte = 0;
    std::size_t lineBreaksAndSeparators = 0;
    std::size_t outsideText = 0;
};

TUnitCounts CountUnits(std::string_view window, bool bigEndian) {
    const std::size_t highByte = bigEndian ? 0 : 1;
    TUnitCounts counts;
    for (std::size_t at = 0; at + 1 < window.size(); at += 2) {
        const unsigned char high = ByteAt(window, at + highByte);
        const unsigned char low = ByteAt(window, at + 1 - highByte);
        const auto unit = static_cast<char16_t>(high << 8U | low);
        ++counts.units;
        counts.zeroHighByte += high == 0 ? 1U : 0U;
        counts.zeroLowByte += low == 0 ? 1U : 0U;
        counts.lineBreaksAndSeparators += IsLineBreakOrSeparator(unit) ? 1U : 0U;
        counts.outsideText += IsUnitOfText(unit) ? 0U : 1U;
    }
    return counts;
}

/// Whether the units show UTF-16 in their byte order. Zero bytes in a code-page text are NULs
/// that fall at either place by chance, so a few are no evidence: there must be more than two,
/// at least one unit in eight, and more than the other place holds; and the units must read as
/// a text of lines and fields in the scripts a class writes.
bool ShowsUtf16Order(const TUnitCounts& counts) {
    constexpr std::size_t LeastZeroHighBytes = 3;
    constexpr std::size_t UnitsPerZeroHighByte = 8;
    constexpr std::size_t UnitsPerUnitOutsideText = 8;
    return counts.zeroHighByte >= LeastZeroHighBytes && counts.zeroHighByte > counts.zeroLowByte &&
           counts.zeroHighByte * UnitsPerZeroHighByte >= counts.units &&
           counts.lineBreaksAndSeparators > 0 &&
           counts.outsideText * UnitsPerUnitOutsideText <= counts.units;
}

/// The byte order of UTF-16 without a mark that the zero bytes of `window` show, if any. A
/// unit of two zero bytes, U+0000, belongs to no text, but to UTF-32 and other formats.
std::optional<TTextEncoding> Utf16OrderOfZeroBytes(std::string_view window) {
    for (std::size_t at = 0; at + 1 < window.size(); at += 2) {
        if (window[at] == '\0' && window[at + 1] == '\0') {
            return std::nullopt;
        }
    }
    if (ShowsUtf16Order(CountUnits(window, false))) {
        return TTextEncoding::Utf16LittleEndian;
    }
    if (ShowsUtf16Order(CountUnits(window, true))) {
        return TTextEncoding::Utf16BigEndian;
    }
    return std::nullopt;
}

/// Whether the NUL bytes of `window`, the first at `firstNul`, are what a code-page text may
/// hold: one NUL, or one run of them, after the first line, where the line rules end the text.
/// UTF-16 has a zero byte after each ASCII character, a CR among them.
bool EndsCodePageText(std::string_view window, std::size_t firstNul) {
    const std::size_t runEnd = window.find_first_not_of('\0', firstNul);
    const bool oneRun =
        runEnd == std::string_view::npos || window.find('\0', runEnd) == std::string_view::npos;
    return oneRun && window.find_first_of("\r\n") < firstNul;
}

/// What NUL bytes among the first bytes of a text without a UTF-16 mark tell of its encoding:
/// nothing when there are none, or when they merely end a code-page text.
std::optional<TTextEncoding> EncodingOfNulBytes(std::string_view bytes) {
    const std::string_view window = bytes.substr(0, NulWindowBytes);
    const std::size_t firstNul = window.find('\0');
    if (firstNul == std::string_view::npos) {
        return std::nullopt;
    }
    if (const std::optional<TTextEncoding> utf16 = Utf16OrderOfZeroBytes(window)) {
        return utf16;
    }
    if (EndsCodePageText(window, firstNul)) {
        return std::nullopt;
    }
    return TTextEncoding::Unknown;
}

/// Where the UTF-8 test of a text's start decides, `head` holding its first bytes: at an
/// ill-formed character whose bytes are all there, the text is no UTF-8 whatever follows.
bool FailsUtf8Test(std::string_view head) {
    constexpr std::size_t LongestCharacterBytes = 4;
    const std::size_t illFormedAt = ScanUtf8(head).illFormedAt;
    return illFormedAt != std::string_view::npos &&
           head.size() - illFormedAt >= LongestCharacterBytes;
}

/// The steps of the rule before the UTF-8 test: the UTF-16 marks, then the NUL bytes.
std::optional<TTextEncoding> EncodingBeforeUtf8Test(std::string_view bytes) {
    if (StartsWithUtf16LittleEndianMark(bytes)) {
        return TTextEncoding::Utf16LittleEndian;
    }
    if (bytes.starts_with(Utf16BigEndianMark)) {
        return TTextEncoding::Utf16BigEndian;
    }
    return EncodingOfNulBytes(bytes);
}

std::string_view WithoutUtf8Mark(std::string_view bytes) {
    return bytes.starts_with(Utf8Mark) ? bytes.substr(Utf8Mark.size()) : bytes;
}

/// An optimisation of the UTF-8 test of TextEncodingDetail::FindTextEncoding, which gives the
/// same answer: the text is checked while it is converted, so that a UTF-8 file is read once
/// rather than twice (a fifth less time). Its first character that is not ASCII is looked at
/// before anything is converted, so that a Shift-JIS file costs next to nothing.
std::optional<TCodePageText> ConvertIfUtf8(std::string_view bytes) {
    const std::string_view text = WithoutUtf8Mark(bytes);
    const std::size_t firstNonAscii = SkipAscii(text, 0);
    const bool marked = text.size() < bytes.size();
    if (firstNonAscii == text.size() && !marked) {
        return std::nullopt;
    }
    if (firstNonAscii < text.size() && Utf8CharLength(text, firstNonAscii) == 0) {
        return std::nullopt;
    }
    return TryConvertUtf8(text);
}

} // namespace

TTextEncoding TextEncodingDetail::FindTextEncoding(std::string_view bytes) {
    if (const std::optional<TTextEncoding> early = EncodingBeforeUtf8Test(bytes)) {
        return *early;
    }
    if (bytes.starts_with(Utf8Mark)) {
        return ScanUtf8(WithoutUtf8Mark(bytes)).IsWellFormed() ? TTextEncoding::Utf8
                                                               : TTextEncoding::CodePage;
    }
    const TUtf8Scan scan = ScanUtf8(bytes);
    return scan.IsWellFormed() && scan.hasMultiByte ? TTextEncoding::Utf8 : TTextEncoding::CodePage;
}

ETextEncodingError::ETextEncodingError(std::string_view fileName, const TUserText& cause)
    : EPelloranError(TUserText("Utf16Unreadable", "ファイル %1 は UTF-16 として読めません: %2",
                               {TUserText::Literal(std::string(fileName)), cause})) {}

ETextEncodingError::ETextEncodingError(const TUserText& text) : EPelloranError(text) {}

EUnknownTextEncodingError::EUnknownTextEncodingError(std::string_view fileName,
                                                     std::size_t nulOffset)
    : ETextEncodingError(TUserText(
          "UnknownEncoding",
          "ファイル %1 はテキストとして読めません: %2 バイト目に NUL があり、Shift-JIS、UTF-8、"
          "UTF-16 のどれでもありません",
          {TUserText::Literal(std::string(fileName)), TUserText::Number(nulOffset + 1)})) {}

TCodePageText ConvertToCodePage(std::string bytes, std::string_view fileName) {
    const std::string_view view(bytes);
    switch (EncodingBeforeUtf8Test(view).value_or(TTextEncoding::CodePage)) {
    case TTextEncoding::Utf16LittleEndian:
        return ConvertUtf16(
            view, StartsWithUtf16LittleEndianMark(view) ? Utf16LittleEndianMark.size() : 0, false,
            fileName);
    case TTextEncoding::Utf16BigEndian:
        return ConvertUtf16(view,
                            view.starts_with(Utf16BigEndianMark) ? Utf16BigEndianMark.size() : 0,
                            true, fileName);
    case TTextEncoding::Unknown:
        throw EUnknownTextEncodingError(fileName, view.find('\0'));
    case TTextEncoding::CodePage:
    case TTextEncoding::Utf8:
        break;
    }
    if (std::optional<TCodePageText> utf8 = ConvertIfUtf8(view)) {
        return std::move(*utf8);
    }
    return {.text = std::move(bytes)};
}

TTextStart JudgeTextStart(std::string_view head, bool complete) {
    if (complete) {
        return TextEncodingDetail::FindTextEncoding(head) == TTextEncoding::CodePage
                   ? TTextStart::CodePageAsItIs
                   : TTextStart::MayNeedConverting;
    }
    // The steps of the rule, each as far as the first bytes decide it.
    if (StartsWithUtf16LittleEndianMark(head) || head.starts_with(Utf16BigEndianMark)) {
        return TTextStart::MayNeedConverting;
    }
    if (head.size() < NulWindowBytes) {
        return TTextStart::Undecided;
    }
    if (EncodingOfNulBytes(head)) {
        return TTextStart::MayNeedConverting;
    }
    return FailsUtf8Test(WithoutUtf8Mark(head)) ? TTextStart::CodePageAsItIs
                                                : TTextStart::Undecided;
}

TCodePageText ReadCodePageText(const std::filesystem::path& fileName) {
    return ConvertToCodePage(ReadFileBytes(fileName), PathText(fileName));
}

TUserText ReplacedCharactersNotice(std::string_view fileName, std::size_t replacedCount) {
    return {"ReplacedInFile",
            "ファイル %1 には Shift-JIS で表せない文字が %2 個あったため、「?」に置き換えました。"
            "このまま保存すると、それらの文字は「?」になります。",
            {TUserText::Literal(std::string(fileName)), TUserText::Number(replacedCount)}};
}

TUserText ReplacedClipboardCharactersNotice(std::size_t replacedCount) {
    return {"ReplacedInPaste",
            "貼り付けた文字列には Shift-JIS で表せない文字が %1 個あったため、「?」に置き換えま"
            "した。このまま保存すると、それらの文字は「?」になります。",
            {TUserText::Number(replacedCount)}};
}
