#include "table/store/CellStore.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

const TRowCells TCellStore::EmptyRow;

TCellStore& TCellStore::operator=(TCellStore&& other) noexcept {
    rows_ = std::move(other.rows_);
    rowArena_ = std::move(other.rowArena_);
    columnCount_ = other.columnCount_;
    return *this;
}

TRowCells& TCellStore::RowForWriting(int row) {
    if (row < 0) {
        throw std::out_of_range("cell outside the table");
    }
    const auto rowIndex = static_cast<std::size_t>(row);
    if (rowIndex >= rows_.size()) {
        rows_.resize(rowIndex + 1);
    }
    return rows_[rowIndex];
}

void TCellStore::StoreCell(int column, int row, std::string_view text) {
    if (column < 0) {
        throw std::out_of_range("cell outside the table");
    }
    if (row >= RowCount() && !text.empty()) {
        // Growing the store moves the rows, and `text` may be a cell of one of them.
        const std::string copy(text);
        TRowCells& cells = RowForWriting(row);
        cells.SetCell(static_cast<std::size_t>(column), copy);
        NoteColumnCount(cells);
    } else if (row < RowCount()) {
        TRowCells& cells = RowForWriting(row);
        cells.SetCell(static_cast<std::size_t>(column), text);
        NoteColumnCount(cells);
    }
}

TRowCells TCellStore::PlacedRowCells(std::string_view bytes,
                                     const std::vector<std::uint32_t>& ends) {
    // Marking adds a score to every student row: with this room it is written in place.
    constexpr std::size_t SpareCells = 1;
    constexpr std::size_t SpareBytes = 8;
    const TRowCells::TPlacement placement{ends.size() + SpareCells, bytes.size() + SpareBytes};
    return TRowCells(bytes, ends, placement, rowArena_.Allocate(placement.StorageSize()));
}

void TCellStore::DetachPlacedRows() {
    for (TRowCells& row : rows_) {
        if (!row.OwnsStorage()) {
            row = TRowCells(row);
        }
    }
    rowArena_.Release();
}

void TCellStore::RestoreShape(TStoreShape shape) {
    std::size_t rowCount = rows_.size();
    const auto wantedRows = static_cast<std::size_t>(std::max(shape.rowCount, 0));
    while (rowCount > wantedRows && rows_[rowCount - 1].Size() == 0) {
        --rowCount;
    }
    rows_.resize(std::max(rowCount, wantedRows));
    columnCount_ = std::max(shape.columnCount, 0);
    // Rows that were not dropped keep their columns.
    for (std::size_t row = wantedRows; row < rows_.size(); ++row) {
        NoteColumnCount(rows_[row]);
    }
}

int TCellStore::ColumnCount(int row) const {
    if (row < 0 || row >= RowCount()) {
        return 0;
    }
    return static_cast<int>(rows_[static_cast<std::size_t>(row)].Size());
}

bool TCellStore::IsStoredRowPermutation(const std::vector<int>& sourceRows, int firstRow) const {
    const auto count = static_cast<int>(sourceRows.size());
    if (firstRow + count > RowCount()) {
        return false;
    }
    std::vector<bool> seen(sourceRows.size(), false);
    for (const int source : sourceRows) {
        const int offset = source - firstRow;
        if (offset < 0 || offset >= count || seen[static_cast<std::size_t>(offset)]) {
            return false;
        }
        seen[static_cast<std::size_t>(offset)] = true;
    }
    return true;
}

void TCellStore::PermuteRows(const std::vector<int>& sourceRows, int firstRow, int firstColumn) {
    // The rows change places whole, without copying their cells; only the cells left of
    // `firstColumn` (the labels) are put back where they were. Most of a large table's labels
    // are empty: only the others are kept aside, by their place among the cells put back.
    const auto columns = static_cast<std::size_t>(firstColumn);
    const auto first = static_cast<std::size_t>(firstRow);
    std::vector<std::pair<std::size_t, std::string>> keptCells;
    TRows moved;
    moved.reserve(sourceRows.size());
    for (std::size_t i = 0; i < sourceRows.size(); ++i) {
        for (std::size_t column = 0; column < columns; ++column) {
            const std::string_view cell = rows_[first + i].Cell(column);
            if (!cell.empty()) {
                keptCells.emplace_back(i * columns + column, cell);
            }
        }
    }
    for (const int source : sourceRows) {
        moved.push_back(std::move(rows_[static_cast<std::size_t>(source)]));
    }
    auto nextKept = keptCells.begin();
    for (std::size_t i = 0; i < moved.size(); ++i) {
        TRowCells& row = rows_[first + i];
        row = std::move(moved[i]);
        for (std::size_t column = 0; column < columns; ++column) {
            if (nextKept != keptCells.end() && nextKept->first == i * columns + column) {
                row.SetCell(column, nextKept->second);
                ++nextKept;
            } else {
                row.SetCell(column, {});
            }
        }
    }
}

void TCellStore::CopyRows(const std::vector<int>& sourceRows, int firstRow, int firstColumn) {
    const auto fromColumn = static_cast<std::size_t>(firstColumn);
    TRows taken;
    taken.reserve(sourceRows.size());
    std::size_t neededRows = rows_.size();
    for (const int source : sourceRows) {
        taken.push_back(source >= 0 && source < RowCount()
                            ? rows_[static_cast<std::size_t>(source)].TakeFrom(fromColumn)
                            : TRowCells());
        if (taken.back().Size() > 0) {
            neededRows = std::max(neededRows, static_cast<std::size_t>(firstRow) + taken.size());
        }
    }
    rows_.resize(neededRows);
    for (std::size_t i = 0; i < taken.size(); ++i) {
        const std::size_t row = static_cast<std::size_t>(firstRow) + i;
        if (row < rows_.size()) {
            rows_[row].PutFrom(fromColumn, taken[i]);
            NoteColumnCount(rows_[row]);
        }
    }
}

void TCellStore::StoreRow(int row, TRowCells cells) {
    TRowCells& target = RowForWriting(row);
    const std::size_t columns = cells.Size();
    if (target.Size() <= columns) {
        cells.DropTrailingEmptyCells();
        target = std::move(cells);
    } else {
        for (std::size_t column = 0; column < columns; ++column) {
            target.SetCell(column, cells.Cell(column));
        }
    }
    NoteColumnCount(target);
}

TRowCells TCellStore::ReplaceRow(int row, TRowCells cells) {
    TRowCells& target = RowForWriting(row);
    // A row placed in the store's shared storage may outlive that storage in the caller's
    // hands; a row that keeps cells beyond `cells` is copied, as it stays.
    TRowCells old = target.Size() <= cells.Size() && target.OwnsStorage() ? std::move(target)
                                                                          : TRowCells(target);
    StoreRow(row, std::move(cells));
    return old;
}

TRowCells TCellStore::ExchangeRow(int row, TRowCells cells) {
    TRowCells& target = RowForWriting(row);
    TRowCells old = target.OwnsStorage() ? std::move(target) : TRowCells(target);
    target = std::move(cells);
    NoteColumnCount(target);
    return old;
}

std::size_t TCellStore::MemorySize() const {
    std::size_t size = (rows_.capacity() - rows_.size()) * sizeof(TRowCells);
    for (const TRowCells& row : rows_) {
        size += row.MemorySize();
    }
    return size;
}

void TCellStore::MoveRows(const std::vector<int>& sourceRows, int firstRow, int firstColumn) {
    if (sourceRows.empty()) {
        return;
    }
    if (firstRow < 0 || firstColumn < 0) {
        throw std::out_of_range("cell outside the table");
    }
    if (IsStoredRowPermutation(sourceRows, firstRow)) {
        PermuteRows(sourceRows, firstRow, firstColumn);
    } else {
        CopyRows(sourceRows, firstRow, firstColumn);
    }
}
