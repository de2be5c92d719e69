#pragma once

#include "Errors.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

/// How the bytes of a text file are read.
enum class TTextEncoding {
    /// Bytes of the code page, taken as they are.
    CodePage,
    /// UTF-8 with or without its byte-order mark.
    Utf8,
    Utf16LittleEndian,
    Utf16BigEndian,
};

/// A UTF-16 file that cannot be decoded: an odd number of bytes, or a surrogate without its
/// other half.
class ETextEncodingError : public EPelloranError {
public:
    ETextEncodingError(std::string_view fileName, std::string_view cause);
};

/// Text in the code page and how many of its characters the code page could not hold and were
/// written as "?".
struct TCodePageText {
    std::string text;
    std::size_t replacedCount = 0;
};

/// Whether every byte of `bytes` belongs to a well-formed UTF-8 character.
bool IsValidUtf8(std::string_view bytes);

/// UTF-16 after either byte-order mark; UTF-8 after its byte-order mark when the rest is valid
/// UTF-8, or without a mark when the whole text is valid UTF-8 holding at least one multi-byte
/// character; the code page otherwise. Shift-JIS text is almost never valid UTF-8, while UTF-8
/// Japanese often reads as valid Shift-JIS, so only the UTF-8 test can tell them apart.
TTextEncoding DetectTextEncoding(std::string_view bytes);

/// The text of a file's bytes in the code page, its byte-order mark dropped; code-page bytes
/// are passed through untouched. `fileName` names the file in the ETextEncodingError raised
/// for UTF-16 that cannot be decoded.
TCodePageText ConvertToCodePage(std::string bytes, std::string_view fileName);

/// What ConvertToCodePage does with a text, as far as its first bytes tell.
enum class TTextStart {
    /// It passes the whole text through untouched, so the text may be read piece by piece.
    CodePageAsItIs,
    /// It may convert the text, which it must then be given whole.
    MayNeedConverting,
    /// More bytes are needed to tell.
    Undecided,
};

/// Judges a text by its first bytes, `complete` when they are all of it.
TTextStart JudgeTextStart(std::string_view head, bool complete);

/// Reads a whole file (EFileOpenError when it cannot) and converts it as ConvertToCodePage.
TCodePageText ReadCodePageText(const std::filesystem::path& fileName);

/// Tells the user that characters of a file were replaced by "?"; UTF-8.
std::string ReplacedCharactersNotice(std::string_view fileName, std::size_t replacedCount);
