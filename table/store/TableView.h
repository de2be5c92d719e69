#pragma once

/// What the answer table tells the window that shows it.
class TTableView {
public:
    virtual ~TTableView() = default;

    /// A cell was written: repaint it when messages are next processed.
    virtual void CellWritten(int column, int row) = 0;
    /// Every cell may have changed at once (the reset, or a class loaded in place of the table's):
    /// repaint them all when messages are next processed.
    virtual void TableReset() = 0;
    /// Rows firstRow to lastRow were written or moved, every column of them: repaint them when
    /// messages are next processed.
    virtual void RowsWritten(int firstRow, int lastRow) = 0;
    /// The number of stored rows changed to `rowCount`.
    virtual void RowCountChanged(int rowCount) = 0;
    virtual void ColumnWidthSet(int column, int pixels) = 0;
    /// One of the commands changed its enabled state.
    virtual void CommandsChanged() = 0;
    /// Let pending window messages run: every requested repaint happens now, in the
    /// highlight colour of this moment.
    virtual void ProcessMessages() = 0;
};
