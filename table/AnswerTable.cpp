#include "AnswerTable.h"

#include <stdexcept>

namespace {

constexpr int LastQuestionColumnOfReset = 52;
constexpr int LastStudentRowOfReset = 102;

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
    if (column < 0) {
        throw std::out_of_range("cell outside the table");
    }
    if (row >= StoredRowCount() && !text.empty()) {
        // Growing the store moves the rows, and `text` may be a cell of one of them.
        const std::string copy(text);
        RowForWriting(row).SetCell(static_cast<std::size_t>(column), copy);
    } else if (row < StoredRowCount()) {
        RowForWriting(row).SetCell(static_cast<std::size_t>(column), text);
    }
    NotifyCellWritten(column, row);
}

void TAnswerTable::WriteRowCells(int row, TRowCells cells) {
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
    if (view_ != nullptr) {
        for (std::size_t column = 0; column < columns; ++column) {
            view_->CellWritten(static_cast<int>(column), row);
        }
    }
}

int TAnswerTable::StoredColumnCount(int row) const {
    if (row < 0 || row >= StoredRowCount()) {
        return 0;
    }
    return static_cast<int>(rows_[static_cast<std::size_t>(row)].Size());
}

void TAnswerTable::MoveRows(const std::vector<int>& sourceRows, int firstRow, int firstColumn) {
    const auto fromColumn = static_cast<std::size_t>(firstColumn);
    std::vector<TRowCells> taken;
    taken.reserve(sourceRows.size());
    int widest = 0;
    for (const int source : sourceRows) {
        widest = std::max(widest, StoredColumnCount(source));
        taken.push_back(source >= 0 && source < StoredRowCount()
                            ? rows_[static_cast<std::size_t>(source)].TakeFrom(fromColumn)
                            : TRowCells());
    }
    for (std::size_t i = 0; i < taken.size(); ++i) {
        const int row = firstRow + static_cast<int>(i);
        if (taken[i].Size() > 0 && row >= StoredRowCount()) {
            rows_.resize(static_cast<std::size_t>(row) + 1);
        }
        if (row < StoredRowCount()) {
            widest = std::max(widest, StoredColumnCount(row));
            rows_[static_cast<std::size_t>(row)].PutFrom(fromColumn, taken[i]);
        }
        for (int column = firstColumn; column < widest; ++column) {
            NotifyCellWritten(column, row);
        }
    }
}

void TAnswerTable::Reset() {
    SetColumnWidth(1, 60);
    SetColumnWidth(2, 80);
    SetCell(1, 0, Message(1));
    SetCell(2, 0, Message(2));
    SetCell(0, 1, Message(3));
    SetCell(0, 2, Message(4));
    for (int column = 3; column <= LastQuestionColumnOfReset; ++column) {
        SetCell(column, 0, Message(5) + std::to_string(column - 2));
    }
    for (int row = 3; row <= LastStudentRowOfReset; ++row) {
        SetCell(0, row, std::to_string(row - 2));
    }
    for (int row = 1; row <= LastStudentRowOfReset + 1; ++row) {
        for (int column = 1; column <= LastQuestionColumnOfReset; ++column) {
            SetCell(column, row, {});
        }
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

void TAnswerTable::ProcessMessages() {
    if (view_ != nullptr) {
        view_->ProcessMessages();
    }
}

void TAnswerTable::NotifyCellWritten(int column, int row) {
    if (view_ != nullptr) {
        view_->CellWritten(column, row);
    }
}
