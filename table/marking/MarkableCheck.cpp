#include "platform/CodePage.h"
#include "table/file/UnsavedCells.h"
#include "table/marking/Marking.h"
#include "table/marking/TableWalks.h"

#include <optional>
#include <string>

namespace {

/// A cell as the teacher finds it in the grid: the student's row label and number, or the key
/// or points row; the question's number.
std::string PlaceText(const TAnswerTable& table, TCellPlace cell) {
    const std::string question = "問 " + std::to_string(QuestionLabel(cell.column));
    if (cell.row == TAnswerTable::AnswerKeyRow) {
        return question + " の正答";
    }
    if (cell.row == TAnswerTable::PointsRow) {
        return question + " の配点";
    }
    std::string row = "行 " + std::to_string(StudentLabel(cell.row));
    const std::string_view number = table.Cell(TAnswerTable::NumberColumn, cell.row);
    if (!number.empty()) {
        row += " (学籍番号 " + TCodePage::ToUtf8(number) + ")";
    }
    return row + " の " + question;
}

/// The first cell of rows `firstRow` to `lastRow` of `column` that holds text.
std::optional<TCellPlace> FirstTextIn(const TAnswerTable& table, int column, int firstRow,
                                      int lastRow) {
    for (int row = firstRow; row <= lastRow; ++row) {
        if (!table.Cell(column, row).empty()) {
            return TCellPlace{column, row};
        }
    }
    return std::nullopt;
}

} // namespace

EMarkError::EMarkError(const std::string& message, TCellPlace cell)
    : EPelloranError(message), cell_(cell) {}

void CheckMarkable(const TAnswerTable& table, int questionCount) {
    const int lastStudent = LastStudentRow(table);
    const int gapRow = lastStudent + 1;
    if (const int row = FirstTextRowFrom(table, gapRow); row != 0) {
        const std::string why =
            row == gapRow
                ? "には学籍番号がないため"
                : "の生徒は、行 " + std::to_string(StudentLabel(gapRow)) + " の学籍番号が空のため";
        throw EMarkError("採点できません: 行 " + std::to_string(StudentLabel(row)) + " " + why +
                             "、採点も保存もされません。学籍番号を入れてください",
                         {TAnswerTable::NumberColumn, gapRow});
    }
    const int scoreColumn = TAnswerTable::ScoreColumn(questionCount);
    if (IsResultMarker(table.Cell(scoreColumn, TAnswerTable::AnswerKeyRow))) {
        return;
    }
    std::optional<TCellPlace> written =
        FirstTextIn(table, scoreColumn, TAnswerTable::PointsRow, lastStudent);
    if (!written) {
        written = FirstTextIn(table, scoreColumn + 1, TAnswerTable::AnswerKeyRow,
                              TAnswerTable::PointsRow);
    }
    if (written) {
        throw EMarkError("採点できません: " + PlaceText(table, *written) + " の「" +
                             TCodePage::ToUtf8(table.Cell(written->column, written->row)) +
                             "」は、正答のない列にあるため、採点の結果で上書きされてしまいます",
                         *written);
    }
}

EMarkError MarkErrorAt(const TAnswerTable& table, TCellPlace cell, const std::exception& failure) {
    return EMarkError("採点できません: " + PlaceText(table, cell) + ": " + failure.what(), cell);
}
