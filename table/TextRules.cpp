#include "TextRules.h"

#include "platform/CodePage.h"

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

std::string_view TextRulesDetail::ReadField(std::string_view line, std::size_t& at,
                                            std::string& field) {
    if (line[at] != '"') {
        const std::size_t start = at;
        while (at < line.size()) {
            const auto byte = static_cast<unsigned char>(line[at]);
            if (byte > ',' && !TCodePage::IsLeadByte(byte)) {
                ++at;
            } else if (IsBlank(line[at]) || byte == ',') {
                break;
            } else {
                at += TCodePage::CharLength(line, at);
            }
        }
        return line.substr(start, at - start);
    }
    field.clear();
    ++at;
    while (at < line.size()) {
        if (line[at] == '"') {
            ++at;
            if (at < line.size() && line[at] == '"') {
                field += '"';
                ++at;
                continue;
            }
            break;
        }
        const std::size_t length = TCodePage::CharLength(line, at);
        field.append(line.substr(at, length));
        at += length;
    }
    return field;
}
