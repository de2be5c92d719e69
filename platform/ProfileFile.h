#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

/// An INI file read and written with the rules of the Windows profile functions: names match
/// without regard to case, the first matching section and key win, values are trimmed and lose
/// one pair of enclosing quotes. A missing or unreadable file reads as empty.
///
/// The profile is the file's bytes as they are: an edit changes only the line it writes,
/// inserts or removes, so every other byte (line breaks of any kind, NUL bytes, broken
/// Shift-JIS) is written back unchanged. Every call is one pass over the text.
class TProfileFile {
public:
    /// Values are cut to this many bytes, as by a 2048-byte buffer.
    static constexpr std::size_t MaxValueLength = 2047;

    explicit TProfileFile(const std::filesystem::path& fileName);
    /// A profile held in memory, for reading bytes that are already there. It has no file:
    /// UpdateFile on it is a logic error.
    static TProfileFile FromBytes(std::string bytes);

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;

    /// Writes or replaces `key` in `section` (created when missing), in memory. Section and key
    /// are trimmed of spaces; the value is written verbatim. An existing key keeps the file's
    /// spelling of its name and only its value changes; a new key follows the section's last
    /// key line; a new section goes at the end. New lines end in CR LF.
    /// Throws std::invalid_argument for what would break the file's lines or could never be
    /// found again: a section, key or value holding CR, LF or NUL; a section holding a ']' of
    /// its own or ending in the first byte of a double-byte character; a key holding '=' or
    /// beginning with '['; a section or key beginning or ending with a tab or vertical tab.
    /// Callers check their texts before writing (CanWriteValue, ValueReadingBack).
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    /// Whether WriteString takes `value`: it holds no CR, LF or NUL.
    static bool CanWriteValue(std::string_view value);
    /// The value to write so that ReadString gives `text` back as it is: in quotes when reading
    /// would trim its blanks or drop its quotes. Nothing when no value can: `text` cannot be
    /// written, or the value would be longer than MaxValueLength, which no reading cuts.
    static std::optional<std::string> ValueReadingBack(std::string_view text);
    /// Removes the section's header and key lines (its comment lines stay), in memory.
    void EraseSection(std::string_view section);
    /// Replaces the file by the edited text atomically (through TAtomicFileWriter), when
    /// anything was written or erased since it was read. Throws EIniFileError, leaving the old
    /// file as it was, when the file cannot be written (read-only file, missing folder, a
    /// folder of that name) or when it exists but could not be read, so that a write never
    /// drops the sections it holds. Throws std::logic_error on a profile made by FromBytes.
    void UpdateFile();
    /// The file's text as it stands, edits included.
    std::string Bytes() const;

private:
    TProfileFile() = default;

    std::string bytes_;
    std::filesystem::path fileName_;
    bool hasFile_ = false;
    bool unreadable_ = false;
    bool changed_ = false;
};
