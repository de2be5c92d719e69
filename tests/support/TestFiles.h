#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

/// A fresh folder for one test, removed with all it holds.
class TTemporaryFolder {
public:
    TTemporaryFolder();
    TTemporaryFolder(const TTemporaryFolder&) = delete;
    TTemporaryFolder& operator=(const TTemporaryFolder&) = delete;
    ~TTemporaryFolder();

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

    /// Names of the entries, sorted; shows a temporary file left behind.
    std::vector<std::string> EntryNames() const { return EntryNamesOf(path_); }

    static std::vector<std::string> EntryNamesOf(const std::filesystem::path& folder);

private:
    std::filesystem::path path_;
};

/// Writes `bytes` as the whole file; throws std::runtime_error when that fails.
void WriteTestFile(const std::filesystem::path& fileName, std::string_view bytes);

/// The file's bytes; empty when it cannot be read.
std::string ReadTestFile(const std::filesystem::path& fileName);
