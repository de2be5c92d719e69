#pragma once

#include <filesystem>
#include <string>
#include <string_view>

/// The whole content of a file. Throws EFileOpenError when it cannot be opened or read.
std::string ReadFileBytes(const std::filesystem::path& fileName);

/// Replaces the file's content by `bytes`: written to a temporary file in the same folder,
/// flushed to disk and renamed over the target, so that a failed save leaves an existing
/// file as it was. Throws EFileCreateError and leaves no temporary file behind.
void WriteFileBytesAtomic(const std::filesystem::path& fileName, std::string_view bytes);

bool FileExists(const std::filesystem::path& fileName);
bool FolderExists(const std::filesystem::path& folder);

/// The full path of the running executable.
std::filesystem::path ExecutablePath();
