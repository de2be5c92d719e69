#include "platform/CodePage.h"
#include "table/file/UnsavedCells.h"
#include "table/marking/Marking.h"
#include "table/marking/TableWalks.h"

#include <optional>
#include <string>

namespace {

/// A cell as the teacher finds it in the grid: the student's row label and number, or the key
/// or points row; the question's number.
TUserText PlaceText(const TAnswerTable& table, TCellPlace cell) {
    const TUserText question = TUserText::Number(QuestionLabel(cell.column));
    if (cell.row == TAnswerTable::AnswerKeyRow) {
        return {"KeyCellPlace", "問 %1 の正答", {question}};
    }
    if (cell.row == TAnswerTable::PointsRow) {
        return {"PointsCellPlace", "問 %1 の配点", {question}};
    }
    const TUserText row = TUserText::Number(StudentLabel(cell.row));
    const std::string_view number = table.Cell(TAnswerTable::NumberColumn, cell.row);
    if (number.empty()) {
        return {"StudentCellPlace", "行 %1 の 問 %2", {row, question}};
    }
    return {"NumberedStudentCellPlace",
            "行 %1 (学籍番号 %2) の 問 %3",
            {row, TUserText::Literal(TCodePage::ToUtf8(number)), question}};
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

EMarkError::EMarkError(const TUserText& text, TCellPlace cell)
    : EPelloranError(text), cell_(cell) {}

void CheckMarkable(const TAnswerTable& table, int questionCount) {
    const int lastStudent = LastStudentRow(table);
    const int gapRow = lastStudent + 1;
    if (const int row = FirstTextRowFrom(table, gapRow); row != 0) {
        const TUserText rowLabel = TUserText::Number(StudentLabel(row));
        throw EMarkError(
            row == gapRow
                ? TUserText("MarkRowWithoutNumber",
                            "採点できません: 行 %1 には学籍番号がないため、採点も保存もされません。"
                            "学籍番号を入れてください",
                            {rowLabel})
                : TUserText("MarkRowBelowGap",
                            "採点できません: 行 %1 の生徒は、行 %2 の学籍番号が空のため、採点も"
                            "保存もされません。学籍番号を入れてください",
                            {rowLabel, TUserText::Number(StudentLabel(gapRow))}),
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
        throw EMarkError(
            {"MarkWouldOverwrite",
             "採点できません: %1 の「%2」は、正答のない列にあるため、採点の結果で上書きされてしまい"
             "ます",
             {PlaceText(table, *written),
              TUserText::Literal(TCodePage::ToUtf8(table.Cell(written->column, written->row)))}},
            *written);
    }
}

EMarkError MarkErrorAt(const TAnswerTable& table, TCellPlace cell, const std::exception& failure) {
    return EMarkError({"MarkStoppedAt",
                       "採点できません: %1: %2",
                       {PlaceText(table, cell), FailureUserText(failure)}},
                      cell);
}
