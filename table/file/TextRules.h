#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

/// Where the first CR or LF of `text` from `from` on is; npos where there is none.
std::size_t FindLineBreak(std::string_view text, std::size_t from);

/// Where the first CR, LF or double quote of `text` from `from` on is; npos where there is none.
std::size_t FindLineBreakOrQuote(std::string_view text, std::size_t from);

/// Bytes 1 to 32: a cell holding one is quoted when saved.
constexpr bool IsBlank(char byte) {
    return byte >= 1 && byte <= 32;
}

/// Calls `onField` with each field of a comma-separated line, in order. A line that holds a
/// TAB outside quoted fields is cut at each TAB, as spreadsheets copy and save their rows, and
/// a comma inside one of its fields belongs to it; any other line that holds a comma outside
/// quoted fields is cut at each comma. Blanks (bytes 1 to 32 other than the separator) at
/// either end of an unquoted field are dropped and kept inside it, and the text after the last
/// separator is the last field. A line without separators keeps the older rule that blanks
/// separate fields, so that a roster typed as "1001 Sato" still pastes. A field opening with a
/// double quote runs to its closing quote (to the end of the line when there is none), a
/// doubled quote inside it standing for one; text between its closing quote and the next
/// separator is added to it. Double-byte characters are stepped over whole. A view passed to
/// `onField` is valid only during that call.
template <typename TOnField>
void ForEachCommaField(std::string_view line, TOnField&& onField);

/// Calls `onField` with each field of a line (or of a record whose quoted fields hold line
/// breaks) as ForEachCommaField does once it has found `separator`: TAB, comma, or NUL when
/// blanks separate the fields.
template <typename TOnField>
void ForEachSeparatedField(std::string_view line, char separator, TOnField&& onField);

/// The fields ForEachCommaField finds in `line`, each copied.
std::vector<std::string> SplitCommaText(std::string_view line);

/// The fast way through the common line: when the line holds no control byte, TAB or double
/// quote outside double-byte characters, and a comma if it holds a blank, its fields are the
/// runs between commas without blanks at their ends, and this appends their bytes to
/// `fieldBytes` and each one's end offset within it to `fieldEnds`. For any other line it
/// appends nothing and returns false: ForEachCommaField splits it as this would.
bool SplitPlainCommaLine(std::string_view line, std::string& fieldBytes,
                         std::vector<std::uint32_t>& fieldEnds);

namespace TextRulesDetail {

/// Where a double quote opens a quoted field: at the start of a line, and after
enum class TQuoteOpening : unsigned char {
    /// any blank or comma, as the search for a line's separator and the splitting at blanks take
    /// them;
    AfterBlankOrComma,
    /// a TAB and any blanks, as the fields of a line cut at TABs start;
    AfterTab,
    /// a comma and any blanks, as the fields of a line cut at commas start.
    AfterComma,
};

/// A reading of a text from the start of a record that follows its quoted fields, as far as it
/// has come.
struct TQuoteScan {
    TQuoteOpening opening = TQuoteOpening::AfterBlankOrComma;
    std::size_t at = 0;
    /// The opening quote of the quoted field the reading is in; npos outside one.
    std::size_t quoteStart = std::string_view::npos;
    bool atFieldStart = true;
    /// Whether a TAB or a comma stood outside quoted fields.
    bool sawTab = false;
    bool sawComma = false;
    /// An optimisation, kept by a reading with TQuoteOpening::AfterBlankOrComma: whether every
    /// quoted field it opened also opens where fields cut at commas (at TABs) start, so that
    /// reading those fields would find the same quoted fields, and whether such a field could
    /// start here.
    bool agreesWithCommaFields = true;
    bool agreesWithTabFields = true;
    bool atCommaFieldStart = true;
    bool atTabFieldStart = true;
};

/// Reads on from `scan.at` up to the end of the record: the first CR or LF outside quoted fields,
/// else the end of `text`. A quoted field that has not closed by the end of the whole text ends
/// at the end of its line, and so does the record. Double-byte characters are stepped over
/// whole, but a CR or LF is never the second byte of one. A reading with
/// TQuoteOpening::AfterBlankOrComma stops at the first TAB outside quoted fields instead, which
/// settles the separator. Returns true with `scan.at` where it stopped; false where the text may
/// still grow (`isWhole` false) and its next bytes could change that: `scan` then goes on with
/// the longer text.
bool ScanQuotes(TQuoteScan& scan, std::string_view text, bool isWhole);

/// The separator of the record that a finished reading with TQuoteOpening::AfterBlankOrComma
/// read: TAB, comma or NUL.
constexpr char SeparatorOf(const TQuoteScan& scan) {
    return scan.sawTab ? '\t' : scan.sawComma ? ',' : '\0';
}

/// The TAB when one stands outside the quoted fields that blank separation finds, else the
/// comma when one does, else NUL.
char FindFieldSeparator(std::string_view line);

/// Reads the field that starts at `at` up to the next blank into `field` (quoted) or returns a
/// view of it (plain); `at` moves past the field. The line holds no separator.
std::string_view ReadBlankSeparatedField(std::string_view line, std::size_t& at,
                                         std::string& field);

/// Reads the field that starts at `at` up to the next `separator` or the end of the line, in
/// `field` or as a view; `at` moves to that separator.
std::string_view ReadSeparatedField(std::string_view line, char separator, std::size_t& at,
                                    std::string& field);

inline void SkipBlanks(std::string_view line, std::size_t& at) {
    while (at < line.size() && IsBlank(line[at])) {
        ++at;
    }
}

template <typename TOnField>
void ForEachBlankSeparatedField(std::string_view line, TOnField&& onField) {
    std::string quoted;
    std::size_t at = 0;
    SkipBlanks(line, at);
    while (at < line.size()) {
        onField(ReadBlankSeparatedField(line, at, quoted));
        SkipBlanks(line, at);
    }
}

} // namespace TextRulesDetail

template <typename TOnField>
void ForEachCommaField(std::string_view line, TOnField&& onField) {
    ForEachSeparatedField(line, TextRulesDetail::FindFieldSeparator(line), onField);
}

template <typename TOnField>
void ForEachSeparatedField(std::string_view line, char separator, TOnField&& onField) {
    using namespace TextRulesDetail;
    if (separator == '\0') {
        ForEachBlankSeparatedField(line, onField);
        return;
    }
    std::string quoted;
    std::size_t at = 0;
    while (true) {
        onField(ReadSeparatedField(line, separator, at, quoted));
        if (at == line.size()) {
            break;
        }
        ++at;
    }
}
