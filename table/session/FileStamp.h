#pragma once

#include "platform/Errors.h"

#include <cstdint>
#include <filesystem>
#include <string_view>

/// What a file was like when the program last read or wrote it: a later look tells whether
/// another program (or another window) has changed it since.
struct TFileStamp {
    bool known = false;
    std::uintmax_t size = 0;
    std::filesystem::file_time_type writeTime{};
    std::uint64_t contentHash = 0;

    friend bool operator==(const TFileStamp&, const TFileStamp&) = default;
};

/// A file was not overwritten: another program changed it after it was opened or saved here,
/// and nobody could be asked whether to overwrite it.
class EFileChangedError : public EPelloranError {
public:
    explicit EFileChangedError(std::string_view fileName);
};

/// The file as it stands now; not known when it cannot be read.
TFileStamp ReadFileStamp(const std::filesystem::path& fileName);
