#pragma once

#include "table/store/AnswerTable.h"

#include <string_view>

/// Where the questions and the students of a table end, and what a key cell means: the rules
/// that marking, loading, saving, sorting and everything reading a marked table share.

/// The mark that marking writes above its scores: "<", the mean as it formats it, ">"; "<>"
/// for a mean that rounds to zero. Only that form ends the questions, so that a key holding
/// "<" (such as "x<3") stays a key. The separator may be a point or a comma, as the file may
/// have been saved under either.
bool IsResultMarker(std::string_view cell);

/// The key of a question whose cells hold points awarded, not answers: exactly "#".
inline bool IsPointsKey(std::string_view key) {
    return key == "#";
}

/// The questions end at the first answer-key cell that is empty or holds the result marker.
inline bool EndsQuestions(std::string_view key) {
    return key.empty() || IsResultMarker(key);
}

/// The questions found by walking the answer-key row from column 3.
int CountQuestions(const TAnswerTable& table);

/// Row 3 is always a student for marking and sorting; every student row is followed by another
/// while its number cell is not empty.
inline bool HasStudentAfter(const TAnswerTable& table, int row) {
    return !table.Cell(TAnswerTable::NumberColumn, row + 1).empty();
}

/// How the grid labels a student row (row 3 is 1) and a question column (column 3 is question
/// 1): the names messages give the teacher.
inline int StudentLabel(int row) {
    return row - TAnswerTable::FirstStudentRow + 1;
}
inline int QuestionLabel(int column) {
    return column - TAnswerTable::FirstQuestionColumn + 1;
}

/// The last row of the student walk: row 3 at least.
int LastStudentRow(const TAnswerTable& table);

/// The last row that saving writes: the points row, or the last row from 3 on before the first
/// empty number cell.
int LastSavedRow(const TAnswerTable& table);
