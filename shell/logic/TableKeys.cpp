#include "shell/logic/TableKeys.h"

#include "table/marking/TableWalks.h"

#include <algorithm>

TKeyUpAction TableKeyUpAction(const TAnswerTable& table, int column, int row, TReleasedKey key) {
    if (key == TReleasedKey::F1) {
        return TKeyUpAction::ShowHelp;
    }
    if (column < TAnswerTable::FirstQuestionColumn || row < TAnswerTable::FirstStudentRow ||
        key == TReleasedKey::Arrow) {
        return TKeyUpAction::None;
    }
    const std::string_view answerKey = table.Cell(column, TAnswerTable::AnswerKeyRow);
    if (table.Cell(column, row).size() < answerKey.size() || IsPointsKey(answerKey)) {
        return TKeyUpAction::None;
    }
    return TKeyUpAction::Advance;
}

TGridCell LastUsedCell(const TAnswerTable& table, int shownColumnCount, int shownRowCount) {
    TGridCell last{1, 1};
    const int rowCount = std::min(table.StoredRowCount(), shownRowCount);
    for (int row = 1; row < rowCount; ++row) {
        for (int column = std::min(table.StoredColumnCount(row), shownColumnCount) - 1; column > 0;
             --column) {
            if (!table.Cell(column, row).empty()) {
                last.column = std::max(last.column, column);
                last.row = row;
                break;
            }
        }
    }
    return last;
}
