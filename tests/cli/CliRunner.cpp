#include "CliRunner.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>
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
    result.out = ReadBytes(outputs / "out");
    result.err = ReadBytes(outputs / "err");
    return result;
}

TTemporaryFolder::TTemporaryFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("pelloran-test-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
}

TTemporaryFolder::~TTemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void WriteBytes(const std::filesystem::path& fileName, const std::string& bytes) {
    std::ofstream file(fileName, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + fileName.string());
    }
}

std::string ReadBytes(const std::filesystem::path& fileName) {
    std::ifstream file(fileName, std::ios::binary | std::ios::ate);
    std::string bytes(static_cast<std::size_t>(std::max<std::streamoff>(file.tellg(), 0)), '\0');
    file.seekg(0);
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}
