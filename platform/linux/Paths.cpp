#include "platform/Paths.h"

namespace {

/// Index one past the last separator, or 0 when there is none. Native paths are UTF-8, and
/// '/' is never the second byte of a code page 932 character either, so a byte search is
/// right for both.
std::size_t FileNameStart(std::string_view fileName) {
    const std::size_t separator = fileName.rfind(PathDelimiter);
    return separator == std::string_view::npos ? 0 : separator + 1;
}

} // namespace

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

std::string ExtractFileName(std::string_view fileName) {
    return std::string(fileName.substr(FileNameStart(fileName)));
}

std::string ChangeFileExt(std::string_view fileName, std::string_view extension) {
    const std::size_t nameStart = FileNameStart(fileName);
    std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || dot < nameStart) {
        dot = fileName.size();
    }
    std::string changed(fileName.substr(0, dot));
    changed += extension;
    return changed;
}

std::string ExtractFileDrive(std::string_view) {
    return {};
}
