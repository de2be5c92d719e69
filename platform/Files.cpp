#include "platform/Files.h"

#include "platform/LargeBlock.h"

#include <cstdio>
#include <random>
#include <system_error>

std::string ReadFileBytes(const std::filesystem::path& fileName) {
    TFileReader reader(fileName);
    std::string bytes;
    bytes.reserve(reader.Size());
    AdviseHugePages(bytes.data(), bytes.capacity());
    reader.ReadInto(bytes, reader.Size());
    return bytes;
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

std::string TAtomicFileWriter::RandomTemporaryName() {
    std::random_device random;
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "%08x%08x", random(), random());
    return std::string(TemporaryPrefix) + suffix;
}
