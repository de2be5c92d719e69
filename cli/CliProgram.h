#pragma once

#include "cli/CliPaperPrinter.h"
#include "cli/CommandLine.h"

#include <optional>

/// The start both programs of the tool share: pelloran-cli, and pelloran-cli-paper, which runs
/// a command line with paper commands.
struct TCliStart {
    TCommandLine commandLine;
    /// Set when there is nothing more to do: --help printed, a usage error reported.
    std::optional<int> exitStatus;
};

/// Sets up the standard streams and reads the command line.
TCliStart StartCli(int argc, char** argv);

/// Runs the commands in order, each failure reported, and returns the exit status. The paper
/// commands print with `paperPrinter`, which a command line with such a command needs.
int RunCliCommands(const TCommandLine& commandLine, TCliPaperPrinter* paperPrinter);
