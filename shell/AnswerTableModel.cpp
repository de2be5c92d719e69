#include "AnswerTableModel.h"

#include "ShellText.h"

TAnswerTableModel::TAnswerTableModel(TAnswerTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {}

int TAnswerTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : TAnswerTable::ShownRows - 1;
}

int TAnswerTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : TAnswerTable::ShownColumns - 1;
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
    table_.SetCell(ColumnOf(index), RowOf(index), ToCodePage(value.toString()));
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

QVariant TAnswerTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return {};
    }
    return orientation == Qt::Horizontal ? FromCodePage(table_.Cell(section + 1, 0))
                                         : FromCodePage(table_.Cell(0, section + 1));
}

Qt::ItemFlags TAnswerTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}
