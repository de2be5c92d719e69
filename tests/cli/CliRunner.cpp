#include "CliRunner.h"

#include <cstdlib>
#include <sys/wait.h>

namespace {

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char byte : text) {
        if (byte == '\'') {
            quoted += "'\\''";
        } else {
            quoted += byte;
        }
    }
    return quoted + "'";
}

} // namespace

TCliResult RunCli(const std::vector<std::string>& arguments, const std::filesystem::path& folder) {
    const TTemporaryFolder outputs;
    std::string command =
        "cd " + ShellQuoted(folder.string()) + " && " + ShellQuoted(PELLORAN_CLI_PATH);
    for (const std::string& argument : arguments) {
        command += " " + ShellQuoted(argument);
    }
    command += " </dev/null >" + ShellQuoted((outputs / "out").string()) + " 2>" +
               ShellQuoted((outputs / "err").string());
    const int status = std::system(command.c_str());
    TCliResult result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadTestFile(outputs / "out");
    result.err = ReadTestFile(outputs / "err");
    return result;
}
