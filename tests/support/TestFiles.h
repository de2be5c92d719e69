#pragma once

#include <cstdint>
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
    /// `name` is a path text (platform/Paths.h).
    std::filesystem::path operator/(std::string_view name) const;

    /// Names of the entries, sorted; shows a temporary file left behind.
    std::vector<std::string> EntryNames() const { return EntryNamesOf(path_); }

    static std::vector<std::string> EntryNamesOf(const std::filesystem::path& folder);
    /// Names of the temporary files of saves (TAtomicFileWriter::TemporaryPrefix) in the
    /// folder, sorted: what a save must never leave behind.
    static std::vector<std::string> SaveDebrisIn(const std::filesystem::path& folder);

private:
    std::filesystem::path path_;
};

/// Writes `bytes` as the whole file; throws std::runtime_error when that fails.
void WriteTestFile(const std::filesystem::path& fileName, std::string_view bytes);

/// The file's bytes; empty when it cannot be read.
std::string ReadTestFile(const std::filesystem::path& fileName);

/// Whether a file without read permission stays unread and a folder without write permission
/// takes no new file: not for the superuser, and never on Windows, whose permission bits are
/// only a read-only attribute of files.
bool PermissionBitsBind();
/// Whether a read-only file stays unwritten: not for the superuser on POSIX; always on Windows,
/// whose read-only attribute binds every user.
bool ReadOnlyFilesBind();
/// What tells the file apart from every other file of its disk (the inode, the file index);
/// 0 when it cannot be asked. A file renamed over it has another.
std::uint64_t FileIdentity(const std::filesystem::path& fileName);
