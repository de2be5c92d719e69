#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

/// An INI file read with the rules of the Windows profile functions: names match without
/// regard to case, the first matching section and key win, values are trimmed and lose one
/// pair of enclosing quotes. A missing or unreadable file reads as empty.
class TProfileFile {
public:
    /// Values are cut to this many bytes, as by a 2048-byte buffer.
    static constexpr std::size_t MaxValueLength = 2047;

    explicit TProfileFile(const std::filesystem::path& fileName);
    /// A profile held in memory, for reading bytes that are already there.
    static TProfileFile FromBytes(std::string bytes);

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;

private:
    TProfileFile() = default;

    std::vector<std::string> lines_;
};
