#include "platform/Files.h"

#include "platform/Errors.h"
#include "platform/Paths.h"
#include "platform/windows/WindowsText.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <system_error>
#include <vector>

namespace {

HANDLE ToHandle(TSystemFile file) {
    return reinterpret_cast<HANDLE>(file);
}

TSystemFile FromHandle(HANDLE handle) {
    return reinterpret_cast<TSystemFile>(handle);
}

/// ReadFile and WriteFile move less than 4 GB per call.
constexpr std::size_t MaxTransfer = std::size_t{1} << 30;

std::filesystem::path FolderOf(const std::filesystem::path& fileName) {
    return fileName.parent_path().empty() ? std::filesystem::path(L".") : fileName.parent_path();
}

/// A file on a disk, not a folder, a console, a pipe or a device such as NUL.
bool IsDiskFile(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION information{};
    return ::GetFileType(handle) == FILE_TYPE_DISK &&
           ::GetFileInformationByHandle(handle, &information) != 0 &&
           (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

/// Whether an existing name is a file on a disk; asked without reading or writing it.
bool NamesDiskFile(const std::filesystem::path& fileName) {
    const HANDLE handle =
        ::CreateFileW(fileName.c_str(), FILE_READ_ATTRIBUTES,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool diskFile = IsDiskFile(handle);
    ::CloseHandle(handle);
    return diskFile;
}

bool WriteAll(HANDLE handle, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const auto count = static_cast<DWORD>(std::min(bytes.size(), MaxTransfer));
        if (::WriteFile(handle, bytes.data(), count, &written, nullptr) == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

/// Removes the temporary files of writers that died during a save. A living writer holds its
/// file open for writing, so only an abandoned one can be opened unshared to be deleted.
void RemoveAbandonedTemporaryFiles(const std::filesystem::path& folder) {
    const std::filesystem::path pattern =
        folder / PathFromText(std::string(TAtomicFileWriter::TemporaryPrefix) + "*");
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    std::vector<std::wstring> candidates;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            candidates.emplace_back(found.cFileName);
        }
    } while (::FindNextFileW(search, &found) != 0);
    ::FindClose(search);
    for (const std::wstring& name : candidates) {
        const HANDLE file =
            ::CreateFileW((folder / name).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                          FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            ::CloseHandle(file);
        }
    }
}

} // namespace

TFileReader::TFileReader(const std::filesystem::path& fileName) : fileName_(fileName) {
    // Only a file on a disk has an end, and opening a device may have effects of its own: a
    // folder is refused before anything is opened, a device before anything is read.
    const DWORD attributes = ::GetFileAttributesW(fileName.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        throw EFileOpenError(PathText(fileName), LastWindowsError());
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        throw EFileOpenError(PathText(fileName));
    }
    const HANDLE handle = ::CreateFileW(
        fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        throw EFileOpenError(PathText(fileName), LastWindowsError());
    }
    LARGE_INTEGER size{};
    if (!IsDiskFile(handle) || ::GetFileSizeEx(handle, &size) == 0 || size.QuadPart < 0) {
        ::CloseHandle(handle);
        throw EFileOpenError(PathText(fileName));
    }
    descriptor_ = FromHandle(handle);
    // The size at opening is the end: a file that grows meanwhile is not followed.
    size_ = static_cast<std::size_t>(size.QuadPart);
    left_ = size_;
}

TFileReader::~TFileReader() {
    ::CloseHandle(ToHandle(descriptor_));
}

std::size_t TFileReader::ReadInto(std::string& bytes, std::size_t count) {
    const std::size_t start = bytes.size();
    bytes.resize(start + std::min(count, left_));
    std::size_t used = start;
    while (used < bytes.size()) {
        DWORD got = 0;
        const auto wanted = static_cast<DWORD>(std::min(bytes.size() - used, MaxTransfer));
        if (::ReadFile(ToHandle(descriptor_), bytes.data() + used, wanted, &got, nullptr) == 0) {
            const std::error_code cause = LastWindowsError();
            bytes.resize(start);
            throw EFileOpenError(PathText(fileName_), cause);
        }
        if (got == 0) {
            // Shorter than at opening: the end has come.
            left_ = 0;
            break;
        }
        used += got;
        left_ -= got;
    }
    bytes.resize(used);
    return used - start;
}

TAtomicFileWriter::TAtomicFileWriter(const std::filesystem::path& fileName,
                                     TTemporaryFileKind /*kind*/)
    : fileName_(fileName) {
    targetName_ = PathText(fileName.filename());
    if (targetName_.empty()) {
        Fail(std::make_error_code(std::errc::is_a_directory));
    }
    const DWORD attributes = ::GetFileAttributesW(fileName.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        // A save never replaces a folder or a device, nor a file made read-only to protect it.
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !NamesDiskFile(fileName)) {
            Fail({});
        }
        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            Fail(std::make_error_code(std::errc::permission_denied));
        }
    }
    CreateTemporaryFile(TTemporaryFileKind::Named);
}

TAtomicFileWriter::~TAtomicFileWriter() {
    RemoveTemporaryFile();
}

void TAtomicFileWriter::CreateTemporaryFile(TTemporaryFileKind /*kind*/) {
    constexpr int Attempts = 100;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        std::string name = RandomTemporaryName();
        // Held for writing without sharing it, which marks the file as a living save's.
        const HANDLE handle =
            ::CreateFileW((FolderOf(fileName_) / PathFromText(name)).c_str(),
                          GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_EXISTS) {
            continue;
        }
        if (handle == INVALID_HANDLE_VALUE) {
            Fail(LastWindowsError());
        }
        descriptor_ = FromHandle(handle);
        temporaryName_ = std::move(name);
        return;
    }
    Fail(std::make_error_code(std::errc::file_exists));
}

void TAtomicFileWriter::Write(std::string_view bytes) {
    if (descriptor_ == NoSystemFile) {
        Fail({});
    }
    if (!WriteAll(ToHandle(descriptor_), bytes)) {
        Fail(LastWindowsError());
    }
    written_ += bytes.size();
}

void TAtomicFileWriter::Commit() {
    if (descriptor_ == NoSystemFile) {
        Fail({});
    }
    if (::FlushFileBuffers(ToHandle(descriptor_)) == 0) {
        Fail(LastWindowsError());
    }
    // ReplaceFileW opens the new file itself. In the moment between, another save's clean-up
    // could take the closed file for abandoned; the replacement then fails and the old file
    // stays as it was.
    const HANDLE handle = ToHandle(descriptor_);
    descriptor_ = NoSystemFile;
    if (::CloseHandle(handle) == 0) {
        Fail(LastWindowsError());
    }
    const std::filesystem::path folder = FolderOf(fileName_);
    const std::filesystem::path temporary = folder / PathFromText(temporaryName_);
    // ReplaceFileW keeps the replaced file's attributes and security; a new file is moved in.
    // It is given the target's full name: Wine's finds no folder in a bare file name.
    std::error_code unresolved;
    std::filesystem::path target = std::filesystem::absolute(fileName_, unresolved);
    if (unresolved) {
        target = fileName_;
    }
    const bool replaced =
        ::GetFileAttributesW(fileName_.c_str()) != INVALID_FILE_ATTRIBUTES
            ? ::ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                             REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS,
                             nullptr, nullptr) != 0
            : ::MoveFileExW(temporary.c_str(), fileName_.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!replaced) {
        Fail(LastWindowsError());
    }
    temporaryName_.clear();
    RemoveAbandonedTemporaryFiles(folder);
}

void TAtomicFileWriter::RemoveTemporaryFile() {
    if (descriptor_ != NoSystemFile) {
        ::CloseHandle(ToHandle(descriptor_));
        descriptor_ = NoSystemFile;
    }
    if (!temporaryName_.empty()) {
        ::DeleteFileW((FolderOf(fileName_) / PathFromText(temporaryName_)).c_str());
        temporaryName_.clear();
    }
}

void TAtomicFileWriter::Fail(std::error_code cause) {
    RemoveTemporaryFile();
    throw EFileCreateError(PathText(fileName_), cause);
}

bool FolderWritable(const std::filesystem::path& folder) {
    // The access rights of a folder are more than its read-only flag: only creating a file
    // tells, as a system-wide install under Program Files shows.
    if (!FolderExists(folder)) {
        return false;
    }
    const HANDLE probe = ::CreateFileW(
        (folder / PathFromText(std::string(TAtomicFileWriter::TemporaryPrefix) + "probe")).c_str(),
        GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
        nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        return ::GetLastError() == ERROR_FILE_EXISTS;
    }
    ::CloseHandle(probe);
    return true;
}

std::filesystem::path ExecutablePath() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) {
            return {};
        }
        if (length < name.size()) {
            name.resize(length);
            return name;
        }
        name.resize(name.size() * 2);
    }
}
