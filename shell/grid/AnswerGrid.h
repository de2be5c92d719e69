#pragma once

#include "shell/grid/AnswerTableModel.h"
#include "shell/grid/EditKeys.h"
#include "shell/logic/GridPaintLog.h"
#include "shell/logic/TableKeys.h"
#include "table/clipboard/CellBlock.h"
#include "table/store/AnswerTable.h"
#include "table/store/TableView.h"

#include <QElapsedTimer>
#include <QTableView>
#include <vector>

class QLineEdit;

/// The grid `Table`: shows the whole answer table (see TAnswerTableModel for how much) with an
/// editor always open on the current cell, and paints as the table asks: its paint log keeps
/// which cells to paint and in which colour. The cells are painted at the end of each command
/// and, during a long one, about every frame; the grid takes the table's size then too.
class TAnswerGrid : public QTableView, public TTableView {
    Q_OBJECT

public:
    explicit TAnswerGrid(TAnswerTable& table, QWidget* parent = nullptr);
    ~TAnswerGrid() override;

    TAnswerTable& Table() const { return table_; }
    TAnswerTableModel& Model() const { return *model_; }

    /// The current cell in table coordinates.
    int CurrentColumn() const { return currentColumn_; }
    int CurrentRow() const { return currentRow_; }
    /// Makes the cell current and scrolls it into view; the grid takes the table's size first.
    void SetCurrentCell(int column, int row);
    /// Moves the current cell one column to the right; in the last shown column it stays.
    void AdvanceCurrentCell();
    /// The editor on the current cell, or null while there is none.
    QLineEdit* Editor() const;

    /// The selected cells in table coordinates: the range, or the current cell alone.
    TCellRange SelectedRange() const;
    /// Whether more than one cell is selected.
    bool HoldsRange() const;
    /// Selects the range's cells shown, the grid having taken the table's size; the current
    /// cell stays.
    void SelectRange(TCellRange range);

    /// Paints every cell written or processed since the last painting; outside the painting
    /// that a long command does now and then, the recorded colours are then forgotten.
    void FlushPaints();
    /// Has every cell in view that does not look as the table now asks painted again: undo and
    /// redo take back a Mark's colours without writing the cells it only painted.
    void RepaintChangedLooks();
    /// What the cells are to be painted with, and what they were painted with.
    TGridPaintLog& PaintLog() { return paintLog_; }

    // TTableView
    void CellWritten(int column, int row) override;
    void TableReset() override;
    void RowsWritten(int firstRow, int lastRow) override;
    void RowCountChanged(int rowCount) override;
    void ColumnWidthSet(int column, int pixels) override;
    void CommandsChanged() override;
    void ProcessMessages() override;

signals:
    void EnabledCommandsChanged();
    /// A key was released in the grid or its editor.
    void KeyReleased(TReleasedKey key);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
    bool event(QEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    /// Ctrl+End goes to the last cell holding text rather than to the last cell shown.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr int CallsBetweenClockReadings = 256;

    /// Takes the table's size; the widths the table gave columns not shown until now are
    /// applied to them.
    void ApplyShape();
    /// CellWritten for a cell that may need painting or change the shape; kept out of line,
    /// so that the quick return costs no saving of registers.
    [[gnu::noinline]] void NoteWrittenCell(int column, int row);
    /// Gives the column the width the table set, which is not the user's dragging.
    void ResizeColumn(int column, int pixels);
    TGridExtent MeasureExtent() const;
    void FlushHeaders();
    /// FlushPaints without forgetting the recorded colours.
    void PaintChangedCells();
    void ScheduleFlush();
    void RefreshEditor();
    /// True for the keys that move the current cell rather than the editor's caret.
    static bool LeavesEditor(const QKeyEvent& event, const QLineEdit& editor);
    /// Tells of a released key, unless it is repeated or ends a range selection with Shift.
    void ReportRelease(const QKeyEvent& event);
    /// Whether the window's editing command takes the key from the editor: undo, redo and paste
    /// always, copy and cut unless part of one cell's text is selected, clear for a range.
    bool LeavesKeyToWindow(TEditCommand command, const QLineEdit& editor) const;
    /// The keys of an editing or file command are the window's, not typing: their releases move
    /// nothing.
    void NoteKeyPress(const QKeyEvent& event);
    /// The region of cells given row by row.
    QRegion RegionOf(const std::vector<TGridCell>& cells) const;

    TAnswerTable& table_;
    TAnswerTableModel* model_;
    int currentColumn_ = 0;
    int currentRow_ = 0;
    TGridPaintLog paintLog_;
    /// True while a long command paints in its middle: the colours recorded stay until it ends.
    bool commandPainting_ = false;
    bool flushScheduled_ = false;
    /// True while a width the table set is given to a column.
    bool settingWidths_ = false;
    /// From a command's key, or a key that moved the current cell, until the next key
    /// typed, releases are not told: moving on after them would leave the cell they chose.
    bool commandKeysHeld_ = false;
    int callsUntilClock_ = CallsBetweenClockReadings;
    QElapsedTimer sinceFlush_;
};
