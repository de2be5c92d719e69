#include "table/file/TextRules.h"

#include "platform/CodePage.h"
#include "table/file/CommaBlocks.h"
#include "table/file/WordBytes.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

/// Where the first CR or LF, and the first double quote too when `withQuote`, of `text` from
/// `from` on is; npos where there is none.
template <bool withQuote>
std::size_t FindBreakByte(std::string_view text, std::size_t from) {
    if (from >= text.size()) {
        return std::string_view::npos;
    }
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* in = begin + from;
#if defined(__SSE2__)
    // Sixteen bytes at a time: a line is a hundred bytes or more, a call to search for each
    // break on its own costs as much as the search.
    constexpr std::ptrdiff_t BlockSize = 16;
    const __m128i returns = _mm_set1_epi8('\r');
    const __m128i feeds = _mm_set1_epi8('\n');
    const __m128i quotes = _mm_set1_epi8('"');
    for (; end - in >= BlockSize; in += BlockSize) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
        __m128i found = _mm_or_si128(_mm_cmpeq_epi8(bytes, returns), _mm_cmpeq_epi8(bytes, feeds));
        if constexpr (withQuote) {
            found = _mm_or_si128(found, _mm_cmpeq_epi8(bytes, quotes));
        }
        const auto breaks = static_cast<unsigned>(_mm_movemask_epi8(found));
        if (breaks != 0) {
            return static_cast<std::size_t>(in - begin) +
                   static_cast<std::size_t>(std::countr_zero(breaks));
        }
    }
#endif
    for (; in < end; ++in) {
        if (*in == '\r' || *in == '\n' || (withQuote && *in == '"')) {
            return static_cast<std::size_t>(in - begin);
        }
    }
    return std::string_view::npos;
}

} // namespace

std::size_t FindLineBreak(std::string_view text, std::size_t from) {
    return FindBreakByte<false>(text, from);
}

std::size_t FindLineBreakOrQuote(std::string_view text, std::size_t from) {
    return FindBreakByte<true>(text, from);
}

std::vector<std::string> SplitCommaText(std::string_view line) {
    std::vector<std::string> fields;
    ForEachCommaField(line, [&](std::string_view field) { fields.emplace_back(field); });
    return fields;
}

namespace {

enum class TPlainByte : unsigned char { Ordinary, Lead, Comma, NotPlain };

/// What each byte is to a plain line: blanks, control bytes and the double quote end the quick
/// loop of SplitPlainCommaLine.
constexpr std::array<TPlainByte, 256> PlainByteKinds = [] {
    std::array<TPlainByte, 256> kinds{};
    for (unsigned byte = 0; byte < kinds.size(); ++byte) {
        if (byte <= ' ' || byte == '"') {
            kinds[byte] = TPlainByte::NotPlain;
        } else if (byte == ',') {
            kinds[byte] = TPlainByte::Comma;
        } else if (TCodePage::IsLeadByte(static_cast<unsigned char>(byte))) {
            kinds[byte] = TPlainByte::Lead;
        }
    }
    return kinds;
}();

/// Whether eight bytes are all one-byte characters that a plain line may hold: no control
/// byte, blank, double quote or byte of a double-byte character.
constexpr bool AreOneBytePlain(std::uint64_t word) {
    using namespace WordBytes;
    return !HasHighByte(word) && !HasByteBelow(word, '!') && !HasByte(word, '"');
}

/// The rest of a plain line from its first blank, at `in`, on the slower way that drops the
/// blanks at either end of each field; the field being written began at `fieldStart`. Returns
/// where the last field ends, or nullptr when the full rules must cut the line: it holds no
/// comma, so its blanks separate fields, or a control byte or a double quote. Kept out of the
/// quick loop, which it would slow down.
[[gnu::noinline]] char* SplitRestWithBlanks(const char* in, const char* end, char* out,
                                            char* fieldStart, char* base,
                                            std::vector<std::uint32_t>& fieldEnds, bool hasComma) {
    char* textEnd = out;
    while (in < end) {
        const char byte = *in;
        const TPlainByte kind = PlainByteKinds[static_cast<unsigned char>(byte)];
        if (byte == ' ') {
            if (out != fieldStart) {
                *out++ = ' ';
            }
            ++in;
        } else if (kind == TPlainByte::NotPlain) {
            return nullptr;
        } else if (kind == TPlainByte::Comma) {
            out = textEnd;
            fieldEnds.push_back(static_cast<std::uint32_t>(out - base));
            fieldStart = out;
            hasComma = true;
            ++in;
        } else {
            *out++ = *in++;
            if (kind == TPlainByte::Lead && in < end) {
                *out++ = *in++;
            }
            textEnd = out;
        }
    }
    return hasComma ? textEnd : nullptr;
}

/// Splits a run of one-byte plain characters that starts with eight at `in`: in blocks where the
/// processor can, else those eight.
[[gnu::always_inline]] inline void SplitOneBytePlainRun(const char*& in, const char* end,
                                                        char*& out, char* base,
                                                        std::uint32_t*& endsOut) {
    // Through copies, so that the quick loop's own pointers stay out of memory.
    char* blocksOut = out;
    std::uint32_t* blocksEndsOut = endsOut;
    const char* const afterBlocks =
        CommaBlocks::SplitBlocks(in, end, blocksOut, base, blocksEndsOut);
    if (afterBlocks != in) {
        in = afterBlocks;
        out = blocksOut;
        endsOut = blocksEndsOut;
        return;
    }
    // Where each of the eight goes depends only on the commas.
    for (int at = 0; at < 8; ++at) {
        const bool comma = in[at] == ',';
        *out = in[at];
        *endsOut = static_cast<std::uint32_t>(out - base);
        endsOut += comma ? 1 : 0;
        out += comma ? 0 : 1;
    }
    in += 8;
}

/// The rest of a plain line that the quick loop leaves, from `in`: its last byte, and any byte
/// from the first that is not plain to the quick loop. Fields begun before `in` start at `base
/// + oldSize`, their ends from `fieldEnds[oldCount]` on. Returns where the last field's text
/// ends, or nullptr when the full rules must cut the line.
char* SplitPlainRest(const char* in, const char* end, char* out, char* base,
                     std::vector<std::uint32_t>& fieldEnds, std::size_t oldSize,
                     std::size_t oldCount) {
    while (in < end) {
        switch (PlainByteKinds[static_cast<unsigned char>(*in)]) {
        case TPlainByte::Ordinary:
            *out++ = *in++;
            break;
        case TPlainByte::Lead:
            *out++ = *in++;
            if (in < end) {
                *out++ = *in++;
            }
            break;
        case TPlainByte::Comma:
            fieldEnds.push_back(static_cast<std::uint32_t>(out - base));
            ++in;
            break;
        case TPlainByte::NotPlain:
            if (*in != ' ') {
                return nullptr;
            }
            const bool hasComma = fieldEnds.size() > oldCount;
            char* const fieldStart = hasComma ? base + fieldEnds.back() : base + oldSize;
            return SplitRestWithBlanks(in, end, out, fieldStart, base, fieldEnds, hasComma);
        }
    }
    return out;
}

} // namespace

bool SplitPlainCommaLine(std::string_view line, std::string& fieldBytes,
                         std::vector<std::uint32_t>& fieldEnds) {
    const std::size_t oldSize = fieldBytes.size();
    const std::size_t oldCount = fieldEnds.size();
    if (line.empty()) {
        return true;
    }
    if (oldSize + line.size() > std::numeric_limits<std::uint32_t>::max()) {
        return false;
    }
    fieldBytes.resize(oldSize + line.size());
    char* const base = fieldBytes.data();
    char* out = base + oldSize;
    const char* in = line.data();
    const char* const end = in + line.size();
    // The quick loop, without a branch on what a byte is: commas and cell bytes alternate
    // at random. It leaves the last byte, whose lead byte would have no second byte in the line,
    // and any byte that is not plain to SplitPlainRest.
    fieldEnds.resize(oldCount + line.size() + 1);
    std::uint32_t* endsOut = fieldEnds.data() + oldCount;
    while (in + 1 < end) {
        std::uint64_t word = 0;
        if (end - in > 8 && (std::memcpy(&word, in, 8), AreOneBytePlain(word))) {
            SplitOneBytePlainRun(in, end, out, base, endsOut);
            continue;
        }
        const TPlainByte kind = PlainByteKinds[static_cast<unsigned char>(*in)];
        if (kind == TPlainByte::NotPlain) {
            break;
        }
        const bool comma = kind == TPlainByte::Comma;
        const std::size_t length = kind == TPlainByte::Lead ? 2 : 1;
        out[0] = in[0];
        out[1] = in[1];
        *endsOut = static_cast<std::uint32_t>(out - base);
        endsOut += comma ? 1 : 0;
        out += comma ? 0 : length;
        in += length;
    }
    fieldEnds.resize(static_cast<std::size_t>(endsOut - fieldEnds.data()));
    out = SplitPlainRest(in, end, out, base, fieldEnds, oldSize, oldCount);
    if (out == nullptr) {
        fieldBytes.resize(oldSize);
        fieldEnds.resize(oldCount);
        return false;
    }
    // The last field, which after a final comma is the empty field that comma adds.
    fieldEnds.push_back(static_cast<std::uint32_t>(out - base));
    fieldBytes.resize(static_cast<std::size_t>(out - base));
    return true;
}

namespace {

/// Reads the quoted field whose opening quote is at `at` into `field`; `at` moves past its
/// closing quote, or to the end of the line when it has none.
void ReadQuotedField(std::string_view line, std::size_t& at, std::string& field) {
    ++at;
    while (at < line.size()) {
        if (line[at] == '"') {
            ++at;
            if (at < line.size() && line[at] == '"') {
                field += '"';
                ++at;
                continue;
            }
            return;
        }
        const std::size_t length = TCodePage::CharLength(line, at);
        field.append(line.substr(at, length));
        at += length;
    }
}

/// Moves `at` to the next `separator` or the end of the line and returns where the text before
/// it ends without its trailing blanks.
std::size_t SkipToSeparator(std::string_view line, char separator, std::size_t& at) {
    std::size_t textEnd = at;
    while (at < line.size() && line[at] != separator) {
        const bool blank = IsBlank(line[at]);
        at += TCodePage::CharLength(line, at);
        if (!blank) {
            textEnd = at;
        }
    }
    return textEnd;
}

} // namespace

namespace {

using TextRulesDetail::TQuoteOpening;
using TextRulesDetail::TQuoteScan;

constexpr std::size_t NoQuote = std::string_view::npos;

constexpr bool IsLineBreak(char byte) {
    return byte == '\r' || byte == '\n';
}

/// What a byte is to a reading of quoted fields, outside them.
enum class TScanByte : unsigned char { Ordinary, Lead, Blank, Tab, Comma, Quote, LineBreak };

constexpr std::array<TScanByte, 256> ScanByteKinds = [] {
    std::array<TScanByte, 256> kinds{};
    for (unsigned byte = 0; byte < kinds.size(); ++byte) {
        const char character = static_cast<char>(byte);
        if (IsLineBreak(character)) {
            kinds[byte] = TScanByte::LineBreak;
        } else if (character == '\t') {
            kinds[byte] = TScanByte::Tab;
        } else if (IsBlank(character)) {
            kinds[byte] = TScanByte::Blank;
        } else if (character == ',') {
            kinds[byte] = TScanByte::Comma;
        } else if (character == '"') {
            kinds[byte] = TScanByte::Quote;
        } else if (TCodePage::IsLeadByte(static_cast<unsigned char>(byte))) {
            kinds[byte] = TScanByte::Lead;
        }
    }
    return kinds;
}();

/// Bytes of the character at `at`, which is not the last byte of the text: a line break is
/// never the second byte of a double-byte character.
std::size_t CharLengthBeforeBreaks(const char* text, std::size_t at) {
    return TCodePage::IsLeadByte(static_cast<unsigned char>(text[at])) && !IsLineBreak(text[at + 1])
               ? 2
               : 1;
}

/// How the text of a quoted field ended for SkipQuotedText.
enum class TQuotedEnd { Closed, Open, WaitsForMore };

/// Moves `at`, inside a quoted field, past its closing quote. At the end of the text the field is
/// Open, or WaitsForMore (`at` unmoved from the last byte, a quote or a lead byte, whose next
/// byte counts) when the text may still grow.
[[gnu::always_inline]] inline TQuotedEnd SkipQuotedText(const char* bytes, std::size_t size,
                                                        std::size_t& at, bool isWhole) {
    while (true) {
        while (at + 1 < size && bytes[at] != '"') {
            at += CharLengthBeforeBreaks(bytes, at);
        }
        if (at + 1 < size) {
            at += 1;
            if (bytes[at] != '"') {
                return TQuotedEnd::Closed;
            }
            ++at;
            continue;
        }
        if (!isWhole) {
            return TQuotedEnd::WaitsForMore;
        }
        // A quote as the text's last byte closes the field.
        const bool closes = at + 1 == size && bytes[at] == '"';
        at = size;
        return closes ? TQuotedEnd::Closed : TQuotedEnd::Open;
    }
}

/// ScanQuotes for one way of opening quoted fields. Works on its own copies of the scan's
/// fields, which the bytes of the text cannot alias, so that they stay in registers; each step
/// is inlined into the one loop.
template <TQuoteOpening opening>
class TQuoteReader {
public:
    [[gnu::always_inline]] TQuoteReader(const TQuoteScan& scan, std::string_view text, bool isWhole)
        : bytes_(text.data()), size_(text.size()), isWhole_(isWhole), at_(scan.at),
          quoteStart_(scan.quoteStart), atFieldStart_(scan.atFieldStart), sawTab_(scan.sawTab),
          sawComma_(scan.sawComma), agreesWithCommaFields_(scan.agreesWithCommaFields),
          agreesWithTabFields_(scan.agreesWithTabFields),
          atCommaFieldStart_(scan.atCommaFieldStart), atTabFieldStart_(scan.atTabFieldStart) {}

    /// Reads up to a line break outside quoted fields (or the TAB that settles the separator),
    /// else to the end of the text or to its last byte when that byte's next one counts.
    [[gnu::always_inline]] void Read() {
        if (quoteStart_ != NoQuote && !SkipQuoted()) {
            return;
        }
        while (at_ < size_ && ReadByte()) {
        }
    }

    /// Passes the reading on to `scan` and tells whether it is over. A quoted field still open
    /// at the end of the whole text ends at the end of its line, and so does the record.
    [[gnu::always_inline]] bool Finish(TQuoteScan& scan) const {
        StoreIn(scan);
        if (stopped_) {
            return true;
        }
        if (waitsForMore_ || !isWhole_) {
            return false;
        }
        if (quoteStart_ != NoQuote) {
            scan.at = std::min(size_, FindLineBreak({bytes_, size_}, quoteStart_));
            scan.quoteStart = NoQuote;
        }
        return true;
    }

private:
    static constexpr bool KeepsAgreement = opening == TQuoteOpening::AfterBlankOrComma;

    [[gnu::always_inline]] void StoreIn(TQuoteScan& scan) const {
        scan.at = at_;
        scan.quoteStart = quoteStart_;
        scan.atFieldStart = atFieldStart_;
        scan.sawTab = sawTab_;
        scan.sawComma = sawComma_;
        scan.agreesWithCommaFields = agreesWithCommaFields_;
        scan.agreesWithTabFields = agreesWithTabFields_;
        scan.atCommaFieldStart = atCommaFieldStart_;
        scan.atTabFieldStart = atTabFieldStart_;
    }

    /// Steps over the byte at `at_` and what it opens; false where the reading stops or waits.
    [[gnu::always_inline]] bool ReadByte() {
        switch (ScanByteKinds[static_cast<unsigned char>(bytes_[at_])]) {
        case TScanByte::Ordinary:
            LeaveFieldStart();
            ++at_;
            return true;
        case TScanByte::Lead:
            return ReadLead();
        case TScanByte::Blank:
            atFieldStart_ = atFieldStart_ || opening == TQuoteOpening::AfterBlankOrComma;
            ++at_;
            return true;
        case TScanByte::Tab:
            return ReadTab();
        case TScanByte::Comma:
            ReadComma();
            return true;
        case TScanByte::Quote:
            return ReadQuote();
        case TScanByte::LineBreak:
            stopped_ = true;
            return false;
        }
        // The table holds no other kind: no check of the range before the jump.
        __builtin_unreachable();
    }

    /// After a byte that no field of any separator starts after.
    [[gnu::always_inline]] void LeaveFieldStart() {
        atFieldStart_ = false;
        if constexpr (KeepsAgreement) {
            atCommaFieldStart_ = false;
            atTabFieldStart_ = false;
        }
    }

    [[gnu::always_inline]] bool ReadLead() {
        if (at_ + 1 == size_ && !isWhole_) {
            waitsForMore_ = true;
            return false;
        }
        LeaveFieldStart();
        at_ += at_ + 1 == size_ ? 1 : CharLengthBeforeBreaks(bytes_, at_);
        return true;
    }

    [[gnu::always_inline]] bool ReadTab() {
        if constexpr (opening == TQuoteOpening::AfterBlankOrComma) {
            // The TAB settles the separator.
            sawTab_ = true;
            stopped_ = true;
            return false;
        }
        atFieldStart_ = atFieldStart_ || opening == TQuoteOpening::AfterTab;
        ++at_;
        return true;
    }

    [[gnu::always_inline]] void ReadComma() {
        sawComma_ = true;
        atFieldStart_ = opening != TQuoteOpening::AfterTab;
        atCommaFieldStart_ = true;
        atTabFieldStart_ = false;
        ++at_;
    }

    [[gnu::always_inline]] bool ReadQuote() {
        if (!atFieldStart_) {
            LeaveFieldStart();
            ++at_;
            return true;
        }
        agreesWithCommaFields_ = agreesWithCommaFields_ && atCommaFieldStart_;
        agreesWithTabFields_ = agreesWithTabFields_ && atTabFieldStart_;
        quoteStart_ = at_;
        ++at_;
        return SkipQuoted();
    }

    /// What follows a lead byte, or a quote inside a quoted field, decides how it is read: the
    /// last byte of a text that may grow waits for it. False when the reading waits.
    [[gnu::always_inline]] bool SkipQuoted() {
        const TQuotedEnd end = SkipQuotedText(bytes_, size_, at_, isWhole_);
        if (end == TQuotedEnd::Closed) {
            quoteStart_ = NoQuote;
            LeaveFieldStart();
        }
        waitsForMore_ = end == TQuotedEnd::WaitsForMore;
        return !waitsForMore_;
    }

    const char* const bytes_;
    const std::size_t size_;
    const bool isWhole_;
    std::size_t at_;
    std::size_t quoteStart_;
    bool atFieldStart_;
    bool sawTab_;
    bool sawComma_;
    bool agreesWithCommaFields_;
    bool agreesWithTabFields_;
    bool atCommaFieldStart_;
    bool atTabFieldStart_;
    bool stopped_ = false;
    bool waitsForMore_ = false;
};

template <TQuoteOpening opening>
bool ScanQuotesWith(TQuoteScan& scan, std::string_view text, bool isWhole) {
    TQuoteReader<opening> reader(scan, text, isWhole);
    reader.Read();
    return reader.Finish(scan);
}

} // namespace

bool TextRulesDetail::ScanQuotes(TQuoteScan& scan, std::string_view text, bool isWhole) {
    switch (scan.opening) {
    case TQuoteOpening::AfterBlankOrComma:
        return ScanQuotesWith<TQuoteOpening::AfterBlankOrComma>(scan, text, isWhole);
    case TQuoteOpening::AfterTab:
        return ScanQuotesWith<TQuoteOpening::AfterTab>(scan, text, isWhole);
    case TQuoteOpening::AfterComma:
        return ScanQuotesWith<TQuoteOpening::AfterComma>(scan, text, isWhole);
    }
    return true;
}

char TextRulesDetail::FindFieldSeparator(std::string_view line) {
    TQuoteScan scan;
    ScanQuotes(scan, line, true);
    return SeparatorOf(scan);
}

std::string_view TextRulesDetail::ReadSeparatedField(std::string_view line, char separator,
                                                     std::size_t& at, std::string& field) {
    while (at < line.size() && IsBlank(line[at]) && line[at] != separator) {
        ++at;
    }
    if (at < line.size() && line[at] == '"') {
        field.clear();
        ReadQuotedField(line, at, field);
        const std::size_t tailStart = at;
        const std::size_t tailEnd = SkipToSeparator(line, separator, at);
        field.append(line.substr(tailStart, tailEnd - tailStart));
        return field;
    }
    const std::size_t start = at;
    const std::size_t end = SkipToSeparator(line, separator, at);
    return line.substr(start, end - start);
}

std::string_view TextRulesDetail::ReadBlankSeparatedField(std::string_view line, std::size_t& at,
                                                          std::string& field) {
    if (line[at] != '"') {
        const std::size_t start = at;
        while (at < line.size()) {
            const auto byte = static_cast<unsigned char>(line[at]);
            if (byte > ' ' && !TCodePage::IsLeadByte(byte)) {
                ++at;
            } else if (IsBlank(line[at])) {
                break;
            } else {
                at += TCodePage::CharLength(line, at);
            }
        }
        return line.substr(start, at - start);
    }
    field.clear();
    ReadQuotedField(line, at, field);
    return field;
}
