#include "shell/grid/AnswerTableModel.h"

#include "shell/window/ShellText.h"

#include <algorithm>

TAnswerTableModel::TAnswerTableModel(TAnswerTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {
    rowCount_ = WantedRowCount(table) - 1;
    columnCount_ = WantedColumnCount(table) - 1;
}

int TAnswerTableModel::WantedRowCount(const TAnswerTable& table) {
    const int stored = table.StoredRowCount();
    const int lastRow = stored - 1;
    // A row that holds only the label the reset gave it is no content that asks for an empty
    // row after it; a label below those, such as the rate row's, is.
    const bool lastRowHoldsContent =
        lastRow >= TAnswerTable::ShownRows || table.StoredColumnCount(lastRow) > 1;
    return std::max(TAnswerTable::ShownRows, lastRowHoldsContent ? stored + 1 : stored);
}

int TAnswerTableModel::WantedColumnCount(const TAnswerTable& table) {
    return std::max(TAnswerTable::ShownColumns, table.StoredColumnCount() + 1);
}

bool TAnswerTableModel::UpdateShape() {
    const int wantedRows = WantedRowCount(table_) - 1;
    const int wantedColumns = WantedColumnCount(table_) - 1;
    if (wantedRows == rowCount_ && wantedColumns == columnCount_) {
        return false;
    }
    UpdateRowCount(wantedRows);
    UpdateColumnCount(wantedColumns);
    return true;
}

void TAnswerTableModel::UpdateRowCount(int wanted) {
    if (wanted > rowCount_) {
        beginInsertRows(QModelIndex(), rowCount_, wanted - 1);
        rowCount_ = wanted;
        endInsertRows();
    } else if (wanted < rowCount_) {
        beginRemoveRows(QModelIndex(), wanted, rowCount_ - 1);
        rowCount_ = wanted;
        endRemoveRows();
    }
}

void TAnswerTableModel::UpdateColumnCount(int wanted) {
    if (wanted > columnCount_) {
        beginInsertColumns(QModelIndex(), columnCount_, wanted - 1);
        columnCount_ = wanted;
        endInsertColumns();
    } else if (wanted < columnCount_) {
        beginRemoveColumns(QModelIndex(), wanted, columnCount_ - 1);
        columnCount_ = wanted;
        endRemoveColumns();
    }
}

std::string TAnswerTableModel::RowLabel(const TAnswerTable& table, int row) {
    const std::string_view label = table.Cell(0, row);
    if (label.empty() && row >= TAnswerTable::ShownRows) {
        return std::to_string(row - 2);
    }
    return std::string(label);
}

int TAnswerTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rowCount_;
}

int TAnswerTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columnCount_;
}

QVariant TAnswerTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return {};
    }
    return FromCodePage(table_.Cell(ColumnOf(index), RowOf(index)));
}

bool TAnswerTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) {
        return false;
    }
    const std::string text = ToCodePage(value.toString());
    if (writer_) {
        writer_(ColumnOf(index), RowOf(index), text);
    } else {
        table_.SetCell(ColumnOf(index), RowOf(index), text);
    }
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags TAnswerTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}
