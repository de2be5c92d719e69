#include "table/store/AnswerTable.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace {

constexpr int LastQuestionColumnOfReset = 52;

std::size_t CommandIndex(TCommand command) {
    return static_cast<std::size_t>(command);
}

} // namespace

const TRowCells TAnswerTable::EmptyRow;

TRowCells& TAnswerTable::RowForWriting(int row) {
    if (row < 0) {
        throw std::out_of_range("cell outside the table");
    }
    const auto rowIndex = static_cast<std::size_t>(row);
    if (rowIndex >= rows_.size()) {
        rows_.resize(rowIndex + 1);
    }
    return rows_[rowIndex];
}

void TAnswerTable::SetCell(int column, int row, std::string_view text) {
    const int oldRowCount = StoredRowCount();
    StoreCell(column, row, text);
    NotifyRowCountChange(oldRowCount);
    NotifyCellWritten(column, row);
}

void TAnswerTable::StoreCell(int column, int row, std::string_view text) {
    if (column < 0) {
        throw std::out_of_range("cell outside the table");
    }
    if (row >= StoredRowCount() && !text.empty()) {
        // Growing the store moves the rows, and `text` may be a cell of one of them.
        const std::string copy(text);
        TRowCells& cells = RowForWriting(row);
        cells.SetCell(static_cast<std::size_t>(column), copy);
        NoteColumnCount(cells);
    } else if (row < StoredRowCount()) {
        TRowCells& cells = RowForWriting(row);
        cells.SetCell(static_cast<std::size_t>(column), text);
        NoteColumnCount(cells);
    }
}

void TAnswerTable::WriteRowCells(int row, TRowCells cells) {
    const int oldRowCount = StoredRowCount();
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
    NotifyRowCountChange(oldRowCount);
    if (view_ != nullptr) {
        view_->RowsWritten(row, row);
    }
}

TRowCells TAnswerTable::PlacedRowCells(std::string_view bytes,
                                       const std::vector<std::uint32_t>& ends) {
    // Marking adds a score to every student row: with this room it is written in place.
    constexpr std::size_t SpareCells = 1;
    constexpr std::size_t SpareBytes = 8;
    const TRowCells::TPlacement placement{ends.size() + SpareCells, bytes.size() + SpareBytes};
    return TRowCells(bytes, ends, placement, rowArena_.Allocate(placement.StorageSize()));
}

void TAnswerTable::DetachPlacedRows() {
    for (TRowCells& row : rows_) {
        if (!row.OwnsStorage()) {
            row = TRowCells(row);
        }
    }
    rowArena_.Release();
}

int TAnswerTable::StoredColumnCount(int row) const {
    if (row < 0 || row >= StoredRowCount()) {
        return 0;
    }
    return static_cast<int>(rows_[static_cast<std::size_t>(row)].Size());
}

void TAnswerTable::MoveRows(const std::vector<int>& sourceRows, int firstRow, int firstColumn) {
    if (sourceRows.empty()) {
        return;
    }
    if (firstRow < 0 || firstColumn < 0) {
        throw std::out_of_range("cell outside the table");
    }
    const int oldRowCount = StoredRowCount();
    if (IsStoredRowPermutation(sourceRows, firstRow)) {
        PermuteRows(sourceRows, firstRow, firstColumn);
    } else {
        CopyRows(sourceRows, firstRow, firstColumn);
    }
    NotifyRowCountChange(oldRowCount);
    if (view_ != nullptr) {
        view_->RowsWritten(firstRow, firstRow + static_cast<int>(sourceRows.size()) - 1);
    }
}

bool TAnswerTable::IsStoredRowPermutation(const std::vector<int>& sourceRows, int firstRow) const {
    const auto count = static_cast<int>(sourceRows.size());
    if (firstRow + count > StoredRowCount()) {
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

void TAnswerTable::PermuteRows(const std::vector<int>& sourceRows, int firstRow, int firstColumn) {
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

void TAnswerTable::CopyRows(const std::vector<int>& sourceRows, int firstRow, int firstColumn) {
    const auto fromColumn = static_cast<std::size_t>(firstColumn);
    TRows taken;
    taken.reserve(sourceRows.size());
    std::size_t neededRows = rows_.size();
    for (const int source : sourceRows) {
        taken.push_back(source >= 0 && source < StoredRowCount()
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

void TAnswerTable::Reset() {
    ReplaceCells(EmptyTest());
}

TAnswerTable TAnswerTable::EmptyTest() const {
    TAnswerTable empty;
    empty.messages_ = messages_;
    empty.StoreTitlesAndLabels();
    return empty;
}

void TAnswerTable::StoreTitlesAndLabels() {
    StoreCell(1, 0, Message(1));
    StoreCell(2, 0, Message(2));
    StoreCell(0, 1, Message(3));
    StoreCell(0, 2, Message(4));
    for (int column = 3; column <= LastQuestionColumnOfReset; ++column) {
        StoreCell(column, 0, Message(5) + std::to_string(column - 2));
    }
    for (int row = 3; row < ShownRows; ++row) {
        StoreCell(0, row, std::to_string(row - 2));
    }
}

void TAnswerTable::ReplaceCells(TAnswerTable&& loaded) {
    SetColumnWidth(1, 60);
    SetColumnWidth(2, 80);
    const int oldRowCount = StoredRowCount();
    // The rows go before the storage they may be placed in.
    rows_ = std::move(loaded.rows_);
    rowArena_ = std::move(loaded.rowArena_);
    storedColumnCount_ = loaded.storedColumnCount_;
    NotifyRowCountChange(oldRowCount);
    if (view_ != nullptr) {
        view_->TableReset();
    }
    SetEnabled(TCommand::mmSortWithPoint, false);
    SetEnabled(TCommand::mmSortWithNumber, false);
    SetEnabled(TCommand::mmMark, false);
}

const std::string& TAnswerTable::Message(int number) const {
    return messages_.at(static_cast<std::size_t>(number - 1));
}

void TAnswerTable::SetMessage(int number, std::string text) {
    messages_.at(static_cast<std::size_t>(number - 1)) = std::move(text);
}

const std::string& TAnswerTable::FailureText(TFailureText text) const {
    return failureTexts_.at(static_cast<std::size_t>(text));
}

void TAnswerTable::SetFailureText(TFailureText text, std::string value) {
    failureTexts_.at(static_cast<std::size_t>(text)) = std::move(value);
}

int TAnswerTable::ColumnWidth(int column) const {
    const auto found = columnWidths_.find(column);
    return found == columnWidths_.end() ? DefaultColumnWidth : found->second;
}

void TAnswerTable::SetColumnWidth(int column, int pixels) {
    columnWidths_[column] = pixels;
    if (view_ != nullptr) {
        view_->ColumnWidthSet(column, pixels);
    }
}

bool TAnswerTable::IsEnabled(TCommand command) const {
    return enabled_[CommandIndex(command)];
}

void TAnswerTable::SetEnabled(TCommand command, bool enabled) {
    enabled_[CommandIndex(command)] = enabled;
    if (view_ != nullptr) {
        view_->CommandsChanged();
    }
}

void TAnswerTable::EnableMarkAndSortByNumber() {
    SetEnabled(TCommand::mmSortWithNumber, true);
    SetEnabled(TCommand::mmMark, true);
}

void TAnswerTable::NotifyRowCountChange(int oldRowCount) {
    if (view_ != nullptr && StoredRowCount() != oldRowCount) {
        view_->RowCountChanged(StoredRowCount());
    }
}
