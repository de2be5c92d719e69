#pragma once

#include "table/AnswerTable.h"

#include <QAbstractTableModel>

/// The shown area of the answer table as a Qt model, holding no cells of its own: model row r
/// and column c are the table's cell (c + 1, r + 1); the table's row 0 and column 0 are the
/// headers. Writes that the table makes itself reach the grid through its view notices, so
/// the model signals only the edits made through it.
class TAnswerTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit TAnswerTableModel(TAnswerTable& table, QObject* parent = nullptr);

    static int ColumnOf(const QModelIndex& index) { return index.column() + 1; }
    static int RowOf(const QModelIndex& index) { return index.row() + 1; }
    QModelIndex IndexOf(int column, int row) const { return index(row - 1, column - 1); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    TAnswerTable& Table() const { return table_; }

private:
    TAnswerTable& table_;
};
