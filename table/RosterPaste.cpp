#include "RosterPaste.h"

#include "TextRules.h"

#include <string>
#include <vector>

namespace {

void PasteLines(TAnswerTable& table, std::string_view text) {
    int index = 0;
    ForEachLine(text, [&](std::string_view line) {
        const std::vector<std::string> fields = SplitCommaText(line);
        const int row = TAnswerTable::FirstStudentRow + index;
        ++index;
        if (!fields.empty()) {
            table.SetCell(TAnswerTable::NumberColumn, row, fields[0]);
        }
        if (fields.size() < 2) {
            throw ERosterLineError(index);
        }
        table.SetCell(TAnswerTable::NameColumn, row, fields[1]);
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
        PasteLines(table, text);
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
