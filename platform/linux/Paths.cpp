#include "platform/Paths.h"

// Native paths are UTF-8, and '/' is never the second byte of a code page 932 character
// either, so a byte search is right for both.
std::size_t FileNameStart(std::string_view fileName) {
    const std::size_t separator = fileName.rfind(PathDelimiter);
    return separator == std::string_view::npos ? 0 : separator + 1;
}

std::string PathText(const std::filesystem::path& path) {
    return path.native();
}

std::filesystem::path PathFromText(std::string_view text) {
    return std::filesystem::path(text);
}

std::string ExtractFileDir(std::string_view fileName) {
    std::size_t end = FileNameStart(fileName);
    if (end > 1) {
        --end;
    }
    return std::string(fileName.substr(0, end));
}

std::string ExtractFileDrive(std::string_view) {
    return {};
}
