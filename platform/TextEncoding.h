#pragma once

#include "platform/Errors.h"

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
    /// With or without its byte-order mark.
    Utf16LittleEndian,
    Utf16BigEndian,
    /// NUL bytes near the start that fit no encoding: nothing that can be read as text.
    Unknown,
};

/// A file whose text cannot be read: UTF-16 that cannot be decoded (an odd number of bytes, a
/// surrogate without its other half), or a text of unknown encoding.
class ETextEncodingError : public EPelloranError {
public:
    /// UTF-16 that cannot be decoded, for `cause`.
    ETextEncodingError(std::string_view fileName, const TUserText& cause);

protected:
    explicit ETextEncodingError(const TUserText& text);
};

/// A text with NUL bytes near its start that is no UTF-16: a file of another kind (a
/// spreadsheet's own format, UTF-32), which loading would turn into an empty table.
class EUnknownTextEncodingError : public ETextEncodingError {
public:
    /// `nulOffset` counts from 0.
    EUnknownTextEncodingError(std::string_view fileName, std::size_t nulOffset);
};

/// Text in the code page and how many of its characters the code page could not hold and were
/// written as "?".
struct TCodePageText {
    std::string text;
    std::size_t replacedCount = 0;
    /// The encoding the bytes were read in.
    TTextEncoding encoding = TTextEncoding::CodePage;
};

/// The text of a file's bytes in the code page, its byte-order mark dropped, and the encoding
/// it was read in; code-page bytes are passed through untouched. `fileName` names the file in
/// the ETextEncodingError raised for UTF-16 that cannot be decoded and for a text of Unknown
/// encoding. The encoding is found so:
///
/// UTF-16 after either byte-order mark (not after UTF-32's FF FE 00 00). Then the NUL bytes among
/// the first 4 KiB, if any: UTF-16 without a mark when they fall in the code units of that byte
/// order (see below); nothing when they are one NUL or one run of NULs after the first line, which
/// merely end the text as a NUL ends any text; Unknown otherwise. Then UTF-8 after its byte-order
/// mark when the rest is valid UTF-8, or without a mark when the whole text is valid UTF-8 holding
/// at least one multi-byte character; the code page otherwise. Shift-JIS text is almost never valid
/// UTF-8, while UTF-8 Japanese often reads as valid Shift-JIS, so only the UTF-8 test can tell them
/// apart.
///
/// UTF-16 without a mark: among the code units of the first 4 KiB, none is U+0000; the units
/// whose high byte is zero (ASCII: digits, separators, line breaks) are at least three, at least
/// one in eight, and outnumber those whose low byte is zero (U+3000, U+4E00, ...); a line break,
/// TAB, comma or blank is among them; and at most one unit in eight lies outside the scripts and
/// symbols a class's text is written in. Code-page text has no zero byte but a NUL, and a few
/// NULs that fall at one place by chance do not make it look so.
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

namespace TextEncodingDetail {

/// The encoding ConvertToCodePage finds, by its rule written plainly, step by step. The
/// conversion makes the UTF-8 test while converting, which is faster; tests hold the two equal.
TTextEncoding FindTextEncoding(std::string_view bytes);

} // namespace TextEncodingDetail

/// Reads a whole file (EFileOpenError when it cannot) and converts it as ConvertToCodePage.
TCodePageText ReadCodePageText(const std::filesystem::path& fileName);

/// Tells the user that characters of a file were replaced by "?".
TUserText ReplacedCharactersNotice(std::string_view fileName, std::size_t replacedCount);
/// The same for text pasted from the clipboard.
TUserText ReplacedClipboardCharactersNotice(std::size_t replacedCount);
