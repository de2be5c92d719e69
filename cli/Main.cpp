#include "cli/CliProgram.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Process.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace {

/// Stands in for pelloran-cli-paper when it cannot be started: each paper command fails with
/// the cause, and the other commands run as they would.
class TUnavailablePaperPrinter : public TCliPaperPrinter {
public:
    explicit TUnavailablePaperPrinter(EProgramStartError cause) : cause_(std::move(cause)) {}

    void WriteSlips(const TCliPaperJob&, const std::filesystem::path&) override { throw cause_; }
    void WriteClassList(const TCliPaperJob&, const std::filesystem::path&) override {
        throw cause_;
    }

private:
    EProgramStartError cause_;
};

/// pelloran-cli-paper beside this program; never one of the current folder, which a program
/// that cannot tell its own path would otherwise start.
std::filesystem::path PaperHelperPath() {
    const std::filesystem::path self = ExecutablePath();
    if (self.empty()) {
        throw EProgramStartError(PELLORAN_CLI_PAPER_NAME,
                                 std::make_error_code(std::errc::no_such_file_or_directory));
    }
    return self.parent_path() / PELLORAN_CLI_PAPER_NAME;
}

} // namespace

/// The tool without Qt, which starts in a few milliseconds: a command line that paints on paper
/// is run whole by pelloran-cli-paper, found beside this program.
int main(int argc, char** argv) {
    const TCliStart start = StartCli(argc, argv);
    if (start.exitStatus) {
        return *start.exitStatus;
    }
    if (!PaintsOnPaper(start.commandLine)) {
        return RunCliCommands(start.commandLine, nullptr);
    }
    try {
        return RunProgramInstead(PaperHelperPath(), argv);
    } catch (const EProgramStartError& cause) {
        TUnavailablePaperPrinter unavailable(cause);
        return RunCliCommands(start.commandLine, &unavailable);
    }
}
