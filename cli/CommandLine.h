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
    /// As many as the command takes; cell numbers checked.
    std::vector<std::string> arguments;
};

struct TCommandLine {
    bool showHelp = false;
    std::optional<std::string> languageFile;
    std::optional<char> decimalSeparator;
    /// UTF-8.
    std::optional<std::string> paperTitle;
    std::vector<TCliCommand> commands;
};

/// Options come before the commands. Throws EUsageError.
TCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

/// Whether a command paints on paper, which needs Qt: pelloran-cli-paper runs such a line.
bool PaintsOnPaper(const TCommandLine& commandLine);

/// The text --help prints.
std::string UsageText();
