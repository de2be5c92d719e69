#include "cli/CliProgram.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Process.h"

#include <filesystem>
#include <string>
#include <system_error>

namespace {

/// Stands in for pelloran-cli-paper when it cannot be started: each paper command fails with
/// the cause, and the other commands run as they would.
class TUnavailablePaperPrinter : public TCliPaperPrinter {
public:
    explicit TUnavailablePaperPrinter(const EProgramStartError& failure)
        : program_(failure.ProgramName()), cause_(failure.Cause()) {}

    void WriteSlips(const TCliPaperJob&, const std::filesystem::path&) override {
        throw EProgramStartError(program_, cause_);
    }
    void WriteClassList(const TCliPaperJob&, const std::filesystem::path&) override {
        throw EProgramStartError(program_, cause_);
    }

private:
    std::string program_;
    std::error_code cause_;
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
    } catch (const EProgramStartError& failure) {
        TUnavailablePaperPrinter unavailable(failure);
        return RunCliCommands(start.commandLine, &unavailable);
    }
}
