#include "platform/Process.h"

#include "platform/Errors.h"

#include <unistd.h>

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

void UseBinaryStandardStreams() {}

bool StandardErrorIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

int RunProgramInstead(const std::filesystem::path& program, char** argv) {
    ::execv(program.c_str(), argv);
    throw EProgramStartError(program.string(), LastSystemError());
}
