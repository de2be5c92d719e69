#include "CliRunner.h"

#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

/// pelloran-cli's argument vector as exec and spawn take it: the words, and pointers to them
/// ending in a null pointer.
class TCliArgv {
public:
    explicit TCliArgv(const std::vector<std::string>& arguments) : words_{PELLORAN_CLI_PATH} {
        words_.insert(words_.end(), arguments.begin(), arguments.end());
        for (std::string& word : words_) {
            pointers_.push_back(word.data());
        }
        pointers_.push_back(nullptr);
    }
    // The pointers point into the words: neither may move.
    TCliArgv(const TCliArgv&) = delete;
    TCliArgv& operator=(const TCliArgv&) = delete;

    const char* Path() const { return pointers_.front(); }
    char* const* Data() const { return pointers_.data(); }

private:
    std::vector<std::string> words_;
    std::vector<char*> pointers_;
};

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
    return RunCliProgram(PELLORAN_CLI_PATH, {}, arguments, folder);
}

TCliResult RunCliProgram(const std::filesystem::path& program,
                         const std::vector<std::string>& environment,
                         const std::vector<std::string>& arguments,
                         const std::filesystem::path& folder) {
    const TTemporaryFolder outputs;
    std::string command = "cd " + ShellQuoted(folder.string()) + " && env";
    for (const std::string& variable : environment) {
        command += " " + ShellQuoted(variable);
    }
    command += " " + ShellQuoted(program.string());
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

void ExecCli(const std::filesystem::path& folder, const std::vector<std::string>& arguments) {
    TCliArgv argv(arguments);
    const int nothing = ::open("/dev/null", O_RDWR);
    if (nothing < 0 || ::chdir(folder.c_str()) != 0) {
        ::_exit(127);
    }
    ::dup2(nothing, STDIN_FILENO);
    ::dup2(nothing, STDOUT_FILENO);
    ::dup2(nothing, STDERR_FILENO);
    ::execv(argv.Path(), argv.Data());
    ::_exit(127);
}

TCliMemoryResult RunCliMeasuringMemory(const std::vector<std::string>& arguments,
                                       const std::filesystem::path& folder) {
    TCliArgv argv(arguments);
    // Spawned rather than forked: a window's process with its threads and memory is not copied,
    // and the child's own usage is not hidden by a shell in between.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t child = 0;
    const int spawnError =
        ::posix_spawn(&child, argv.Path(), &actions, nullptr, argv.Data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    TCliMemoryResult result;
    int status = 0;
    rusage usage{};
    if (spawnError == 0 && ::wait4(child, &status, 0, &usage) == child) {
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.peakKib = usage.ru_maxrss;
    }
    return result;
}
