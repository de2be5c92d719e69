#pragma once

#include "platform/UserText.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

/// Base of every failure the program reports to the user. `what()` is its text in the built-in
/// Japanese, UTF-8; Text() words it in the language of the user's choice.
class EPelloranError : public std::runtime_error {
public:
    /// A text the same in every language.
    explicit EPelloranError(const std::string& message);
    explicit EPelloranError(const TUserText& text);

    const TUserText& Text() const { return *text_; }

private:
    /// Shared, so that copying the failure as it is thrown cannot fail.
    std::shared_ptr<const TUserText> text_;
};

/// A program could not be started.
class EProgramStartError : public EPelloranError {
public:
    EProgramStartError(std::string_view programName, std::error_code cause);

    const std::string& ProgramName() const { return programName_; }
    std::error_code Cause() const { return cause_; }

private:
    std::string programName_;
    std::error_code cause_;
};

/// A file that could not be read or written, and why, as far as the system told.
class EFileError : public EPelloranError {
public:
    const std::string& FileName() const { return fileName_; }
    /// The system's cause (errno's code); empty where the program refused on its own, as it
    /// refuses to read or replace anything but a regular file.
    std::error_code Cause() const { return cause_; }

protected:
    EFileError(const TUserText& text, std::string_view fileName, std::error_code cause);

private:
    std::string fileName_;
    std::error_code cause_;
};

/// A file could not be opened or read.
class EFileOpenError : public EFileError {
public:
    explicit EFileOpenError(std::string_view fileName, std::error_code cause = {});
};

/// A file could not be created or written.
class EFileCreateError : public EFileError {
public:
    explicit EFileCreateError(std::string_view fileName, std::error_code cause = {});
};

/// A stream that is no file of the program's own (standard output) could not be written.
class EOutputError : public EFileError {
public:
    EOutputError(const TUserText& streamName, std::error_code cause);
};

/// An INI file could not be written.
class EIniFileError : public EFileError {
public:
    explicit EIniFileError(std::string_view fileName, std::error_code cause = {});
};

/// The failure's text: an EPelloranError's own, else what() in every language.
TUserText FailureUserText(const std::exception& failure);

/// The cause errno holds now.
std::error_code LastSystemError();

/// Replaces the first "%s" of `pattern` by `argument`.
std::string FormatMessage(std::string_view pattern, std::string_view argument);
