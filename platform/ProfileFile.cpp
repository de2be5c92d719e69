#include "ProfileFile.h"

#include "CodePage.h"
#include "Errors.h"
#include "Files.h"

#include <algorithm>
#include <optional>

namespace {

bool IsIniBlank(char byte) {
    return byte == ' ' || byte == '\t' || byte == '\v';
}

std::string_view TrimIniBlanks(std::string_view text) {
    while (!text.empty() && IsIniBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsIniBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view TrimSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

char LowerAscii(char byte) {
    return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
}

/// Names match without regard to the case of single-byte letters; the second byte of a
/// double-byte character may look like a letter but must match exactly.
bool EqualNames(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t at = 0; at < a.size();) {
        const std::size_t length = TCodePage::CharLength(a, at);
        if (length == 2 ? a.substr(at, 2) != b.substr(at, 2)
                        : LowerAscii(a[at]) != LowerAscii(b[at])) {
            return false;
        }
        at += length;
    }
    return true;
}

/// The first ']' that is a character of its own, not the second byte of one.
std::size_t FindClosingBracket(std::string_view text) {
    for (std::size_t at = 0; at < text.size(); at += TCodePage::CharLength(text, at)) {
        if (text[at] == ']') {
            return at;
        }
    }
    return std::string_view::npos;
}

/// The name of a section header line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = TrimIniBlanks(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    line.remove_prefix(1);
    return TrimIniBlanks(line.substr(0, FindClosingBracket(line)));
}

std::string_view StripQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::vector<std::string> SplitIniLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t end = std::min(bytes.size(), bytes.find_first_of("\r\n", at));
        lines.emplace_back(bytes.substr(at, end - at));
        at = end;
        if (at < bytes.size() && bytes[at] == '\r') {
            ++at;
        }
        if (at < bytes.size() && bytes[at] == '\n') {
            ++at;
        }
    }
    return lines;
}

std::string CutToMaxLength(std::string_view value) {
    return std::string(value.substr(0, TProfileFile::MaxValueLength));
}

} // namespace

TProfileFile::TProfileFile(const std::filesystem::path& fileName) {
    try {
        lines_ = SplitIniLines(ReadFileBytes(fileName));
    } catch (const EFileOpenError&) {
        lines_.clear();
    }
}

TProfileFile TProfileFile::FromBytes(std::string bytes) {
    TProfileFile profile;
    profile.lines_ = SplitIniLines(bytes);
    return profile;
}

std::string TProfileFile::ReadString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue) const {
    section = TrimSpaces(section);
    key = TrimSpaces(key);
    auto line = lines_.begin();
    while (line != lines_.end() &&
           !(SectionName(*line) && EqualNames(*SectionName(*line), section))) {
        ++line;
    }
    if (line != lines_.end()) {
        for (++line; line != lines_.end() && !SectionName(*line); ++line) {
            const std::string_view text = TrimIniBlanks(*line);
            const std::size_t equals = text.find('=');
            if (text.empty() || text.front() == ';' || equals == std::string_view::npos) {
                continue;
            }
            if (EqualNames(TrimIniBlanks(text.substr(0, equals)), key)) {
                return CutToMaxLength(StripQuotes(TrimIniBlanks(text.substr(equals + 1))));
            }
        }
    }
    std::string_view value = defaultValue;
    while (!value.empty() && value.back() == ' ') {
        value.remove_suffix(1);
    }
    return CutToMaxLength(value);
}
