#include "platform/Errors.h"

#include <cerrno>

std::string FormatMessage(std::string_view pattern, std::string_view argument) {
    std::string text(pattern);
    if (auto at = text.find("%s"); at != std::string::npos) {
        text.replace(at, 2, argument);
    }
    return text;
}

std::error_code LastSystemError() {
    return {errno, std::generic_category()};
}

EProgramStartError::EProgramStartError(std::string_view programName, std::error_code cause)
    : EPelloranError("cannot start " + std::string(programName) + ": " + cause.message()),
      programName_(programName), cause_(cause) {}

EFileError::EFileError(const std::string& message, std::string_view fileName, std::error_code cause)
    : EPelloranError(message), fileName_(fileName), cause_(cause) {}

EFileOpenError::EFileOpenError(std::string_view fileName, std::error_code cause)
    : EFileError(FormatMessage("ファイル %s は開けません", fileName), fileName, cause) {}

EFileCreateError::EFileCreateError(std::string_view fileName, std::error_code cause)
    : EFileError(FormatMessage("ファイル %s を作成できません", fileName), fileName, cause) {}

EOutputError::EOutputError(std::string_view streamName, std::error_code cause)
    : EFileError(FormatMessage("%s に書き込めません", streamName), streamName, cause) {}

EIniFileError::EIniFileError(std::string_view fileName, std::error_code cause)
    : EFileError(FormatMessage("%s に書き込めません", fileName), fileName, cause) {}
