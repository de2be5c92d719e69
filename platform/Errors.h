#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

/// Base of every failure the program reports to the user. `what()` is UTF-8 text.
class EPelloranError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// A file could not be opened or read.
class EFileOpenError : public EPelloranError {
public:
    explicit EFileOpenError(std::string_view fileName);
};

/// A file could not be created or written.
class EFileCreateError : public EPelloranError {
public:
    explicit EFileCreateError(std::string_view fileName);
};

/// An INI file could not be written.
class EIniFileError : public EPelloranError {
public:
    explicit EIniFileError(std::string_view fileName);
};

/// Replaces the first "%s" of `pattern` by `argument`.
std::string FormatMessage(std::string_view pattern, std::string_view argument);
