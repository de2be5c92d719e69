#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

/// An open file as the system hands it out: a descriptor on POSIX, a handle on Windows.
#ifdef _WIN32
using TSystemFile = std::intptr_t;
#else
using TSystemFile = int;
#endif
/// No open file, on either system (INVALID_HANDLE_VALUE is -1 too).
inline constexpr TSystemFile NoSystemFile = -1;

/// The whole content of a regular file, as long as it was when opened: a file another program
/// keeps appending to is not followed. Throws EFileOpenError when it cannot be opened or read,
/// or is no regular file (a folder, a device, a pipe).
std::string ReadFileBytes(const std::filesystem::path& fileName);

/// A regular file read piece by piece, up to its size when opened, for texts too large to
/// be held whole at no cost.
class TFileReader {
public:
    /// Throws EFileOpenError as ReadFileBytes does.
    explicit TFileReader(const std::filesystem::path& fileName);
    TFileReader(const TFileReader&) = delete;
    TFileReader& operator=(const TFileReader&) = delete;
    ~TFileReader();

    /// Bytes when opened.
    std::size_t Size() const { return size_; }
    /// Appends up to `count` of the bytes not read yet to `bytes` and returns how many: fewer
    /// only at the end. Throws EFileOpenError when reading fails.
    std::size_t ReadInto(std::string& bytes, std::size_t count);

private:
    std::filesystem::path fileName_;
    TSystemFile descriptor_ = NoSystemFile;
    std::size_t size_ = 0;
    std::size_t left_ = 0;
};

/// Where a save writes its bytes before they replace the target.
enum class TTemporaryFileKind {
    /// A file without a name (O_TMPFILE), named only just before it replaces the target, where
    /// the file system offers it; a named one elsewhere (always on Windows).
    UnnamedWhereOffered,
    /// Always a named file, as on file systems without unnamed files.
    Named,
};

/// Writes a file that replaces its target only once complete: the bytes go to a temporary
/// file in the same folder, which Commit flushes to disk and renames over the target, so that
/// a failed or interrupted save leaves an existing file as it was. A symbolic link is followed,
/// also to a file that does not exist yet. The new file keeps the mode, owner and group of the
/// file it replaces; a target that is not a regular file or that the user may not write is
/// refused. (Other hard links to a replaced file keep the old text.) On Windows the replaced
/// file's attributes and security pass to the new one, and a read-only file is refused. Every
/// failure throws
/// EFileCreateError; a writer destroyed without Commit removes its temporary file. A named
/// temporary file is locked while its writer lives, and a successful Commit removes those of
/// writers that died (killed during a save) from the folder.
class TAtomicFileWriter {
public:
    explicit TAtomicFileWriter(const std::filesystem::path& fileName,
                               TTemporaryFileKind kind = TTemporaryFileKind::UnnamedWhereOffered);
    TAtomicFileWriter(const TAtomicFileWriter&) = delete;
    TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;
    ~TAtomicFileWriter();

    void Write(std::string_view bytes);
    void Commit();

    /// Names of the temporary files a save creates begin with this.
    static constexpr std::string_view TemporaryPrefix = ".pelloran-save-";

private:
    void CreateTemporaryFile(TTemporaryFileKind kind);
    void NameTemporaryFile();
    void RemoveTemporaryFile();
    [[noreturn]] void Fail(std::error_code cause);
    /// A fresh name with TemporaryPrefix, not named after the target, whose name may already be
    /// as long as a name can be.
    static std::string RandomTemporaryName();

    std::filesystem::path fileName_;
    std::string targetName_;
    /// The target's folder, held open so that a folder renamed during the save still gets
    /// the file and no temporary file in it is lost track of.
    TSystemFile folder_ = NoSystemFile;
    TSystemFile descriptor_ = NoSystemFile;
    std::size_t written_ = 0;
    /// Empty while the temporary file has no name.
    std::string temporaryName_;
};

/// Replaces the file's content by `bytes` through a TAtomicFileWriter.
void WriteFileBytesAtomic(const std::filesystem::path& fileName, std::string_view bytes);

/// Whether a regular file is there; false for a folder and for anything the system cannot
/// tell about.
bool FileExists(const std::filesystem::path& fileName);
/// Whether a folder is there; false for anything the system cannot tell about.
bool FolderExists(const std::filesystem::path& folder);
/// Whether the user may create files in the folder.
bool FolderWritable(const std::filesystem::path& folder);

/// The full path of the running executable.
std::filesystem::path ExecutablePath();
