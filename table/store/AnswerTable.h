#pragma once

#include "platform/LargeBlock.h"
#include "table/store/RowArena.h"
#include "table/store/RowCells.h"
#include "table/store/TableView.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

/// A Windows colour value, 0x00BBGGRR.
using TColor = std::uint32_t;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clYellow = 0x00FFFF;

/// The three menu commands whose enabled state the table's phase decides.
enum class TCommand { mmMark, mmSortWithNumber, mmSortWithPoint };

/// Failures whose texts the language file may give beside the ten messages.
enum class TFailureText { PasteEmptyLine, PasteNoName, PasteUnreadable };

/// The answer table: text cells addressed by (column, row) from 0, plus the program-wide
/// state that loading, marking, sorting and drawing share.
class TAnswerTable {
public:
    static constexpr int ShownColumns = 55;
    static constexpr int ShownRows = 103;
    static constexpr int DefaultColumnWidth = 45;
    static constexpr int RowHeight = 17;
    static constexpr int MessageCount = 10;
    static constexpr int FailureTextCount = 3;

    // Roles of rows and columns.
    static constexpr int AnswerKeyRow = 1;
    static constexpr int PointsRow = 2;
    static constexpr int FirstStudentRow = 3;
    static constexpr int NumberColumn = 1;
    static constexpr int NameColumn = 2;
    static constexpr int FirstQuestionColumn = 3;
    /// Width given to the column that titles the mean and the standard deviation.
    static constexpr int StatisticsLabelWidth = 70;

    /// Empty for a cell never written. The view is valid until the next write to the table.
    std::string_view Cell(int column, int row) const {
        return column < 0 ? std::string_view() : Row(row).Cell(static_cast<std::size_t>(column));
    }
    /// Every write requests a repaint of the cell, also when the text is unchanged.
    void SetCell(int column, int row, std::string_view text);
    /// Writes a cell its own text back: the way to request its repaint.
    void RewriteCell(int column, int row) { NotifyCellWritten(column, row); }

    /// The stored cells of a row; empty for a row never written.
    const TRowCells& Row(int row) const {
        return row >= 0 && row < StoredRowCount() ? rows_[static_cast<std::size_t>(row)] : EmptyRow;
    }
    /// Writes columns 0 to cells.Size() - 1 of `row` at once, as SetCell would one by one,
    /// and requests one repaint of the whole row.
    void WriteRowCells(int row, TRowCells cells);

    /// A row of these cells (as TRowCells takes them) placed in storage that the table keeps
    /// for many rows, with room for a few more bytes and a cell, such as a score: for writing
    /// many rows at once with WriteRowCells.
    TRowCells PlacedRowCells(std::string_view bytes, const std::vector<std::uint32_t>& ends);
    /// Gives every placed row storage of its own and frees the shared storage: before the
    /// rows of a new file are placed, so that the storage of an earlier one is not kept.
    void DetachPlacedRows();

    /// Makes room for this many stored rows, so that writing them moves no row.
    void ReserveRows(std::size_t count) { rows_.reserve(count); }
    /// Makes room for placed rows of this many bytes in all, so that they take one block.
    void ReservePlacedRowBytes(std::size_t size) { rowArena_.ReserveNextBlock(size); }

    /// Rows that may hold a non-empty cell; every row from here on is empty.
    int StoredRowCount() const { return static_cast<int>(rows_.size()); }
    /// Columns of `row` that may hold a non-empty cell.
    int StoredColumnCount(int row) const;
    /// Columns that may hold a non-empty cell in some row: every column from here on is empty
    /// in every row. It shrinks only when every cell is replaced (the reset, a class loaded),
    /// so that it costs no walk through the rows.
    int StoredColumnCount() const { return storedColumnCount_; }

    /// Puts the cells from `firstColumn` on of rows `sourceRows[i]` into row `firstRow + i`,
    /// all rows being read before any is written, and requests one repaint of the rows written.
    void MoveRows(const std::vector<int>& sourceRows, int firstRow, int firstColumn);

    /// Back to an empty test: titles and labels from the messages and nothing else, so that no
    /// text of the previous class stays (its scores, statistics and their titles included); the
    /// three commands disabled.
    void Reset();

    /// An empty test as Reset leaves one, with this table's messages and no view: loading
    /// builds a class in it aside, so that a failure leaves this table as it was.
    TAnswerTable EmptyTest() const;
    /// Takes the cells of `loaded`, an EmptyTest that a class was loaded into, in place of every
    /// cell of this table, as a Reset followed by the same writes would leave it.
    void ReplaceCells(TAnswerTable&& loaded);

    /// Msg1 to Msg10; `number` counts from 1.
    const std::string& Message(int number) const;
    void SetMessage(int number, std::string text);

    /// The language file's text for a failure, in the code page; empty when it gave none, so
    /// that the failure takes its built-in text.
    const std::string& FailureText(TFailureText text) const;
    void SetFailureText(TFailureText text, std::string value);

    int QuestionCount() const { return questionCount_; }
    void SetQuestionCount(int count) { questionCount_ = count; }

    TColor HighlightColor() const { return highlightColor_; }
    void SetHighlightColor(TColor color) { highlightColor_ = color; }

    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int pixels);

    bool IsEnabled(TCommand command) const;
    void SetEnabled(TCommand command, bool enabled);
    /// A loaded or pasted table can be marked and sorted by number.
    void EnableMarkAndSortByNumber();

    /// Inline, as marking calls it for every answer.
    void ProcessMessages() {
        if (view_ != nullptr) {
            view_->ProcessMessages();
        }
    }

    /// The view is not owned; null for none.
    void SetView(TTableView* view) { view_ = view; }

private:
    static const TRowCells EmptyRow;

    /// Whether `sourceRows` are the stored rows from `firstRow` on, each once.
    bool IsStoredRowPermutation(const std::vector<int>& sourceRows, int firstRow) const;
    /// MoveRows for a permutation of stored rows, the rows moved rather than copied.
    void PermuteRows(const std::vector<int>& sourceRows, int firstRow, int firstColumn);
    /// MoveRows for any rows, cell by cell; tells the view nothing.
    void CopyRows(const std::vector<int>& sourceRows, int firstRow, int firstColumn);
    /// SetCell without telling the view.
    void StoreCell(int column, int row, std::string_view text);
    /// The titles and labels of an empty test, into a table without cells.
    void StoreTitlesAndLabels();
    void NotifyCellWritten(int column, int row) {
        if (view_ != nullptr) {
            view_->CellWritten(column, row);
        }
    }
    void NotifyRowCountChange(int oldRowCount);
    void NoteColumnCount(const TRowCells& row) {
        storedColumnCount_ = std::max(storedColumnCount_, static_cast<int>(row.Size()));
    }
    TRowCells& RowForWriting(int row);

    /// A large table's rows take megabytes: they ask for huge pages.
    using TRows = std::vector<TRowCells, TLargeBlockAllocator<TRowCells>>;

    /// Declared before the rows, which may be placed in it, so that it outlives them.
    TRowArena rowArena_;
    TRows rows_;
    int storedColumnCount_ = 0;
    std::array<std::string, MessageCount> messages_;
    std::array<std::string, FailureTextCount> failureTexts_;
    std::map<int, int> columnWidths_;
    int questionCount_ = 50;
    TColor highlightColor_ = clWhite;
    std::array<bool, 3> enabled_{};
    TTableView* view_ = nullptr;
};
