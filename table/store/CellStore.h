#pragma once

#include "platform/LargeBlock.h"
#include "table/store/RowArena.h"
#include "table/store/RowCells.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

/// How many rows and columns a store holds, as the window shows them and undo brings them back.
struct TStoreShape {
    int rowCount = 0;
    int columnCount = 0;

    bool operator==(const TStoreShape& other) const = default;
};

/// The cells of a table, addressed by (column, row) from 0, kept for large classes: each row's
/// texts packed together (TRowCells), the rows of a loaded file placed in blocks shared by many
/// rows (TRowArena), room made beforehand where the size is known. It tells nobody of a change:
/// the table that holds it does.
class TCellStore {
public:
    TCellStore() = default;
    TCellStore(const TCellStore& other) = default;
    TCellStore(TCellStore&& other) noexcept = default;
    TCellStore& operator=(const TCellStore& other) = default;
    /// Takes the rows of `other` before the storage they may be placed in.
    TCellStore& operator=(TCellStore&& other) noexcept;
    ~TCellStore() = default;

    /// Empty for a cell never written. The view is valid until the next write to the store.
    std::string_view Cell(int column, int row) const {
        return column < 0 ? std::string_view() : Row(row).Cell(static_cast<std::size_t>(column));
    }
    /// The stored cells of a row; empty for a row never written.
    const TRowCells& Row(int row) const {
        return row >= 0 && row < RowCount() ? rows_[static_cast<std::size_t>(row)] : EmptyRow;
    }

    /// Rows that may hold a non-empty cell; every row from here on is empty.
    int RowCount() const { return static_cast<int>(rows_.size()); }
    /// Columns of `row` that may hold a non-empty cell.
    int ColumnCount(int row) const;
    /// Columns that may hold a non-empty cell in some row; only RestoreShape shrinks it, so that
    /// it costs no walk through the rows.
    int ColumnCount() const { return columnCount_; }

    TStoreShape Shape() const { return {RowCount(), columnCount_}; }
    /// Takes the store back to a shape it had when it held the cells it holds now, as undo and
    /// redo do: empty rows beyond it are dropped, empty rows up to it added. A row beyond it
    /// that holds a cell is kept, and so are the columns of the rows kept.
    void RestoreShape(TStoreShape shape);

    /// Writes one cell; an empty text beyond the stored rows stores nothing.
    void StoreCell(int column, int row, std::string_view text);
    /// Writes columns 0 to cells.Size() - 1 of `row` at once.
    void StoreRow(int row, TRowCells cells);
    /// StoreRow, returning what the row held before, whole and in storage of its own.
    TRowCells ReplaceRow(int row, TRowCells cells);
    /// Puts `cells` in place of the whole row and returns what it held.
    TRowCells ExchangeRow(int row, TRowCells cells);
    /// Puts the cells from `firstColumn` on of rows `sourceRows[i]` into row `firstRow + i`,
    /// all rows being read before any is written.
    void MoveRows(const std::vector<int>& sourceRows, int firstRow, int firstColumn);

    /// A row of these cells (as TRowCells takes them) placed in storage that the store keeps
    /// for many rows, with room for a few more bytes and a cell, such as a score: for writing
    /// many rows at once with StoreRow.
    TRowCells PlacedRowCells(std::string_view bytes, const std::vector<std::uint32_t>& ends);
    /// Gives every placed row storage of its own and frees the shared storage: before the
    /// rows of a new file are placed, so that the storage of an earlier one is not kept.
    void DetachPlacedRows();

    /// Bytes the rows take, their index included.
    std::size_t MemorySize() const;

    /// Makes room for this many stored rows, so that writing them moves no row.
    void ReserveRows(std::size_t count) { rows_.reserve(count); }
    /// Makes room for placed rows of this many bytes in all, so that they take one block.
    void ReservePlacedRowBytes(std::size_t size) { rowArena_.ReserveNextBlock(size); }

private:
    static const TRowCells EmptyRow;

    /// Whether `sourceRows` are the stored rows from `firstRow` on, each once.
    bool IsStoredRowPermutation(const std::vector<int>& sourceRows, int firstRow) const;
    /// MoveRows for a permutation of stored rows, the rows moved rather than copied.
    void PermuteRows(const std::vector<int>& sourceRows, int firstRow, int firstColumn);
    /// MoveRows for any rows, cell by cell.
    void CopyRows(const std::vector<int>& sourceRows, int firstRow, int firstColumn);
    void NoteColumnCount(const TRowCells& row) {
        columnCount_ = std::max(columnCount_, static_cast<int>(row.Size()));
    }
    TRowCells& RowForWriting(int row);

    /// A large table's rows take megabytes: they ask for huge pages.
    using TRows = std::vector<TRowCells, TLargeBlockAllocator<TRowCells>>;

    /// Declared before the rows, which may be placed in it, so that it outlives them.
    TRowArena rowArena_;
    TRows rows_;
    int columnCount_ = 0;
};
