#include "RosterPaste.h"

#include "TextRecords.h"

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

void PasteRecords(TAnswerTable& table, std::string_view text) {
    int index = 0;
    ForEachRecord(text, [&](const TRecord& record) {
        std::vector<std::string> fields;
        ForEachRecordField(record, [&](std::string_view field) { fields.emplace_back(field); });
        const int row = TAnswerTable::FirstStudentRow + index;
        ++index;
        if (fields.size() < 2) {
            if (!fields.empty()) {
                table.SetCell(TAnswerTable::NumberColumn, row, fields[0]);
            }
            throw ERosterLineError(index);
        }
        WriteNumberAndName(table, row, fields[0], fields[1]);
    });
}

} // namespace

ERosterLineError::ERosterLineError(int lineNumber)
    : EPelloranError(
          FormatMessage("%s 行目に学籍番号と氏名がないため、貼り付けはここで止まりました",
                        std::to_string(lineNumber))),
      lineNumber_(lineNumber) {}

void PasteRoster(TAnswerTable& table, std::string_view text) {
    try {
        PasteRecords(table, text);
    } catch (...) {
        table.EnableMarkAndSortByNumber();
        throw;
    }
    table.EnableMarkAndSortByNumber();
}

void PasteRosterFrom(TAnswerTable& table, const std::function<std::string()>& readText) {
    std::string text;
    try {
        text = readText();
    } catch (...) {
        table.EnableMarkAndSortByNumber();
        throw;
    }
    PasteRoster(table, text);
}
