#include "TestFiles.h"

#include "platform/Files.h"
#include "platform/Paths.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>

#include <random>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
/// Windows has no mkdtemp: a random name, taken only when no folder of that name was there.
std::filesystem::path CreateUniqueFolder() {
    std::random_device seed;
    std::mt19937_64 random(seed());
    constexpr int Attempts = 100;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        const std::filesystem::path candidate =
            std::filesystem::temp_directory_path() / ("pelloran-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate)) {
            return candidate;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}
#else
std::filesystem::path CreateUniqueFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "pelloran-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    return pattern;
}
#endif

} // namespace

TTemporaryFolder::TTemporaryFolder() : path_(CreateUniqueFolder()) {}

std::filesystem::path TTemporaryFolder::operator/(std::string_view name) const {
    return path_ / PathFromText(name);
}

TTemporaryFolder::~TTemporaryFolder() {
    std::error_code error;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(path_, error);
}

std::vector<std::string> TTemporaryFolder::EntryNamesOf(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(PathText(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

void WriteTestFile(const std::filesystem::path& fileName, std::string_view bytes) {
    std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + PathText(fileName));
    }
}

std::string ReadTestFile(const std::filesystem::path& fileName) {
    std::ifstream file(fileName, std::ios::binary | std::ios::ate);
    std::string bytes(static_cast<std::size_t>(std::max<std::streamoff>(file.tellg(), 0)), '\0');
    file.seekg(0);
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

bool PermissionBitsBind() {
#ifdef _WIN32
    return false;
#else
    return ::geteuid() != 0;
#endif
}

bool ReadOnlyFilesBind() {
#ifdef _WIN32
    return true;
#else
    return ::geteuid() != 0;
#endif
}

std::uint64_t FileIdentity(const std::filesystem::path& fileName) {
#ifdef _WIN32
    const HANDLE file = ::CreateFileW(fileName.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 0;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = ::GetFileInformationByHandle(file, &information) != 0;
    ::CloseHandle(file);
    return known ? std::uint64_t{information.nFileIndexHigh} << 32 | information.nFileIndexLow : 0;
#else
    struct stat status {};
    return ::stat(fileName.c_str(), &status) == 0 ? status.st_ino : 0;
#endif
}

std::vector<std::string> TTemporaryFolder::SaveDebrisIn(const std::filesystem::path& folder) {
    std::vector<std::string> names = EntryNamesOf(folder);
    std::erase_if(names, [](const std::string& name) {
        return !name.starts_with(TAtomicFileWriter::TemporaryPrefix);
    });
    return names;
}
