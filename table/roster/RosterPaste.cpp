#include "table/roster/RosterPaste.h"

#include "platform/CodePage.h"
#include "table/file/TextRecords.h"
#include "table/marking/TableWalks.h"
#include "table/progress/Progress.h"
#include "table/store/RowCells.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace {

/// Both cells at once, so that a new row is built in one piece.
void WriteNumberAndName(TAnswerTable& table, int row, std::string_view number,
                        std::string_view name) {
    const std::string_view label = table.Cell(0, row);
    TRowCells cells;
    cells.Reserve(label.size() + number.size() + name.size(), 3);
    cells.Append(label);
    cells.Append(number);
    cells.Append(name);
    table.WriteRowCells(row, std::move(cells));
}

/// The built-in texts, UTF-8, in the order of TRosterFault.
constexpr std::array<std::string_view, 3> BuiltInTexts = {
    "%s 行目: 空の行です",
    "%s 行目: 氏名がありません",
    "クリップボードのテキストを読み取れません",
};

constexpr std::array<TFailureText, 3> LanguageTexts = {
    TFailureText::PasteEmptyLine,
    TFailureText::PasteNoName,
    TFailureText::PasteUnreadable,
};

std::string FailureMessage(const TAnswerTable& table, TRosterFault fault, int lineNumber) {
    const auto index = static_cast<std::size_t>(fault);
    const std::string& given = table.FailureText(LanguageTexts[index]);
    const std::string pattern =
        given.empty() ? std::string(BuiltInTexts[index]) : TCodePage::ToUtf8(given);
    return FormatMessage(pattern, std::to_string(lineNumber));
}

struct TRosterLine {
    std::string number;
    std::string name;
};

struct TRosterLines {
    std::vector<TRosterLine> lines;
    /// The line where a NUL byte ended the text; 0 when none did.
    int nulLine = 0;
};

/// Every line's number and name, read before any is written, so that a line the paste cannot
/// use changes no cell.
TRosterLines ReadRosterLines(const TAnswerTable& table, std::string_view text) {
    TRosterLines roster;
    std::vector<TRosterLine>& lines = roster.lines;
    roster.nulLine = ForEachRecord(text, [&](const TRecord& record) {
        std::vector<std::string> fields;
        ForEachRecordField(record, [&](std::string_view field) {
            if (fields.size() < 2) {
                fields.emplace_back(field);
            }
        });
        const int lineNumber = static_cast<int>(lines.size()) + 1;
        if (fields.empty()) {
            throw ERosterPasteError(table, TRosterFault::EmptyLine, lineNumber);
        }
        if (fields.size() < 2) {
            throw ERosterPasteError(table, TRosterFault::NoName, lineNumber);
        }
        lines.push_back({std::move(fields[0]), std::move(fields[1])});
    });
    return roster;
}

/// Returns the line where a NUL byte ended the text; 0 when none did.
int PasteRecords(TAnswerTable& table, std::string_view text) {
    const TRosterLines roster = ReadRosterLines(table, text);
    TProgress progress(table.ProgressListener(), TProgressTask::Paste, roster.lines.size());
    int row = TAnswerTable::FirstStudentRow;
    for (const TRosterLine& line : roster.lines) {
        progress.Advance(static_cast<std::uint64_t>(row - TAnswerTable::FirstStudentRow));
        WriteNumberAndName(table, row++, line.number, line.name);
    }
    return roster.nulLine;
}

} // namespace

ERosterPasteError::ERosterPasteError(const TAnswerTable& table, TRosterFault fault, int lineNumber,
                                     const std::optional<TUserText>& cause)
    : EPelloranError(
          cause ? TUserText({}, "%1: %2",
                            {TUserText::Literal(FailureMessage(table, fault, lineNumber)), *cause})
                : TUserText::Literal(FailureMessage(table, fault, lineNumber))),
      fault_(fault), lineNumber_(lineNumber) {}

int PasteRoster(TAnswerTable& table, std::string_view text) {
    int nulLine = 0;
    try {
        nulLine = PasteRecords(table, text);
    } catch (...) {
        table.EnableMarkAndSortByNumber();
        throw;
    }
    table.EnableMarkAndSortByNumber();
    return nulLine;
}

int CheckRosterText(const TAnswerTable& table, std::string_view text) {
    return static_cast<int>(ReadRosterLines(table, text).lines.size());
}

bool HoldsStudentAnswers(const TAnswerTable& table) {
    const int lastRow = std::max(LastSavedRow(table), TAnswerTable::FirstStudentRow);
    constexpr std::size_t firstAnswer = TAnswerTable::FirstQuestionColumn;
    for (int row = TAnswerTable::FirstStudentRow; row <= lastRow; ++row) {
        const TRowCells& cells = table.Store().Row(row);
        if (cells.Size() > firstAnswer && cells.ByteSize(firstAnswer, cells.Size()) > 0) {
            return true;
        }
    }
    return false;
}

int PasteRosterFrom(TAnswerTable& table, const std::function<std::string()>& readText) {
    std::string text;
    try {
        text = readText();
    } catch (...) {
        table.EnableMarkAndSortByNumber();
        throw;
    }
    return PasteRoster(table, text);
}

int PasteRosterFromClipboard(TAnswerTable& table,
                             const std::function<std::string()>& readClipboard) {
    return PasteRosterFrom(table, [&] {
        try {
            return readClipboard();
        } catch (const std::exception& failure) {
            throw ERosterPasteError(table, TRosterFault::Unreadable, 0, FailureUserText(failure));
        } catch (...) {
            throw ERosterPasteError(table, TRosterFault::Unreadable, 0);
        }
    });
}
