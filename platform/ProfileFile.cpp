#include "platform/ProfileFile.h"

#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Paths.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <system_error>

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

/// The bytes that may enclose a value, which reading then drops.
bool IsQuote(char byte) {
    return byte == '"' || byte == '\'';
}

std::string_view StripQuotes(std::string_view value) {
    if (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::string CutToMaxLength(std::string_view value) {
    return std::string(value.substr(0, TProfileFile::MaxValueLength));
}

bool EndsWithLineBreak(std::string_view bytes) {
    return !bytes.empty() && (bytes.back() == '\r' || bytes.back() == '\n');
}

/// One line of the text: its bytes are [begin, end), its line break [end, next). Lines end
/// at CR, LF or CR LF.
struct TIniLine {
    std::size_t begin;
    std::size_t end;
    std::size_t next;

    std::string_view TextIn(std::string_view bytes) const {
        return bytes.substr(begin, end - begin);
    }
};

TIniLine LineAt(std::string_view bytes, std::size_t begin) {
    std::size_t end = begin;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') {
        ++end;
    }
    std::size_t next = end;
    if (next < bytes.size() && bytes[next] == '\r') {
        ++next;
    }
    if (next < bytes.size() && bytes[next] == '\n') {
        ++next;
    }
    return {begin, end, next};
}

/// The header line of the first section of that name; later ones are never searched.
std::optional<TIniLine> FindSectionHeader(std::string_view bytes, std::string_view section) {
    for (std::size_t at = 0; at < bytes.size();) {
        const TIniLine line = LineAt(bytes, at);
        const auto name = SectionName(line.TextIn(bytes));
        if (name && EqualNames(*name, section)) {
            return line;
        }
        at = line.next;
    }
    return std::nullopt;
}

/// A line of a section that gives a value: not a comment, with an '=' after the name.
struct TKeyLine {
    TIniLine line;
    std::string_view name;
    std::size_t valueBegin;
};

/// Calls `visit` with each key line of the section below `header`, in file order, until the
/// next section header or until `visit` returns false.
template <typename TVisit>
void VisitKeyLines(std::string_view bytes, const TIniLine& header, TVisit visit) {
    for (std::size_t at = header.next; at < bytes.size();) {
        const TIniLine line = LineAt(bytes, at);
        const std::string_view text = line.TextIn(bytes);
        if (SectionName(text)) {
            return;
        }
        const std::string_view trimmed = TrimIniBlanks(text);
        const std::size_t equals = text.find('=');
        if (!trimmed.empty() && trimmed.front() != ';' && equals != std::string_view::npos &&
            !visit(
                TKeyLine{line, TrimIniBlanks(text.substr(0, equals)), line.begin + equals + 1})) {
            return;
        }
        at = line.next;
    }
}

bool HoldsLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

/// The reader trims tabs and vertical tabs from the file's names, so a name with them at an
/// end could never be found again: every write would add another line.
bool HasBlankEnd(std::string_view name) {
    return !name.empty() && (IsIniBlank(name.front()) || IsIniBlank(name.back()));
}

/// A lead byte at the end would take the closing ']' of the header as its second byte.
bool EndsInLeadByte(std::string_view text) {
    std::size_t last = 0;
    for (std::size_t at = 0; at < text.size(); at += TCodePage::CharLength(text, at)) {
        last = at;
    }
    return !text.empty() && last == text.size() - 1 &&
           TCodePage::IsLeadByte(static_cast<unsigned char>(text[last]));
}

void CheckSectionName(std::string_view section) {
    if (HoldsLineBreakOrNul(section) || HasBlankEnd(section) ||
        FindClosingBracket(section) != std::string_view::npos || EndsInLeadByte(section)) {
        throw std::invalid_argument("profile section name cannot be written: " +
                                    std::string(section));
    }
}

void CheckKeyName(std::string_view key) {
    if (HoldsLineBreakOrNul(key) || HasBlankEnd(key) || key.find('=') != std::string_view::npos ||
        (!key.empty() && key.front() == '[')) {
        throw std::invalid_argument("profile key name cannot be written: " + std::string(key));
    }
}

void CheckValue(std::string_view value) {
    if (!TProfileFile::CanWriteValue(value)) {
        throw std::invalid_argument("profile value holds a line break or NUL");
    }
}

std::string KeyLineText(std::string_view key, std::string_view value) {
    std::string line;
    line.reserve(key.size() + value.size() + 3);
    line.append(key).append("=").append(value).append("\r\n");
    return line;
}

} // namespace

TProfileFile::TProfileFile(const std::filesystem::path& fileName)
    : fileName_(fileName), hasFile_(true) {
    try {
        bytes_ = ReadFileBytes(fileName);
    } catch (const EFileOpenError&) {
        // Reads as empty; but a file that is there and could not be read must not be replaced
        // by the edits alone.
        std::error_code error;
        unreadable_ = std::filesystem::exists(fileName, error) || error;
    }
}

TProfileFile TProfileFile::FromBytes(std::string bytes) {
    TProfileFile profile;
    profile.bytes_ = std::move(bytes);
    return profile;
}

std::string TProfileFile::ReadString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue) const {
    key = TrimSpaces(key);
    if (const auto header = FindSectionHeader(bytes_, TrimSpaces(section))) {
        std::optional<std::string> value;
        VisitKeyLines(bytes_, *header, [&](const TKeyLine& keyLine) {
            if (!EqualNames(keyLine.name, key)) {
                return true;
            }
            const std::string_view raw(bytes_.data() + keyLine.valueBegin,
                                       keyLine.line.end - keyLine.valueBegin);
            value = CutToMaxLength(StripQuotes(TrimIniBlanks(raw)));
            return false;
        });
        if (value) {
            return *value;
        }
    }
    while (!defaultValue.empty() && defaultValue.back() == ' ') {
        defaultValue.remove_suffix(1);
    }
    return CutToMaxLength(defaultValue);
}

void TProfileFile::WriteString(std::string_view section, std::string_view key,
                               std::string_view value) {
    section = TrimSpaces(section);
    key = TrimSpaces(key);
    CheckSectionName(section);
    CheckKeyName(key);
    CheckValue(value);
    const auto header = FindSectionHeader(bytes_, section);
    if (!header) {
        if (!bytes_.empty() && !EndsWithLineBreak(bytes_)) {
            bytes_.append("\r\n");
        }
        bytes_.append("[").append(section).append("]\r\n").append(KeyLineText(key, value));
        changed_ = true;
        return;
    }
    std::optional<TKeyLine> match;
    std::size_t insertAt = header->next;
    VisitKeyLines(bytes_, *header, [&](const TKeyLine& keyLine) {
        if (EqualNames(keyLine.name, key)) {
            match = keyLine;
            return false;
        }
        insertAt = keyLine.line.next;
        return true;
    });
    if (match) {
        const std::size_t length = match->line.end - match->valueBegin;
        if (bytes_.compare(match->valueBegin, length, value) != 0) {
            bytes_.replace(match->valueBegin, length, value);
            changed_ = true;
        }
        return;
    }
    // Only the last line of the text can lack a line break.
    const bool needsLineBreak = insertAt == bytes_.size() && !EndsWithLineBreak(bytes_);
    bytes_.insert(insertAt, (needsLineBreak ? "\r\n" : "") + KeyLineText(key, value));
    changed_ = true;
}

void TProfileFile::EraseSection(std::string_view section) {
    const auto header = FindSectionHeader(bytes_, TrimSpaces(section));
    if (!header) {
        return;
    }
    // Moves the kept lines down over the removed ones in one pass; every move goes to bytes
    // that were visited already.
    std::size_t kept = header->begin;
    std::size_t keptFrom = header->next;
    VisitKeyLines(bytes_, *header, [&](const TKeyLine& keyLine) {
        std::copy(bytes_.begin() + static_cast<std::ptrdiff_t>(keptFrom),
                  bytes_.begin() + static_cast<std::ptrdiff_t>(keyLine.line.begin),
                  bytes_.begin() + static_cast<std::ptrdiff_t>(kept));
        kept += keyLine.line.begin - keptFrom;
        keptFrom = keyLine.line.next;
        return true;
    });
    bytes_.erase(kept, keptFrom - kept);
    changed_ = true;
}

void TProfileFile::UpdateFile() {
    if (!hasFile_) {
        throw std::logic_error("a profile made from bytes has no file to update");
    }
    if (!changed_) {
        return;
    }
    if (unreadable_) {
        throw EIniFileError(PathText(fileName_));
    }
    try {
        WriteFileBytesAtomic(fileName_, bytes_);
    } catch (const EFileCreateError& error) {
        throw EIniFileError(PathText(fileName_), error.Cause());
    }
    changed_ = false;
}

bool TProfileFile::CanWriteValue(std::string_view value) {
    return !HoldsLineBreakOrNul(value);
}

std::optional<std::string> TProfileFile::ValueReadingBack(std::string_view text) {
    // Reading trims blanks and drops one pair of enclosing quotes, which then protect the text.
    const bool changedByReading =
        !text.empty() &&
        (IsIniBlank(text.front()) || IsIniBlank(text.back()) || IsQuote(text.front()));
    std::string value = changedByReading ? '"' + std::string(text) + '"' : std::string(text);
    if (!CanWriteValue(value) || value.size() > MaxValueLength) {
        return std::nullopt;
    }
    return value;
}

std::string TProfileFile::Bytes() const {
    return bytes_;
}
