#include "platform/Files.h"

#include "platform/Errors.h"
#include "platform/LargeBlock.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

/// Owns a POSIX file descriptor.
class TFileHandle {
public:
    explicit TFileHandle(int descriptor) : descriptor_(descriptor) {}
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
    ~TFileHandle() {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
        }
    }

    int Get() const { return descriptor_; }
    bool IsOpen() const { return descriptor_ >= 0; }

private:
    int descriptor_;
};

bool WriteAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

/// Where a save really goes: through a chain of symbolic links to the file the last one names,
/// which need not exist yet (editors create it). A chain too long to be real is refused.
std::filesystem::path ResolveTarget(const std::filesystem::path& fileName) {
    constexpr int MaxLinks = 40;
    std::filesystem::path target = fileName;
    for (int link = 0; link < MaxLinks; ++link) {
        std::error_code error;
        if (!std::filesystem::is_symlink(target, error)) {
            return target;
        }
        const std::filesystem::path named = std::filesystem::read_symlink(target, error);
        if (error) {
            throw EFileCreateError(fileName.string(), error);
        }
        target = named.is_absolute() ? named : target.parent_path() / named;
    }
    throw EFileCreateError(fileName.string(),
                           std::make_error_code(std::errc::too_many_symbolic_link_levels));
}

bool IsSameFile(const struct stat& one, const struct stat& other) {
    return one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

/// Whether the name in `folder` still names the open file.
bool NamesFile(int folder, const std::string& name, int descriptor) {
    struct stat named {};
    struct stat open {};
    return ::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           ::fstat(descriptor, &open) == 0 && IsSameFile(named, open);
}

/// Removes the temporary files of writers that died during a save: only a living writer holds
/// the lock on its file.
void RemoveAbandonedTemporaryFiles(int folder) {
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) {
        return;
    }
    DIR* entries = ::fdopendir(listing);
    if (entries == nullptr) {
        ::close(listing);
        return;
    }
    std::vector<std::string> candidates;
    while (const dirent* entry = ::readdir(entries)) {
        if (std::string_view(entry->d_name).starts_with(TAtomicFileWriter::TemporaryPrefix)) {
            candidates.emplace_back(entry->d_name);
        }
    }
    ::closedir(entries);
    for (const std::string& name : candidates) {
        TFileHandle file(
            ::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat status {};
        if (file.IsOpen() && ::flock(file.Get(), LOCK_EX | LOCK_NB) == 0 &&
            ::fstat(file.Get(), &status) == 0 && S_ISREG(status.st_mode) &&
            NamesFile(folder, name, file.Get())) {
            ::unlinkat(folder, name.c_str(), 0);
        }
    }
}

/// An existing target must be a regular file the user may write: a save never replaces a
/// device or a pipe, nor a file made read-only to protect it. The system's cause when the user
/// may not write it.
std::optional<std::error_code> WhyNotReplaceable(int folder, const std::string& name,
                                                 const struct stat& existing) {
    if (!S_ISREG(existing.st_mode)) {
        return std::error_code();
    }
    if (::faccessat(folder, name.c_str(), W_OK, 0) != 0) {
        return LastSystemError();
    }
    return std::nullopt;
}

/// The new file keeps the owner, group and mode of the file it replaces, as far as the user
/// may give them.
bool TakeOverAttributes(int descriptor, const struct stat& existing) {
    if (::fchown(descriptor, existing.st_uid, existing.st_gid) != 0) {
        // Not the owner's: keep at least the group, which colleagues may share the file by.
        static_cast<void>(::fchown(descriptor, static_cast<uid_t>(-1), existing.st_gid));
    }
    return ::fchmod(descriptor, existing.st_mode & 07777) == 0;
}

void SyncFolder(int folder) {
    TFileHandle handle(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (handle.IsOpen()) {
        // The file is in place already; a folder that cannot be flushed is no failed save.
        static_cast<void>(::fsync(handle.Get()));
    }
}

} // namespace

TFileReader::TFileReader(const std::filesystem::path& fileName) : fileName_(fileName) {
    // Only a regular file has an end (a device such as /dev/zero would fill the memory), and
    // opening anything else may have effects of its own: it is refused before it is opened.
    struct stat status {};
    if (::stat(fileName.c_str(), &status) != 0) {
        throw EFileOpenError(fileName.string(), LastSystemError());
    }
    if (!S_ISREG(status.st_mode)) {
        throw EFileOpenError(fileName.string());
    }
    descriptor_ = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor_ < 0 || ::fstat(descriptor_, &status) != 0 || !S_ISREG(status.st_mode)) {
        const std::error_code cause = descriptor_ < 0 ? LastSystemError() : std::error_code();
        if (descriptor_ >= 0) {
            ::close(descriptor_);
        }
        throw EFileOpenError(fileName.string(), cause);
    }
    // The size at opening is the end: a file that grows meanwhile would otherwise be read
    // until the memory runs out.
    size_ = static_cast<std::size_t>(status.st_size);
    left_ = size_;
}

TFileReader::~TFileReader() {
    ::close(descriptor_);
}

std::size_t TFileReader::ReadInto(std::string& bytes, std::size_t count) {
    const std::size_t start = bytes.size();
    bytes.resize(start + std::min(count, left_));
    std::size_t used = start;
    while (used < bytes.size()) {
        const ssize_t got = ::read(descriptor_, bytes.data() + used, bytes.size() - used);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            const std::error_code cause = LastSystemError();
            bytes.resize(start);
            throw EFileOpenError(fileName_.string(), cause);
        }
        if (got == 0) {
            // Shorter than at opening: the end has come.
            left_ = 0;
            break;
        }
        used += static_cast<std::size_t>(got);
        left_ -= static_cast<std::size_t>(got);
    }
    bytes.resize(used);
    return used - start;
}

TAtomicFileWriter::TAtomicFileWriter(const std::filesystem::path& fileName, TTemporaryFileKind kind)
    : fileName_(fileName) {
    const std::filesystem::path target = ResolveTarget(fileName);
    targetName_ = target.filename().string();
    const std::filesystem::path folder =
        target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
    folder_ = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    try {
        if (folder_ < 0) {
            Fail(LastSystemError());
        }
        if (targetName_.empty()) {
            Fail(std::make_error_code(std::errc::is_a_directory));
        }
        struct stat existing {};
        const bool targetExists =
            ::fstatat(folder_, targetName_.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
        if (targetExists) {
            if (const std::optional<std::error_code> cause =
                    WhyNotReplaceable(folder_, targetName_, existing)) {
                Fail(*cause);
            }
        }
        CreateTemporaryFile(kind);
        if (targetExists && !TakeOverAttributes(descriptor_, existing)) {
            Fail(LastSystemError());
        }
    } catch (...) {
        // No destructor runs for a writer that was never made.
        if (folder_ >= 0) {
            ::close(folder_);
        }
        throw;
    }
}

TAtomicFileWriter::~TAtomicFileWriter() {
    RemoveTemporaryFile();
    if (folder_ >= 0) {
        ::close(folder_);
    }
}

void TAtomicFileWriter::CreateTemporaryFile(TTemporaryFileKind kind) {
    if (kind == TTemporaryFileKind::UnnamedWhereOffered && ::access("/proc/self/fd", X_OK) == 0) {
        descriptor_ = ::openat(folder_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (descriptor_ >= 0) {
            // Held from here on, so that no other save takes the file for abandoned once it
            // has a name.
            static_cast<void>(::flock(descriptor_, LOCK_EX));
            return;
        }
    }
    constexpr int Attempts = 100;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        std::string name = RandomTemporaryName();
        const int descriptor = ::openat(folder_, name.c_str(),
                                        O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (descriptor < 0 && errno == EEXIST) {
            continue;
        }
        if (descriptor < 0) {
            Fail(LastSystemError());
        }
        // Another save may have found the file unlocked in the moment after its creation and
        // removed it: then the name no longer names it.
        if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0 && NamesFile(folder_, name, descriptor)) {
            descriptor_ = descriptor;
            temporaryName_ = std::move(name);
            return;
        }
        ::close(descriptor);
    }
    Fail(std::make_error_code(std::errc::file_exists));
}

void TAtomicFileWriter::NameTemporaryFile() {
    if (!temporaryName_.empty()) {
        return;
    }
    const std::string descriptorPath = "/proc/self/fd/" + std::to_string(descriptor_);
    constexpr int Attempts = 100;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        std::string name = RandomTemporaryName();
        if (::linkat(AT_FDCWD, descriptorPath.c_str(), folder_, name.c_str(), AT_SYMLINK_FOLLOW) ==
            0) {
            temporaryName_ = std::move(name);
            return;
        }
        if (errno != EEXIST) {
            Fail(LastSystemError());
        }
    }
    Fail(std::make_error_code(std::errc::file_exists));
}

void TAtomicFileWriter::Write(std::string_view bytes) {
    if (descriptor_ < 0) {
        Fail({});
    }
    if (!WriteAll(descriptor_, bytes)) {
        Fail(LastSystemError());
    }
#ifdef SYNC_FILE_RANGE_WRITE
    // The disk starts on what is written while the rest is made, so that Commit's flush waits
    // for less. Only advice: Commit flushes the whole file whatever this did.
    ::sync_file_range(descriptor_, static_cast<off_t>(written_), static_cast<off_t>(bytes.size()),
                      SYNC_FILE_RANGE_WRITE);
#endif
    written_ += bytes.size();
}

void TAtomicFileWriter::Commit() {
    if (descriptor_ < 0) {
        Fail({});
    }
    if (::fsync(descriptor_) != 0) {
        Fail(LastSystemError());
    }
    NameTemporaryFile();
    if (::renameat(folder_, temporaryName_.c_str(), folder_, targetName_.c_str()) != 0) {
        Fail(LastSystemError());
    }
    temporaryName_.clear();
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (::close(descriptor) != 0) {
        throw EFileCreateError(fileName_.string(), LastSystemError());
    }
    SyncFolder(folder_);
    RemoveAbandonedTemporaryFiles(folder_);
}

void TAtomicFileWriter::RemoveTemporaryFile() {
    if (descriptor_ < 0) {
        return;
    }
    if (!temporaryName_.empty()) {
        ::unlinkat(folder_, temporaryName_.c_str(), 0);
        temporaryName_.clear();
    }
    ::close(descriptor_);
    descriptor_ = -1;
}

void TAtomicFileWriter::Fail(std::error_code cause) {
    RemoveTemporaryFile();
    throw EFileCreateError(fileName_.string(), cause);
}

bool FolderWritable(const std::filesystem::path& folder) {
    return FolderExists(folder) && ::access(folder.c_str(), W_OK) == 0;
}

std::filesystem::path ExecutablePath() {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : path;
}
