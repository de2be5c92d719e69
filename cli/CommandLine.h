#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

/// The command line could not be understood.
class EUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TCliCommand {
    std::string name;
    std::string argument; // empty for a command that takes none
};

struct TCommandLine {
    bool showHelp = false;
    std::optional<std::string> languageFile;
    std::optional<char> decimalSeparator;
    std::vector<TCliCommand> commands;
};

/// Options come before the commands. Throws EUsageError.
TCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

/// The text --help prints.
std::string UsageText();
