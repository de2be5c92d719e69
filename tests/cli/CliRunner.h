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
