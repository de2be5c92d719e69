#pragma once

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
