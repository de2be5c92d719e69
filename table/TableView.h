#pragma once

/// What the answer table tells the window that shows it.
class TTableView {
public:
    virtual ~TTableView() = default;

    /// A cell was written: repaint it when messages are next processed.
    virtual void CellWritten(int column, int row) = 0;
    virtual void ColumnWidthSet(int column, int pixels) = 0;
    /// One of the commands changed its enabled state.
    virtual void CommandsChanged() = 0;
    /// Let pending window messages run: every requested repaint happens now, in the
    /// highlight colour of this moment.
    virtual void ProcessMessages() = 0;
};
