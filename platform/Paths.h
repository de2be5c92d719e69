#pragma once

#include <string>
#include <string_view>

/// Path splitting on native path texts, whose separator is '/' here.
inline constexpr char PathDelimiter = '/';

/// The folder part without its trailing separator; the root keeps it ("/quiz.csv" gives "/").
std::string ExtractFileDir(std::string_view fileName);
/// The part after the last separator.
std::string ExtractFileName(std::string_view fileName);
/// The name with its extension (from the last '.' of the file name part) replaced by
/// `extension`, which includes its dot.
std::string ChangeFileExt(std::string_view fileName, std::string_view extension);
/// The drive at the start of the path; POSIX paths have none, so it is empty.
std::string ExtractFileDrive(std::string_view fileName);
