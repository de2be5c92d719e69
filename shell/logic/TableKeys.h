#pragma once

#include "shell/logic/GridPaintLog.h"
#include "table/store/AnswerTable.h"

/// The keys a released key is told apart by.
enum class TReleasedKey { F1, Arrow, Other };

/// What the release of a key in the grid asks for.
enum class TKeyUpAction {
    None,
    ShowHelp,
    /// Move the current cell one column to the right.
    Advance,
};

/// F1 shows the help page anywhere. In the student rows and below, from the first question
/// column on, any other key but an arrow moves on once the cell holds as many bytes as its
/// answer key (a double-byte character counts two), unless the question is a points question.
TKeyUpAction TableKeyUpAction(const TAnswerTable& table, int column, int row, TReleasedKey key);

/// The cell Ctrl+End goes to: the last row and the last column holding text, the header row and
/// the label column aside, as far as the grid shows `shownColumnCount` columns and
/// `shownRowCount` rows; the first data cell of an empty table.
TGridCell LastUsedCell(const TAnswerTable& table, int shownColumnCount, int shownRowCount);
