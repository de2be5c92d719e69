#pragma once

#include "platform/Errors.h"
#include "table/store/AnswerTable.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

/// Why a roster paste stopped.
enum class TRosterFault {
    /// A line without a field: empty, or blanks only.
    EmptyLine,
    /// A line with a number only.
    NoName,
    /// The clipboard's text could not be read.
    Unreadable,
};

/// The roster paste stopped, having written nothing: at a line it could not use, or before any
/// line, as its text could not be read. A line is a record of the text: a name holding a
/// line break inside its quotes is one line, as it is one row of the spreadsheet it was copied
/// from. The message says where and why, in the table's failure texts (the language file's,
/// else the built-in Japanese ones): "3 行目: 氏名がありません".
class ERosterPasteError : public EPelloranError {
public:
    /// `lineNumber` counts from 1; 0 for a text that could not be read, whose failure's text
    /// `cause` follows the message.
    ERosterPasteError(const TAnswerTable& table, TRosterFault fault, int lineNumber,
                      const std::optional<TUserText>& cause = std::nullopt);

    TRosterFault Fault() const { return fault_; }
    /// Counted from 1; 0 when the text could not be read.
    int LineNumber() const { return lineNumber_; }

private:
    TRosterFault fault_;
    int lineNumber_;
};

/// Writes field 0 of each record of `text` (see ForEachRecord) into the number column and
/// field 1 into the name column, from row 3 down. A record with fewer than two fields stops the
/// paste with ERosterPasteError before any cell is written. Mark and Sort by number are
/// enabled in every case. Returns the line where a NUL byte ended the text, nothing from it on
/// pasted; 0 when none did.
int PasteRoster(TAnswerTable& table, std::string_view text);

/// The number of lines a paste of `text` would write; ERosterPasteError as the paste would
/// stop.
int CheckRosterText(const TAnswerTable& table, std::string_view text);

/// Whether a student row (row 3 and the rows up to the first empty number cell) holds an
/// answer or a score: a roster pasted over it would put other names over those answers.
bool HoldsStudentAnswers(const TAnswerTable& table);

/// Pastes the text that `readText` gives (a file's, standing for the clipboard). When it
/// cannot be read, Mark and Sort by number are enabled all the same and its failure is raised.
int PasteRosterFrom(TAnswerTable& table, const std::function<std::string()>& readText);

/// PasteRosterFrom for the clipboard: any failure to read it is raised as ERosterPasteError
/// (TRosterFault::Unreadable).
int PasteRosterFromClipboard(TAnswerTable& table,
                             const std::function<std::string()>& readClipboard);
