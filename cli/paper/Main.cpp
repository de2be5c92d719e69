#include "cli/CliProgram.h"
#include "cli/paper/CliPdfPrinter.h"
#include "paper/PaperApplication.h"

#include <memory>

/// The whole tool, paper commands included: pelloran-cli hands it a command line that paints on
/// paper.
int main(int argc, char** argv) {
    const TCliStart start = StartCli(argc, argv);
    if (start.exitStatus) {
        return *start.exitStatus;
    }
    // Qt's start costs more than most runs: only the commands that paint need it.
    std::unique_ptr<TPaperApplication> paperApplication;
    if (PaintsOnPaper(start.commandLine)) {
        paperApplication = std::make_unique<TPaperApplication>(argc, argv);
    }
    TCliPdfPrinter printer;
    return RunCliCommands(start.commandLine, &printer);
}
