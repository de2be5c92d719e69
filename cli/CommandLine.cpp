#include "cli/CommandLine.h"

#include "cli/CliSession.h"

namespace {

std::string TakeValue(const std::vector<std::string>& arguments, std::size_t& at) {
    if (at + 1 >= arguments.size()) {
        throw EUsageError(arguments[at] + " needs a value");
    }
    return arguments[++at];
}

/// A separator that a number's own characters cannot be mistaken for.
bool IsPossibleDecimalSeparator(char character) {
    const std::string_view numberCharacters = "0123456789+-eE";
    return static_cast<unsigned char>(character) > ' ' &&
           numberCharacters.find(character) == std::string_view::npos;
}

/// A column or row: digits only, at most MaxCliCellNumber.
void CheckCellNumber(const std::string& command, const std::string& value) {
    const bool digits = !value.empty() && value.size() <= 7 &&
                        value.find_first_not_of("0123456789") == std::string::npos;
    if (!digits) {
        throw EUsageError(command + " takes columns and rows as numbers from 0 to " +
                          std::to_string(MaxCliCellNumber) + ", not '" + value + "'");
    }
}

} // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    TCommandLine commandLine;
    std::size_t at = 0;
    for (; at < arguments.size() && arguments[at].starts_with("--"); ++at) {
        const std::string& option = arguments[at];
        if (option == "--help") {
            commandLine.showHelp = true;
        } else if (option == "--lng") {
            commandLine.languageFile = TakeValue(arguments, at);
        } else if (option == "--title") {
            commandLine.paperTitle = TakeValue(arguments, at);
        } else if (option == "--decimal") {
            const std::string value = TakeValue(arguments, at);
            if (value.size() != 1 || !IsPossibleDecimalSeparator(value[0])) {
                throw EUsageError("--decimal takes one character that is not part of a number "
                                  "(no digit, sign, exponent letter or blank)");
            }
            commandLine.decimalSeparator = value[0];
        } else {
            throw EUsageError("unknown option " + option);
        }
    }
    for (; at < arguments.size(); ++at) {
        const std::string& name = arguments[at];
        if (name == "--help") {
            commandLine.showHelp = true;
            continue;
        }
        const TCliCommandInfo* info = FindCliCommand(name);
        if (info == nullptr) {
            throw EUsageError("unknown command " + name);
        }
        TCliCommand command{name, {}};
        const std::size_t commandAt = at;
        for (const TCliArgument kind : info->arguments) {
            if (at + 1 >= arguments.size()) {
                throw EUsageError(name + " needs " + std::to_string(info->arguments.size()) +
                                  " arguments: " + info->synopsis);
            }
            command.arguments.push_back(arguments[++at]);
            if (kind == TCliArgument::CellNumber) {
                CheckCellNumber(arguments[commandAt], command.arguments.back());
            }
        }
        commandLine.commands.push_back(std::move(command));
    }
    if (commandLine.commands.empty() && !commandLine.showHelp) {
        throw EUsageError("no command given");
    }
    return commandLine;
}

bool PaintsOnPaper(const TCommandLine& commandLine) {
    for (const TCliCommand& command : commandLine.commands) {
        if (FindCliCommand(command.name)->paintsOnPaper) {
            return true;
        }
    }
    return false;
}

std::string UsageText() {
    std::string text =
        "Usage: pelloran-cli [--lng FILE] [--decimal C] [--title TEXT] COMMAND...\n"
        "Runs the commands in order on one answer table, which starts as an empty test.\n"
        "\n"
        "Options:\n"
        "  --lng FILE     read the messages Msg1 to Msg10, the analysis texts and the wording\n"
        "                 of failures and notices from this language file (sections Analysis\n"
        "                 and Messages; Japanese texts where it has none)\n"
        "  --decimal C    use C as the decimal separator of numbers in cells\n"
        "  --title TEXT   the test's name on the slips and the class list (default: the\n"
        "                 name of the file opened, without its folder and extension)\n"
        "  --help         show this text\n"
        "\n"
        "Commands:\n";
    for (const TCliCommandInfo& info : CliCommands()) {
        text += "  " + info.synopsis;
        if (info.synopsis.size() < 13) {
            text.append(15 - info.synopsis.size(), ' ');
        } else {
            text += "\n" + std::string(17, ' ');
        }
        text += info.summary + "\n";
    }
    text += "\nA failing command is reported on standard error and the run goes on.\n"
            "Exit status: 0 when every command succeeded, 1 when one failed, 2 for a usage "
            "error.\n";
    return text;
}
