#pragma once

#include <filesystem>
#include <string>
#include <string_view>

/// The whole content of a regular file. Throws EFileOpenError when it cannot be opened or
/// read, or is no regular file (a folder, a device, a pipe).
std::string ReadFileBytes(const std::filesystem::path& fileName);

/// Writes a file that replaces its target only once complete: the bytes go to a temporary
/// file in the same folder, which Commit flushes to disk and renames over the target, so that
/// a failed or interrupted save leaves an existing file as it was. The new file keeps the
/// mode, owner and group of the file it replaces; a target that is not a regular file or that
/// the user may not write is refused. (Other hard links to a replaced file keep the old
/// text.) Every failure throws EFileCreateError; a writer destroyed without Commit removes its
/// temporary file.
class TAtomicFileWriter {
public:
    explicit TAtomicFileWriter(const std::filesystem::path& fileName);
    TAtomicFileWriter(const TAtomicFileWriter&) = delete;
    TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;
    ~TAtomicFileWriter();

    void Write(std::string_view bytes);
    void Commit();

private:
    void Fail();

    std::filesystem::path fileName_;
    std::filesystem::path target_;
    std::string temporaryName_;
    int descriptor_ = -1;
};

/// Replaces the file's content by `bytes` through a TAtomicFileWriter.
void WriteFileBytesAtomic(const std::filesystem::path& fileName, std::string_view bytes);

bool FileExists(const std::filesystem::path& fileName);
bool FolderExists(const std::filesystem::path& folder);
/// Whether the user may create files in the folder.
bool FolderWritable(const std::filesystem::path& folder);

/// The full path of the running executable.
std::filesystem::path ExecutablePath();
