#pragma once

#include "shell/grid/AnswerTableModel.h"
#include "shell/logic/TableKeys.h"
#include "table/store/TableView.h"

#include <QElapsedTimer>
#include <QTableView>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class QLineEdit;

/// The grid `Table`: shows the whole answer table (see TAnswerTableModel for how much) with an
/// editor always open on the current cell, and paints as the table asks. A write only marks its
/// cell; processing messages records the highlight colour of that moment for each marked cell
/// in view, which is what the cell is painted in, so that a write out of view costs nothing
/// and one in view a few instructions. The cells are painted at the end of each command and,
/// during a long one, about every frame; the grid takes the table's size then too.
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
    /// Moves the current cell one column to the right. In the last shown column it raises the
    /// grid's error "グリッドインデックス が範囲を超えています" and the current cell stays.
    void AdvanceCurrentCell();
    /// The editor on the current cell, or null while there is none.
    QLineEdit* Editor() const;

    /// Paints every cell written or processed since the last painting; outside the painting
    /// that a long command does now and then, the recorded colours are then forgotten.
    void FlushPaints();
    /// The fill of a data cell painted now: the colour recorded when messages were last
    /// processed after the cell was written, else the highlight colour of this moment.
    TColor FillOf(int column, int row) const;
    /// What a cell's painting depends on besides its text: the fill of a data cell, a plain
    /// cell's own look.
    TColor LookOf(int column, int row) const;
    /// The cell was painted so: it needs no painting again until its look or text changes.
    void NoteShown(int column, int row, TColor look, std::string_view text);

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
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr TColor NoColor = 0xFFFFFFFFu;
    static constexpr TColor PlainLook = 0xFFFFFFFEu;
    static constexpr int CallsBetweenClockReadings = 256;

    /// A cell as one number, row before column, so that cells sort row by row.
    using TCellKey = std::uint64_t;
    static TCellKey KeyOf(int column, int row);
    static int ColumnOf(TCellKey cell);
    static int RowOf(TCellKey cell);

    /// Cells from (firstColumn, firstRow) to (lastColumn, lastRow), both included.
    struct TCellRange {
        int firstColumn = 0;
        int lastColumn = 0;
        int firstRow = 0;
        int lastRow = 0;
        bool Contains(int column, int row) const {
            return column >= firstColumn && column <= lastColumn && row >= firstRow &&
                   row <= lastRow;
        }
        bool Contains(TCellKey cell) const { return Contains(ColumnOf(cell), RowOf(cell)); }
    };

    /// What a cell was last painted with.
    struct TShownCell {
        TColor look = NoColor;
        std::string text;
    };

    /// Takes the table's size; the widths the table gave columns not shown until now are
    /// applied to them.
    void ApplyShape();
    /// CellWritten for a cell that may need painting or change the shape; kept out of line,
    /// so that the quick return costs no saving of registers.
    [[gnu::noinline]] void NoteWrittenCell(int column, int row);
    void MarkWritten(int column, int row);
    void MarkHeaderWritten(int column, int row);
    void RecordWrittenCells();
    void ForgetWrittenCells();
    bool IsShownAsIs(TCellKey cell) const;
    const TCellRange& VisibleCells();
    void ForgetVisibleCells();
    void FlushHeaders();
    /// FlushPaints without forgetting the recorded colours.
    void PaintChangedCells();
    void ScheduleFlush();
    void RefreshEditor();
    /// True for the keys that move the current cell rather than the editor's caret.
    static bool LeavesEditor(const QKeyEvent& event, const QLineEdit& editor);
    /// Tells of a released key, unless it is repeated or ends a range selection with Shift.
    void ReportRelease(const QKeyEvent& event);
    /// Sorts the cells and returns their region.
    QRegion RegionOf(std::vector<TCellKey>& cells) const;

    TAnswerTable& table_;
    TAnswerTableModel* model_;
    int currentColumn_ = 0;
    int currentRow_ = 0;
    /// Cells in view written since they were last processed or painted; a cell may be listed
    /// more than once.
    std::vector<TCellKey> writtenCells_;
    bool allWritten_ = false;
    std::vector<int> headerColumnsWritten_;
    std::vector<int> headerRowsWritten_;
    bool allHeadersWritten_ = false;
    /// Colours recorded for cells in view, for every painting until the command has ended:
    /// a paint of the whole view in the middle of a long command (which the window system may
    /// ask for) must not turn the cells painted before it white.
    std::unordered_map<TCellKey, TColor> recorded_;
    bool commandPainting_ = false;
    /// What the cells painted lately were painted with.
    std::unordered_map<TCellKey, TShownCell> shown_;
    TCellRange visible_;
    bool visibleKnown_ = false;
    /// Cells below the view whose writes need nothing of the grid: they are not shown, and they
    /// cannot change how many rows and columns are; empty while the view is not known.
    TCellRange quietRows_;
    bool flushScheduled_ = false;
    int callsUntilClock_ = CallsBetweenClockReadings;
    int paintedQuestionCount_ = -1;
    QElapsedTimer sinceFlush_;
};
