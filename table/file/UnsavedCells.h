#pragma once

#include "platform/Errors.h"
#include "table/store/AnswerTable.h"

#include <cstdint>
#include <string>

/// Text that the answer file would not keep: data cells (column and row 1 on) below the first
/// empty number cell from row 3 on, or right of the first empty answer-key cell from column 3
/// on. The rate row that Mark writes below its students is Mark's own result, written again by
/// every Mark, and is not counted.
struct TUnsavedCells {
    /// The row whose empty number cell ends the saved rows.
    int gapRow = 0;
    /// The rows from the gap row on that hold text; 0 when none do.
    int firstRow = 0;
    int lastRow = 0;
    /// The column whose empty answer-key cell is the last one saved.
    int widthColumn = 0;
    /// The columns right of it that hold text in a saved row; 0 when none do.
    int firstColumn = 0;
    int lastColumn = 0;
    /// Tells these cells and their texts from others.
    std::uint64_t fingerprint = 0;

    bool IsEmpty() const { return firstRow == 0 && firstColumn == 0; }
    friend bool operator==(const TUnsavedCells&, const TUnsavedCells&) = default;
};

TUnsavedCells FindUnsavedCells(const TAnswerTable& table);

/// The first row from `row` on that holds text in a data column, Mark's rate row aside; 0 when
/// none does.
int FirstTextRowFrom(const TAnswerTable& table, int row);

/// What the user is told before such a table is saved: which rows and columns, and why; rows
/// and columns as the grid labels them (student row 1 is row 3, question 1 column 3).
TUserText UnsavedCellsText(const TUnsavedCells& cells);

/// A table with unsaved cells was not saved, as nobody could be asked whether to drop them.
class EUnsavedCellsError : public EPelloranError {
public:
    explicit EUnsavedCellsError(const TUnsavedCells& cells);
};
