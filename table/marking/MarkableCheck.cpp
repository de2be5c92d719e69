#include "platform/CodePage.h"
#include "table/file/UnsavedCells.h"
#include "table/marking/Marking.h"
#include "table/marking/TableWalks.h"

#include <optional>
#include <string>

namespace {

int StudentLabel(int row) {
    return row - TAnswerTable::FirstStudentRow + 1;
}

/// A cell as the teacher finds it in the grid: the student's row label and number, or the key
/// or points row; the question's number.
std::string PlaceText(const TAnswerTable& table, TCellPlace cell) {
    std::string row;
    if (cell.row == TAnswerTable::AnswerKeyRow) {
        row = "正答の行";
    } else if (cell.row == TAnswerTable::PointsRow) {
        row = "配点の行";
    } else {
        row = "行 " + std::to_string(StudentLabel(cell.row));
        const std::string_view number = table.Cell(TAnswerTable::NumberColumn, cell.row);
        if (!number.empty()) {
            row += " (学籍番号 " + TCodePage::ToUtf8(number) + ")";
        }
    }
    if (cell.column < TAnswerTable::FirstQuestionColumn) {
        return row;
    }
    return row + " の 問 " +
           std::to_string(cell.column - TAnswerTable::FirstQuestionColumn + 1);
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
    const TUnsavedCells unsaved = FindUnsavedCells(table);
    if (unsaved.firstRow != 0) {
        const TCellPlace gap{TAnswerTable::NumberColumn, unsaved.gapRow};
        throw EMarkError("採点できません: 行 " + std::to_string(StudentLabel(unsaved.firstRow)) +
                             " の生徒は、行 " + std::to_string(StudentLabel(unsaved.gapRow)) +
                             " の学籍番号が空のため、採点も保存もされません。",
                         gap);
    }
    const int scoreColumn = TAnswerTable::ScoreColumn(questionCount);
    if (IsResultMarker(table.Cell(scoreColumn, TAnswerTable::AnswerKeyRow))) {
        return;
    }
    const int lastStudent = LastStudentRow(table);
    std::optional<TCellPlace> written =
        FirstTextIn(table, scoreColumn, TAnswerTable::PointsRow, lastStudent);
    if (!written) {
        written = FirstTextIn(table, scoreColumn + 1, TAnswerTable::AnswerKeyRow,
                              TAnswerTable::PointsRow);
    }
    if (written) {
        throw EMarkError("採点できません: " + PlaceText(table, *written) + " の「" +
                             TCodePage::ToUtf8(table.Cell(written->column, written->row)) +
                             "」は、正答のない列にあるため、採点の結果で上書きされてしまいます。",
                         *written);
    }
}

EMarkError MarkErrorAt(const TAnswerTable& table, TCellPlace cell, const std::exception& failure) {
    return EMarkError("採点できません: " + PlaceText(table, cell) + ": " + failure.what(), cell);
}
