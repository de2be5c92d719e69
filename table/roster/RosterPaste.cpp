#include "table/roster/RosterPaste.h"

#include "platform/CodePage.h"
#include "table/file/TextRecords.h"
#include "table/store/RowCells.h"

#include <array>
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

int PasteRecords(TAnswerTable& table, std::string_view text) {
    int index = 0;
    return ForEachRecord(text, [&](const TRecord& record) {
        std::vector<std::string> fields;
        ForEachRecordField(record, [&](std::string_view field) { fields.emplace_back(field); });
        const int row = TAnswerTable::FirstStudentRow + index;
        ++index;
        if (fields.empty()) {
            throw ERosterPasteError(table, TRosterFault::EmptyLine, index);
        }
        if (fields.size() < 2) {
            table.SetCell(TAnswerTable::NumberColumn, row, fields[0]);
            throw ERosterPasteError(table, TRosterFault::NoName, index);
        }
        WriteNumberAndName(table, row, fields[0], fields[1]);
    });
}

} // namespace

ERosterPasteError::ERosterPasteError(const TAnswerTable& table, TRosterFault fault, int lineNumber)
    : EPelloranError(FailureMessage(table, fault, lineNumber)), fault_(fault),
      lineNumber_(lineNumber) {}

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
        } catch (...) {
            throw ERosterPasteError(table, TRosterFault::Unreadable, 0);
        }
    });
}
