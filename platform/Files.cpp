#include "Files.h"

#include "Errors.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

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

/// Where a save really goes: through a symbolic link to the file it names.
std::filesystem::path ResolveTarget(const std::filesystem::path& fileName) {
    std::error_code error;
    if (std::filesystem::is_symlink(fileName, error)) {
        auto target = std::filesystem::weakly_canonical(fileName, error);
        if (!error) {
            return target;
        }
    }
    return fileName;
}

/// Creates a new file of a name not yet taken in `folder`; the kernel applies the umask to
/// its mode, as to any new file. Returns the descriptor, or -1.
int CreateTemporaryFile(const std::filesystem::path& folder, std::string& name) {
    constexpr int Attempts = 100;
    std::random_device random;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, "%08x%08x", random(), random());
        name = (folder / (std::string(".pelloran-save-") + suffix)).string();
        const int descriptor =
            ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (descriptor >= 0 || errno != EEXIST) {
            return descriptor;
        }
    }
    return -1;
}

/// An existing target must be a regular file the user may write: a save never replaces a
/// device or a pipe, nor a file made read-only to protect it.
bool MayReplace(const std::filesystem::path& target, const struct stat& existing) {
    return S_ISREG(existing.st_mode) && ::access(target.c_str(), W_OK) == 0;
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

void SyncFolder(const std::filesystem::path& folder) {
    TFileHandle handle(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (handle.IsOpen()) {
        // The file is in place already; a folder that cannot be flushed is no failed save.
        static_cast<void>(::fsync(handle.Get()));
    }
}

} // namespace

std::string ReadFileBytes(const std::filesystem::path& fileName) {
    // Only a regular file has an end (a device such as /dev/zero would fill the memory), and
    // opening anything else may have effects of its own: it is refused before it is opened.
    struct stat status {};
    if (::stat(fileName.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        throw EFileOpenError(fileName.string());
    }
    TFileHandle handle(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!handle.IsOpen() || ::fstat(handle.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        throw EFileOpenError(fileName.string());
    }
    std::string bytes;
    // One byte more than the size, so that the read that finds the end needs no growth.
    bytes.reserve(static_cast<std::size_t>(status.st_size) + 1);
    constexpr std::size_t ChunkSize = 1 << 20;
    for (;;) {
        const std::size_t used = bytes.size();
        const std::size_t spare = bytes.capacity() - used;
        const std::size_t want = spare > 0 ? spare : ChunkSize;
        bytes.resize(used + want);
        const ssize_t got = ::read(handle.Get(), bytes.data() + used, want);
        if (got < 0 && errno == EINTR) {
            bytes.resize(used);
            continue;
        }
        if (got < 0) {
            throw EFileOpenError(fileName.string());
        }
        bytes.resize(used + static_cast<std::size_t>(got));
        if (got == 0) {
            return bytes;
        }
    }
}

TAtomicFileWriter::TAtomicFileWriter(const std::filesystem::path& fileName)
    : fileName_(fileName), target_(ResolveTarget(fileName)) {
    std::filesystem::path folder = target_.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    struct stat existing {};
    const bool targetExists = ::stat(target_.c_str(), &existing) == 0;
    if (targetExists && !MayReplace(target_, existing)) {
        throw EFileCreateError(fileName_.string());
    }
    // Not named after the target, whose name may already be as long as a name can be.
    descriptor_ = CreateTemporaryFile(folder, temporaryName_);
    if (descriptor_ < 0) {
        throw EFileCreateError(fileName_.string());
    }
    if (targetExists && !TakeOverAttributes(descriptor_, existing)) {
        Fail();
    }
}

TAtomicFileWriter::~TAtomicFileWriter() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
        ::unlink(temporaryName_.c_str());
    }
}

void TAtomicFileWriter::Write(std::string_view bytes) {
    if (descriptor_ < 0 || !WriteAll(descriptor_, bytes)) {
        Fail();
    }
}

void TAtomicFileWriter::Commit() {
    if (descriptor_ < 0 || ::fsync(descriptor_) != 0) {
        Fail();
    }
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (::close(descriptor) != 0 || ::rename(temporaryName_.c_str(), target_.c_str()) != 0) {
        ::unlink(temporaryName_.c_str());
        throw EFileCreateError(fileName_.string());
    }
    SyncFolder(target_.parent_path().empty() ? "." : target_.parent_path());
}

void TAtomicFileWriter::Fail() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
        descriptor_ = -1;
        ::unlink(temporaryName_.c_str());
    }
    throw EFileCreateError(fileName_.string());
}

void WriteFileBytesAtomic(const std::filesystem::path& fileName, std::string_view bytes) {
    TAtomicFileWriter writer(fileName);
    writer.Write(bytes);
    writer.Commit();
}

bool FileExists(const std::filesystem::path& fileName) {
    std::error_code error;
    return std::filesystem::is_regular_file(fileName, error);
}

bool FolderExists(const std::filesystem::path& folder) {
    std::error_code error;
    return std::filesystem::is_directory(folder, error);
}

bool FolderWritable(const std::filesystem::path& folder) {
    return FolderExists(folder) && ::access(folder.c_str(), W_OK) == 0;
}

std::filesystem::path ExecutablePath() {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : path;
}
