#include "Paths.h"

#include "CodePage.h"

namespace {

/// Index one past the last separator, or 0 when there is none.
std::size_t FileNameStart(std::string_view fileName) {
    std::size_t start = 0;
    for (std::size_t at = 0; at < fileName.size(); at += TCodePage::CharLength(fileName, at)) {
        if (fileName[at] == PathDelimiter) {
            start = at + 1;
        }
    }
    return start;
}

} // namespace

std::string ExtractFilePath(std::string_view fileName) {
    return std::string(fileName.substr(0, FileNameStart(fileName)));
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
    std::size_t dot = std::string_view::npos;
    for (std::size_t at = nameStart; at < fileName.size();
         at += TCodePage::CharLength(fileName, at)) {
        if (fileName[at] == '.') {
            dot = at;
        }
    }
    std::string changed(fileName.substr(0, dot));
    changed += extension;
    return changed;
}

std::string ExtractFileDrive(std::string_view) { return {}; }
