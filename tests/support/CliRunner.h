#pragma once

#include "TestFiles.h"

#include <filesystem>
#include <string>
#include <vector>

/// What one run of pelloran-cli gave.
struct TCliResult {
    int status = -1;
    std::string out;
    std::string err;
};

/// Runs pelloran-cli with `arguments` in `folder`, standard input empty.
TCliResult RunCli(const std::vector<std::string>& arguments,
                  const std::filesystem::path& folder = std::filesystem::temp_directory_path());

#ifndef _WIN32
/// Runs `program` (a copy of pelloran-cli, say) as RunCli runs pelloran-cli, with the variables
/// of `environment` ("NAME=value") added to its environment.
TCliResult RunCliProgram(const std::filesystem::path& program,
                         const std::vector<std::string>& environment,
                         const std::vector<std::string>& arguments,
                         const std::filesystem::path& folder);
#endif

/// What one run of pelloran-cli with its output dropped gave: its exit status and the most
/// memory it held (peak resident set, KiB).
struct TCliMemoryResult {
    int status = -1;
    long peakKib = 0;
};

#ifndef _WIN32
/// Becomes pelloran-cli with `arguments` in `folder`, standard input and output on /dev/null:
/// for a child just forked (Windows forks no process). Exits with 127 when that cannot be done.
[[noreturn]] void ExecCli(const std::filesystem::path& folder,
                          const std::vector<std::string>& arguments);
#endif

/// Runs pelloran-cli with `arguments` in `folder` to its end, standard input empty, its output
/// dropped; status -1 when it could not be started or ended by a signal. On Windows the peak is
/// the working set's.
TCliMemoryResult RunCliMeasuringMemory(const std::vector<std::string>& arguments,
                                       const std::filesystem::path& folder);
