#pragma once

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

/// A fresh folder removed with everything in it at the end of the test.
class TTemporaryFolder {
public:
    TTemporaryFolder();
    TTemporaryFolder(const TTemporaryFolder&) = delete;
    TTemporaryFolder& operator=(const TTemporaryFolder&) = delete;
    ~TTemporaryFolder();

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

void WriteBytes(const std::filesystem::path& fileName, const std::string& bytes);
std::string ReadBytes(const std::filesystem::path& fileName);
