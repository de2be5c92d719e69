#include "platform/Paths.h"

#include "platform/CodePage.h"
#include "platform/windows/WindowsText.h"

namespace {

constexpr bool IsDelimiter(char byte) {
    return byte == PathDelimiter || byte == ':';
}

/// A text that is no UTF-8 holds code page 932 bytes, where '\' may be the second byte of a
/// character and is then no separator: such a text is walked character by character.
std::size_t NextCharacter(std::string_view fileName, std::size_t at, bool codePageBytes) {
    return at + (codePageBytes ? TCodePage::CharLength(fileName, at) : 1);
}

/// Index of the last '\' or ':' before `end`, or npos.
std::size_t LastDelimiter(std::string_view fileName, std::size_t end) {
    std::size_t last = std::string_view::npos;
    const bool codePageBytes = !IsUtf8(fileName);
    for (std::size_t at = 0; at < end; at = NextCharacter(fileName, at, codePageBytes)) {
        if (IsDelimiter(fileName[at])) {
            last = at;
        }
    }
    return last;
}

/// Index of the first '\' from `from` on (a character's start), or npos.
std::size_t NextSeparator(std::string_view fileName, std::size_t from) {
    const bool codePageBytes = !IsUtf8(fileName);
    for (std::size_t at = from; at < fileName.size();
         at = NextCharacter(fileName, at, codePageBytes)) {
        if (fileName[at] == PathDelimiter) {
            return at;
        }
    }
    return std::string_view::npos;
}

} // namespace

std::size_t FileNameStart(std::string_view fileName) {
    const std::size_t delimiter = LastDelimiter(fileName, fileName.size());
    return delimiter == std::string_view::npos ? 0 : delimiter + 1;
}

std::string PathText(const std::filesystem::path& path) {
    return Utf8FromWide(path.native());
}

std::filesystem::path PathFromText(std::string_view text) {
    if (IsUtf8(text)) {
        return WideFromUtf8(text);
    }
    const std::u16string decoded = TCodePage::Decode(text);
    return std::wstring(decoded.begin(), decoded.end());
}

std::string ExtractFileDir(std::string_view fileName) {
    std::size_t end = FileNameStart(fileName);
    // The separator goes, but a drive root ("C:\") and a leading one keep theirs.
    if (end > 1 && fileName[end - 1] == PathDelimiter &&
        LastDelimiter(fileName, end - 1) != end - 2) {
        --end;
    }
    return std::string(fileName.substr(0, end));
}

std::string ExtractFileDrive(std::string_view fileName) {
    if (fileName.size() >= 2 && fileName[1] == ':') {
        return std::string(fileName.substr(0, 2));
    }
    if (fileName.starts_with("\\\\")) {
        // "\\server\share": up to the separator after the share, or the whole text.
        const std::size_t server = NextSeparator(fileName, 2);
        const std::size_t share = server == std::string_view::npos
                                      ? std::string_view::npos
                                      : NextSeparator(fileName, server + 1);
        return std::string(fileName.substr(0, share));
    }
    return {};
}
