#pragma once

#include "platform/TextEncoding.h"
#include "table/store/AnswerTable.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

/// Columns 1 to the written width are saved: the first column from 3 on whose answer-key
/// cell is empty.
int WrittenWidth(const TAnswerTable& table);

/// The table as an answer file: rows 1, 2 and the student rows up to the first empty number
/// cell, each line ending in CR LF. A cell that would not read back as itself (one holding
/// a comma, a blank or another control byte, or opening with a double quote) is quoted.
std::string GetTableText(const TAnswerTable& table);

/// The same text in pieces of about a megabyte, so that a large table is written without
/// its whole text in memory.
void WriteTableText(const TAnswerTable& table,
                    const std::function<void(std::string_view piece)>& write);

/// Saves the table text into the file, replacing it whole or not at all; a failure to create
/// or write it raises EFileCreateError with the file name.
void SaveTableFile(const TAnswerTable& table, const std::filesystem::path& fileName);

/// What the user is told of a file that loaded: what of its text did not reach the table as
/// it was.
struct TLoadNotices {
    /// Characters the code page could not hold, written as "?".
    std::size_t replacedCount = 0;
    /// The line, counted from 1, where a NUL byte ended the text, nothing from it on loaded; 0
    /// when no NUL did.
    int nulLine = 0;
};

/// What loading an answer file, or its text, gives back besides the cells.
struct TLoadedFile {
    /// The loaded text: the lines, each followed by CR LF; empty when dropped.
    std::string text;
    TLoadNotices notices;
    /// The text held a student line and replaced the whole table; one of the key and points
    /// lines only was written over the table as it was.
    bool replacedClass = false;
};

/// Writes the lines and fields of an answer file's text, in the code page, into the table and
/// returns the loaded text (the lines, each followed by CR LF), the line where a NUL byte ended
/// it and whether it replaced the class. A line is a record (see ForEachRecord): the line
/// breaks inside its quoted fields belong to their cells and stay in the loaded text as they
/// are. A text with a student line (a line from the third on) is a
/// class of its own: it replaces every cell of the table, as a reset followed by its lines
/// would, and only once all of it has loaded; a text of the key and points lines only is
/// written over the table as it is. A first line's cell after column 3 holding the result
/// marker (see IsResultMarker) marks a marked table and sets the question count.
TLoadedFile LoadAnswerText(TAnswerTable& table, std::string text);

/// Whether LoadAnswerFile gives the loaded text back.
enum class TLoadedText {
    Kept,
    /// Dropped as it is loaded: a large file takes far less memory and time.
    Dropped,
};

/// Bytes that an answer file is read at a time when its loaded text is dropped, and written at
/// a time when it is saved.
inline constexpr std::size_t AnswerFilePieceSize = std::size_t{1} << 20;

/// Loads an answer file into the table as LoadAnswerText loads its text. A UTF-8 or UTF-16 file
/// is converted to the code page first (see ConvertToCodePage). The file is read to its end
/// before the table is touched: a file that cannot be read changes no cell. Returns the loaded
/// text (empty when dropped), how many characters the code page could not hold, the line
/// where a NUL byte ended the text and whether it replaced the class. Mark and Sort by number
/// are enabled whether or not the file could be read; a failure is raised after that. A file
/// whose text is dropped is read `pieceSize` bytes at a time, which tests make small so that
/// records cross many pieces' ends.
TLoadedFile LoadAnswerFile(TAnswerTable& table, const std::filesystem::path& fileName,
                           TLoadedText loadedText = TLoadedText::Kept,
                           std::size_t pieceSize = AnswerFilePieceSize);
