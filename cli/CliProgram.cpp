#include "cli/CliProgram.h"

#include "cli/CliSession.h"
#include "cli/TerminalProgress.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Locale.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/ProfileFile.h"
#include "table/file/AnswerFile.h"
#include "table/marking/Sorting.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <filesystem>
#include <future>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace {

constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;
/// A command that ends sooner shows no progress.
constexpr std::chrono::milliseconds ProgressDelay{500};

void Report(std::string_view message) {
    std::cerr << "pelloran-cli: " << message << "\n";
}

/// Runs `action`, reporting what it raises in the wording of `texts`; false when it failed.
template <typename TAction>
bool RunReported(TAction&& action, const TLanguageTexts& texts) {
    try {
        action();
        return true;
    } catch (const std::exception& error) {
        Report(FailureTextWithCause(error, texts));
    }
    return false;
}

/// The bytes of the files that the commands load: about the bytes a sort's keys take.
std::size_t LoadedFileBytes(const TCommandLine& commandLine) {
    std::size_t bytes = 0;
    for (const TCliCommand& command : commandLine.commands) {
        if (command.name == "open" || command.name == "paste") {
            std::error_code error;
            const std::uintmax_t size = std::filesystem::file_size(command.arguments.at(0), error);
            bytes += error ? 0 : static_cast<std::size_t>(size);
        }
    }
    return bytes;
}

/// A sort builds the locale's collator first, which takes tens of milliseconds: when the
/// commands sort, it is built on another thread meanwhile. The sort waits for it there; a
/// failure here is left to the sort to report.
std::future<void> PrepareCollatorForSorts(const TCommandLine& commandLine) {
    const bool sorts =
        std::any_of(commandLine.commands.begin(), commandLine.commands.end(),
                    [](const TCliCommand& command) { return command.name.starts_with("sort-"); });
    if (!sorts) {
        return {};
    }
    const std::size_t textBytes = LoadedFileBytes(commandLine);
    try {
        return std::async(std::launch::async, [textBytes] {
            try {
                PrepareCollatorToSort(textBytes);
            } catch (...) {
                // The sort builds the collator again and reports why it cannot.
            }
        });
    } catch (const std::system_error&) {
        return {};
    }
}

} // namespace

TCliStart StartCli(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    UseBinaryStandardStreams();
    TCliStart start;
    try {
        start.commandLine = ParseCommandLine(CommandLineArguments(argc, argv));
    } catch (const EUsageError& error) {
        Report(error.what());
        std::cerr << "Try 'pelloran-cli --help'.\n";
        start.exitStatus = ExitUsage;
        return start;
    }
    if (start.commandLine.showHelp) {
        std::cout << UsageText();
        start.exitStatus = std::cout.flush() ? 0 : ExitFailure;
    }
    return start;
}

int RunCliCommands(const TCommandLine& commandLine, TCliPaperPrinter* paperPrinter) {
    bool failed = false;
    TProfileFile languageFile = TProfileFile::FromBytes({});
    if (commandLine.languageFile) {
        failed |= !RunReported(
            [&] {
                languageFile =
                    TProfileFile::FromBytes(ReadFileBytes(PathFromText(*commandLine.languageFile)));
            },
            TLanguageTexts());
    }
    const TLanguageTexts texts(languageFile);
    const std::future<void> collatorPrepared = PrepareCollatorForSorts(commandLine);
    // Only `state` needs a file's text, to tell whether the table has changed since.
    const bool keepsLoadedText =
        std::any_of(commandLine.commands.begin(), commandLine.commands.end(),
                    [](const TCliCommand& command) { return command.name == "state"; });
    TCliSession session(std::cout, Report, languageFile,
                        keepsLoadedText ? TLoadedText::Kept : TLoadedText::Dropped,
                        commandLine.decimalSeparator.value_or(DecimalSeparator()));
    if (commandLine.paperTitle) {
        session.SetPaperTitle(*commandLine.paperTitle);
    }
    if (paperPrinter != nullptr) {
        session.SetPaperPrinter(*paperPrinter);
    }
    // Progress is for a person watching: a script's log gets only what the commands print.
    std::optional<TTerminalProgress> progress;
    if (StandardErrorIsTerminal()) {
        progress.emplace(std::cerr, ProgressDelay);
        session.SetProgressListener(&*progress);
    }
    for (const TCliCommand& command : commandLine.commands) {
        failed |= !RunReported([&] { session.Run(command.name, command.arguments); }, texts);
    }
    std::cout.flush();
    return failed ? ExitFailure : 0;
}
