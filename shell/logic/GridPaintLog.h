#pragma once

#include "table/clipboard/CellBlock.h"
#include "table/store/AnswerTable.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

/// A cell of the grid in table coordinates.
struct TGridCell {
    int column = 0;
    int row = 0;
    friend bool operator==(const TGridCell&, const TGridCell&) = default;
};

/// How the grid stands: the data cells in view, and how many rows and columns it shows, the
/// header row and the label column included.
struct TGridExtent {
    TCellRange visible;
    int shownRowCount = 0;
    int shownColumnCount = 0;
};

/// The header cells written since the last painting: columns of the header row and rows of the
/// label column, in view, or all of them.
struct THeaderWrites {
    bool all = false;
    std::vector<int> columns;
    std::vector<int> rows;
};

/// The grid's paint bookkeeping, without a window system: which cells in view the table wrote
/// since they were last painted, the highlight colour each took when messages were processed,
/// and what each cell was last painted with, so that only cells that would look otherwise are
/// painted again. A write out of view costs nothing, one in view a few instructions.
///
/// The colour taken when messages are processed is the cell's fill at every painting until
/// ForgetColours: a painting of the whole view in the middle of a long command (which the
/// window system may ask for) must not turn the cells painted before it white. A cell with no
/// colour taken is filled with the highlight colour of the moment it is painted.
class TGridPaintLog {
public:
    /// The look of a cell that is no data cell: it has no fill of the highlight colour.
    static constexpr TColor PlainLook = 0xFFFF'FFFEu;
    /// More cells than the largest screen shows: what was painted is forgotten beyond this, as
    /// the cells scrolled out of view are painted anew when they come back.
    static constexpr std::size_t MaxRememberedCells = std::size_t{1} << 15;

    /// `measure` tells how the grid stands; it is asked when the log first needs to know, and
    /// again after ForgetExtent.
    TGridPaintLog(const TAnswerTable& table, std::function<TGridExtent()> measure);

    /// True when a write to the cell needs nothing of the grid: the cell is below the view, and
    /// a write to it cannot change how many rows and columns the grid shows. False while the
    /// grid was not measured.
    bool IsQuiet(int column, int row) const { return quietCells_.Contains(column, row); }
    /// The table wrote the cell: it is painted next when it is in view or a header cell in view.
    void NoteWritten(int column, int row);
    /// Every cell may have changed.
    void NoteAllWritten();
    /// Every column of rows firstRow to lastRow was written.
    void NoteRowsWritten(int firstRow, int lastRow);

    bool HasWrittenCells() const { return allWritten_ || !writtenCells_.empty(); }
    /// Messages are processed: each cell in view written since the last processing or painting
    /// takes the highlight colour of this moment.
    void RecordColours();
    /// The command has ended: cells are filled with the highlight colour of the moment again.
    void ForgetColours() { recorded_.clear(); }

    /// The data cells to paint now, row by row and each once: the cells in view written since
    /// the last painting, or holding a colour, whose look or text is not what they were painted
    /// with; every cell in view when the question count changed since the last painting. The
    /// written cells are forgotten.
    std::vector<TGridCell> TakeCellsToPaint();
    /// The header cells to paint now; they are forgotten.
    THeaderWrites TakeHeaderWrites();

    /// The fill of a data cell painted now.
    TColor FillOf(int column, int row) const;
    /// What a cell's painting depends on besides its text: the fill of a data cell, PlainLook
    /// for any other cell.
    TColor LookOf(int column, int row) const;
    /// The cell was painted so: it needs no painting again until its look or text changes.
    void NoteShown(int column, int row, TColor look, std::string_view text);

    /// The grid scrolled, was resized or changed its shape: it is measured again when needed.
    void ForgetExtent();

private:
    /// A cell as one number, row before column, so that cells sort row by row.
    using TCellKey = std::uint64_t;
    static TCellKey KeyOf(int column, int row);
    static TGridCell CellOf(TCellKey key);

    /// What a cell was last painted with.
    struct TShownCell {
        TColor look = 0;
        std::string text;
    };

    const TCellRange& VisibleCells();
    void MarkWritten(int column, int row);
    void MarkHeaderWritten(int column, int row);
    void ForgetWrittenCells();
    bool IsShownAsIs(TCellKey key) const;
    /// Calls `act` with every cell written since the last processing or painting that is in
    /// view.
    template <typename TAct>
    void ForEachWrittenCellInView(TAct act);

    const TAnswerTable& table_;
    std::function<TGridExtent()> measure_;
    TCellRange visible_;
    bool visibleKnown_ = false;
    /// The cells whose writes need nothing of the grid; empty while it is not measured.
    TCellRange quietCells_{.firstColumn = 0, .firstRow = 0, .lastColumn = -1, .lastRow = -1};
    /// Cells in view written since they were last processed or painted; a cell may be listed
    /// more than once.
    std::vector<TCellKey> writtenCells_;
    bool allWritten_ = false;
    THeaderWrites headerWrites_;
    std::unordered_map<TCellKey, TColor> recorded_;
    std::unordered_map<TCellKey, TShownCell> shown_;
    int paintedQuestionCount_ = -1;
};
