#include "shell/logic/TableKeys.h"

namespace {

constexpr std::string_view PointsQuestionKey = "#";

} // namespace

TKeyUpAction TableKeyUpAction(const TAnswerTable& table, int column, int row, TReleasedKey key) {
    if (key == TReleasedKey::F1) {
        return TKeyUpAction::ShowHelp;
    }
    if (column < TAnswerTable::FirstQuestionColumn || row < TAnswerTable::FirstStudentRow ||
        key == TReleasedKey::Arrow) {
        return TKeyUpAction::None;
    }
    const std::string_view answerKey = table.Cell(column, TAnswerTable::AnswerKeyRow);
    if (table.Cell(column, row).size() < answerKey.size() || answerKey == PointsQuestionKey) {
        return TKeyUpAction::None;
    }
    return TKeyUpAction::Advance;
}
