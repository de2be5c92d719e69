#include "table/store/AnswerTable.h"

#include <string>
#include <utility>

namespace {

constexpr int LastQuestionColumnOfReset = 52;

std::size_t CommandIndex(TCommand command) {
    return static_cast<std::size_t>(command);
}

} // namespace

void TAnswerTable::SetCell(int column, int row, std::string_view text) {
    if (recorder_ != nullptr) {
        recorder_->CellChanging(column, row, Cell(column, row), text);
    }
    const int oldRowCount = StoredRowCount();
    store_.StoreCell(column, row, text);
    NotifyRowCountChange(oldRowCount);
    NotifyCellWritten(column, row);
}

void TAnswerTable::WriteRowCells(int row, TRowCells cells) {
    const int oldRowCount = StoredRowCount();
    if (recorder_ != nullptr) {
        recorder_->RowReplaced(row, store_.ReplaceRow(row, std::move(cells)));
    } else {
        store_.StoreRow(row, std::move(cells));
    }
    NotifyRowCountChange(oldRowCount);
    if (view_ != nullptr) {
        view_->RowsWritten(row, row);
    }
}

TRowCells TAnswerTable::ExchangeRow(int row, TRowCells cells) {
    const int oldRowCount = StoredRowCount();
    TRowCells old = store_.ExchangeRow(row, std::move(cells));
    NotifyRowCountChange(oldRowCount);
    if (view_ != nullptr) {
        view_->RowsWritten(row, row);
    }
    return old;
}

void TAnswerTable::RestoreStoredShape(TStoreShape shape) {
    const int oldRowCount = StoredRowCount();
    store_.RestoreShape(shape);
    NotifyRowCountChange(oldRowCount);
}

TCellStore TAnswerTable::ExchangeCells(TCellStore cells) {
    const int oldRowCount = StoredRowCount();
    TCellStore old = std::move(store_);
    store_ = std::move(cells);
    NotifyRowCountChange(oldRowCount);
    if (view_ != nullptr) {
        view_->TableReset();
    }
    return old;
}

void TAnswerTable::MoveRows(const std::vector<int>& sourceRows, int firstRow, int firstColumn) {
    if (sourceRows.empty()) {
        return;
    }
    if (recorder_ != nullptr) {
        recorder_->RowsMoving(store_, sourceRows, firstRow, firstColumn);
    }
    const int oldRowCount = StoredRowCount();
    store_.MoveRows(sourceRows, firstRow, firstColumn);
    NotifyRowCountChange(oldRowCount);
    if (view_ != nullptr) {
        view_->RowsWritten(firstRow, firstRow + static_cast<int>(sourceRows.size()) - 1);
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
    store_.StoreCell(1, 0, Message(TMessage::NumberTitle));
    store_.StoreCell(2, 0, Message(TMessage::NameTitle));
    store_.StoreCell(0, 1, Message(TMessage::AnswerKeyLabel));
    store_.StoreCell(0, 2, Message(TMessage::PointsLabel));
    for (int column = 3; column <= LastQuestionColumnOfReset; ++column) {
        store_.StoreCell(column, 0,
                         Message(TMessage::QuestionTitlePrefix) + std::to_string(column - 2));
    }
    for (int row = 3; row < ShownRows; ++row) {
        store_.StoreCell(0, row, std::to_string(row - 2));
    }
}

void TAnswerTable::ReplaceCells(TAnswerTable&& loaded) {
    SetColumnWidth(1, 60);
    SetColumnWidth(2, 80);
    const int oldRowCount = StoredRowCount();
    if (recorder_ != nullptr) {
        recorder_->CellsReplaced(std::move(store_));
    }
    store_ = std::move(loaded.store_);
    NotifyRowCountChange(oldRowCount);
    if (view_ != nullptr) {
        view_->TableReset();
    }
    SetEnabled(TCommand::mmSortWithPoint, false);
    SetEnabled(TCommand::mmSortWithNumber, false);
    SetEnabled(TCommand::mmMark, false);
}

const std::string& TAnswerTable::Message(TMessage message) const {
    return messages_.at(static_cast<std::size_t>(message) - 1);
}

void TAnswerTable::SetMessage(TMessage message, std::string text) {
    messages_.at(static_cast<std::size_t>(message) - 1) = std::move(text);
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

void TAnswerTable::SetColumnWidths(const std::map<int, int>& widths) {
    std::map<int, int> changed;
    for (const auto& [column, pixels] : columnWidths_) {
        if (!widths.contains(column)) {
            changed[column] = DefaultColumnWidth;
        }
    }
    for (const auto& [column, pixels] : widths) {
        if (ColumnWidth(column) != pixels) {
            changed[column] = pixels;
        }
    }
    columnWidths_ = widths;
    if (view_ != nullptr) {
        for (const auto& [column, pixels] : changed) {
            view_->ColumnWidthSet(column, pixels);
        }
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
