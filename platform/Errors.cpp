#include "Errors.h"

std::string FormatMessage(std::string_view pattern, std::string_view argument) {
    std::string text(pattern);
    if (auto at = text.find("%s"); at != std::string::npos) {
        text.replace(at, 2, argument);
    }
    return text;
}

EFileOpenError::EFileOpenError(std::string_view fileName)
    : EPelloranError(FormatMessage("ファイル %s は開けません", fileName)) {}

EFileCreateError::EFileCreateError(std::string_view fileName)
    : EPelloranError(FormatMessage("ファイル %s を作成できません", fileName)) {}

EIniFileError::EIniFileError(std::string_view fileName)
    : EPelloranError(FormatMessage("%s に書き込めません", fileName)) {}
