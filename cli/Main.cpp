#include "CliSession.h"
#include "CommandLine.h"
#include "platform/Files.h"
#include "platform/Locale.h"

#include <exception>
#include <iostream>
#include <string_view>

namespace {

constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

void Report(std::string_view message) {
    std::cerr << "pelloran-cli: " << message << "\n";
}

/// Runs `action`, reporting what it raises; false when it failed.
template <typename TAction>
bool RunReported(TAction&& action) {
    try {
        action();
        return true;
    } catch (const std::bad_alloc&) {
        Report("メモリが足りません");
    } catch (const std::exception& error) {
        Report(error.what());
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    TCommandLine commandLine;
    try {
        commandLine = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const EUsageError& error) {
        Report(error.what());
        std::cerr << "Try 'pelloran-cli --help'.\n";
        return ExitUsage;
    }
    if (commandLine.showHelp) {
        std::cout << UsageText();
        return std::cout.flush() ? 0 : ExitFailure;
    }
    if (commandLine.decimalSeparator) {
        SetDecimalSeparator(*commandLine.decimalSeparator);
    }

    bool failed = false;
    TProfileFile languageFile = TProfileFile::FromBytes({});
    if (commandLine.languageFile) {
        failed |= !RunReported([&] {
            languageFile = TProfileFile::FromBytes(ReadFileBytes(*commandLine.languageFile));
        });
    }
    TCliSession session(std::cout, Report, languageFile);
    for (const TCliCommand& command : commandLine.commands) {
        failed |= !RunReported([&] { session.Run(command.name, command.argument); });
    }
    std::cout.flush();
    return failed ? ExitFailure : 0;
}
