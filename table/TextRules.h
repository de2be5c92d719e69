#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

/// Calls `onLine` with each line of `text`: a line runs to the next CR, LF or NUL byte; one
/// CR, then one LF, is skipped after it; a NUL byte ends the text.
template <typename TOnLine>
void ForEachLine(std::string_view text, TOnLine&& onLine) {
    const std::size_t end = std::min(text.size(), text.find('\0'));
    std::size_t at = 0;
    while (at < end) {
        std::size_t lineEnd = at;
        // Most bytes are above CR: one comparison rejects them.
        while (lineEnd < end && (static_cast<unsigned char>(text[lineEnd]) > '\r' ||
                                 (text[lineEnd] != '\r' && text[lineEnd] != '\n'))) {
            ++lineEnd;
        }
        onLine(text.substr(at, lineEnd - at));
        at = lineEnd;
        if (at < end && text[at] == '\r') {
            ++at;
        }
        if (at < end && text[at] == '\n') {
            ++at;
        }
    }
}

/// The lines of `text` as ForEachLine cuts them; the views point into `text`.
std::vector<std::string_view> SplitLines(std::string_view text);

/// The lines, each followed by CR LF.
std::string JoinLines(const std::vector<std::string_view>& lines);
std::string JoinLines(const std::vector<std::string>& lines);

/// Bytes 1 to 32 separate fields as a comma does.
constexpr bool IsBlank(char byte) {
    return byte >= 1 && byte <= 32;
}

/// Calls `onField` with each field of a comma-separated line, in order. Blanks separate
/// fields as commas do; a field opening with a double quote runs to its closing quote (to
/// the end of the line when there is none), a doubled quote inside it standing for one.
/// Double-byte characters are stepped over whole. A view passed to `onField` is valid only
/// during that call.
template <typename TOnField>
void ForEachCommaField(std::string_view line, TOnField&& onField);

std::vector<std::string> SplitCommaText(std::string_view line);

namespace TextRulesDetail {

/// Reads the field that starts at `at` into `field` (quoted) or returns a view of it
/// (plain); `at` moves past the field.
std::string_view ReadField(std::string_view line, std::size_t& at, std::string& field);

inline void SkipBlanks(std::string_view line, std::size_t& at) {
    while (at < line.size() && IsBlank(line[at])) {
        ++at;
    }
}

} // namespace TextRulesDetail

template <typename TOnField>
void ForEachCommaField(std::string_view line, TOnField&& onField) {
    using namespace TextRulesDetail;
    std::string quoted;
    std::size_t at = 0;
    SkipBlanks(line, at);
    while (at < line.size()) {
        onField(ReadField(line, at, quoted));
        SkipBlanks(line, at);
        if (at < line.size() && line[at] == ',') {
            if (at + 1 == line.size()) {
                onField(std::string_view());
            }
            ++at;
            SkipBlanks(line, at);
        }
    }
}
