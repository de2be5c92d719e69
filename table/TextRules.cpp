#include "TextRules.h"

#include "platform/CodePage.h"

#include <array>
#include <limits>

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    ForEachLine(text, [&](std::string_view line) { lines.push_back(line); });
    return lines;
}

namespace {

template <typename TLines>
std::string JoinLinesOf(const TLines& lines) {
    std::size_t size = 0;
    for (const auto& line : lines) {
        size += line.size() + 2;
    }
    std::string text;
    text.reserve(size);
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

} // namespace

std::string JoinLines(const std::vector<std::string_view>& lines) {
    return JoinLinesOf(lines);
}

std::string JoinLines(const std::vector<std::string>& lines) {
    return JoinLinesOf(lines);
}

std::vector<std::string> SplitCommaText(std::string_view line) {
    std::vector<std::string> fields;
    ForEachCommaField(line, [&](std::string_view field) { fields.emplace_back(field); });
    return fields;
}

namespace {

enum class TPlainByte : unsigned char { Ordinary, Lead, Comma, Blank, NotPlain };

/// What each byte is to a plain line: control bytes, TAB and the double quote make a line
/// that the full rules must split.
constexpr std::array<TPlainByte, 256> PlainByteKinds = [] {
    std::array<TPlainByte, 256> kinds{};
    for (unsigned byte = 0; byte < kinds.size(); ++byte) {
        if (byte == ' ') {
            kinds[byte] = TPlainByte::Blank;
        } else if (byte < ' ' || byte == '"') {
            kinds[byte] = TPlainByte::NotPlain;
        } else if (byte == ',') {
            kinds[byte] = TPlainByte::Comma;
        } else if (TCodePage::IsLeadByte(static_cast<unsigned char>(byte))) {
            kinds[byte] = TPlainByte::Lead;
        }
    }
    return kinds;
}();

/// Drops the blanks at the end of the field that starts at `fieldStart`. No blank in it is
/// the second byte of a character: such a line is not plain.
char* TrimField(char* fieldStart, char* out) {
    while (out > fieldStart && out[-1] == ' ') {
        --out;
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
    char* fieldStart = out;
    bool plain = true;
    bool hasComma = false;
    bool hasBlank = false;
    const char* in = line.data();
    const char* const end = in + line.size();
    while (plain && in < end) {
        switch (PlainByteKinds[static_cast<unsigned char>(*in)]) {
        case TPlainByte::Ordinary:
            *out++ = *in++;
            break;
        case TPlainByte::Lead:
            if (in + 1 < end && in[1] == ' ') {
                plain = false; // a blank taken into a character, which trimming must not cut
                break;
            }
            *out++ = *in++;
            if (in < end) {
                *out++ = *in++;
            }
            break;
        case TPlainByte::Comma:
            out = TrimField(fieldStart, out);
            fieldEnds.push_back(static_cast<std::uint32_t>(out - base));
            fieldStart = out;
            hasComma = true;
            ++in;
            break;
        case TPlainByte::Blank:
            // Blanks at the start of a field are dropped, those inside it kept.
            if (out != fieldStart) {
                *out++ = ' ';
            }
            hasBlank = true;
            ++in;
            break;
        case TPlainByte::NotPlain:
            plain = false;
            break;
        }
    }
    // Without a comma, blanks separate fields: the full rules cut such a line.
    if (!plain || (hasBlank && !hasComma)) {
        fieldBytes.resize(oldSize);
        fieldEnds.resize(oldCount);
        return false;
    }
    // The last field, which after a final comma is the empty field that comma adds.
    out = TrimField(fieldStart, out);
    fieldEnds.push_back(static_cast<std::uint32_t>(out - base));
    fieldBytes.resize(static_cast<std::size_t>(out - base));
    return true;
}

namespace {

/// Reads the quoted field whose opening quote is at `at` into `field`, when given; `at` moves
/// past its closing quote, or to the end of the line when it has none.
void ReadQuotedField(std::string_view line, std::size_t& at, std::string* field) {
    ++at;
    while (at < line.size()) {
        if (line[at] == '"') {
            ++at;
            if (at < line.size() && line[at] == '"') {
                if (field != nullptr) {
                    *field += '"';
                }
                ++at;
                continue;
            }
            return;
        }
        const std::size_t length = TCodePage::CharLength(line, at);
        if (field != nullptr) {
            field->append(line.substr(at, length));
        }
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

char TextRulesDetail::FindFieldSeparator(std::string_view line) {
    char separator = '\0';
    bool atFieldStart = true;
    for (std::size_t at = 0; at < line.size();) {
        const char byte = line[at];
        if (byte == '\t') {
            return byte;
        }
        if (byte == ',') {
            separator = byte;
        }
        if (IsBlank(byte) || byte == ',') {
            atFieldStart = true;
            ++at;
        } else if (byte == '"' && atFieldStart) {
            ReadQuotedField(line, at, nullptr);
        } else {
            atFieldStart = false;
            at += TCodePage::CharLength(line, at);
        }
    }
    return separator;
}

std::string_view TextRulesDetail::ReadSeparatedField(std::string_view line, char separator,
                                                     std::size_t& at, std::string& field) {
    while (at < line.size() && IsBlank(line[at]) && line[at] != separator) {
        ++at;
    }
    if (at < line.size() && line[at] == '"') {
        field.clear();
        ReadQuotedField(line, at, &field);
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
    ReadQuotedField(line, at, &field);
    return field;
}
