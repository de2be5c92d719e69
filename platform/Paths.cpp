#include "platform/Paths.h"

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
