#pragma once

#include "AnswerTable.h"
#include "platform/Errors.h"

#include <functional>
#include <string>
#include <string_view>

/// A roster line without both a number and a name; the lines before it were pasted. A line is
/// a record of the text: a name holding a line break inside its quotes is one line, as it is
/// one row of the spreadsheet it was copied from.
class ERosterLineError : public EPelloranError {
public:
    explicit ERosterLineError(int lineNumber);
    /// Counted from 1.
    int LineNumber() const { return lineNumber_; }

private:
    int lineNumber_;
};

/// Writes field 0 of each record of `text` (see ForEachRecord) into the number column and
/// field 1 into the name column, from row 3 down. A record with fewer than two fields stops the
/// paste with ERosterLineError, its number (if any) written. Mark and Sort by number are enabled in
/// every case.
void PasteRoster(TAnswerTable& table, std::string_view text);

/// Pastes the text that `readText` gives (the clipboard's or a file's). When it cannot be
/// read, Mark and Sort by number are enabled all the same and its failure is raised.
void PasteRosterFrom(TAnswerTable& table, const std::function<std::string()>& readText);
