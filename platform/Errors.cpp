#include "platform/Errors.h"

#include <cerrno>

namespace {

TUserText FileText(std::string_view fileName) {
    return TUserText::Literal(std::string(fileName));
}

} // namespace

EPelloranError::EPelloranError(const std::string& message)
    : EPelloranError(TUserText::Literal(message)) {}

EPelloranError::EPelloranError(const TUserText& text)
    : std::runtime_error(text.Japanese()), text_(std::make_shared<const TUserText>(text)) {}

std::string FormatMessage(std::string_view pattern, std::string_view argument) {
    std::string text(pattern);
    if (auto at = text.find("%s"); at != std::string::npos) {
        text.replace(at, 2, argument);
    }
    return text;
}

TUserText FailureUserText(const std::exception& failure) {
    const auto* worded = dynamic_cast<const EPelloranError*>(&failure);
    return worded != nullptr ? worded->Text() : TUserText::Literal(failure.what());
}

std::error_code LastSystemError() {
    return {errno, std::generic_category()};
}

EProgramStartError::EProgramStartError(std::string_view programName, std::error_code cause)
    : EPelloranError("cannot start " + std::string(programName) + ": " + cause.message()),
      programName_(programName), cause_(cause) {}

EFileError::EFileError(const TUserText& text, std::string_view fileName, std::error_code cause)
    : EPelloranError(text), fileName_(fileName), cause_(cause) {}

EFileOpenError::EFileOpenError(std::string_view fileName, std::error_code cause)
    : EFileError({"FileOpenError", "ファイル %1 は開けません", {FileText(fileName)}}, fileName,
                 cause) {}

EFileCreateError::EFileCreateError(std::string_view fileName, std::error_code cause)
    : EFileError({"FileCreateError", "ファイル %1 を作成できません", {FileText(fileName)}},
                 fileName, cause) {}

EOutputError::EOutputError(const TUserText& streamName, std::error_code cause)
    : EFileError({"WriteError", "%1 に書き込めません", {streamName}}, streamName.Japanese(),
                 cause) {}

EIniFileError::EIniFileError(std::string_view fileName, std::error_code cause)
    : EFileError({"WriteError", "%1 に書き込めません", {FileText(fileName)}}, fileName, cause) {}
