#include "shell/logic/TableKeys.h"

#include "table/marking/TableWalks.h"

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
