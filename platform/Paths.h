#pragma once

#include <filesystem>
#include <string>
#include <string_view>

/// Path texts are UTF-8 on every system: the bytes of the name on Linux, its UTF-16 converted
/// losslessly on Windows. Splitting works on them with the native separator.
#ifdef _WIN32
inline constexpr char PathDelimiter = '\\';
#else
inline constexpr char PathDelimiter = '/';
#endif

/// The path's text, for messages, settings and splitting.
std::string PathText(const std::filesystem::path& path);
/// The path a text names. On Windows a text that is no UTF-8 is read as code page 932, as
/// settings written by code-page programs hold names.
std::filesystem::path PathFromText(std::string_view text);

/// Index one past the last separator, where the file name begins; 0 when there is none.
std::size_t FileNameStart(std::string_view fileName);
/// The folder part without its trailing separator; the root keeps it ("/quiz.csv" gives "/",
/// "C:\quiz.csv" gives "C:\"). On Windows ':' ends the folder too.
std::string ExtractFileDir(std::string_view fileName);
/// The part after the last separator.
std::string ExtractFileName(std::string_view fileName);
/// The name with its extension (from the last '.' of the file name part) replaced by
/// `extension`, which includes its dot.
std::string ChangeFileExt(std::string_view fileName, std::string_view extension);
/// The drive at the start of the path: "C:" or "\\server\share" on Windows; POSIX paths have
/// none, so it is empty there.
std::string ExtractFileDrive(std::string_view fileName);
