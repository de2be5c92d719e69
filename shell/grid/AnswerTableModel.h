#pragma once

#include "table/store/AnswerTable.h"

#include <QAbstractTableModel>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

/// The shown part of the answer table as a Qt model, holding no cells of its own: model row r
/// and column c are the table's cell (c + 1, r + 1); the table's row 0 and column 0 are the
/// headers, which the grid's header views draw from the table themselves.
///
/// It serves the grid's size and its editor, not its painting: the grid paints the cells from
/// the table on the table's view notices, so the writes the table makes itself (loading,
/// marking, sorting, pasting) pass the model by, and `dataChanged` tells of an edit made
/// through setData only.
///
/// It shows the whole table and one empty row and column after it, where the teacher can add a
/// student or a question, and never fewer than the 55 x 103 cells of an empty test. Its size
/// follows the table when UpdateShape is called, not at each write: a file of many rows grows
/// it once.
class TAnswerTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit TAnswerTableModel(TAnswerTable& table, QObject* parent = nullptr);

    static int ColumnOf(const QModelIndex& index) { return index.column() + 1; }
    static int RowOf(const QModelIndex& index) { return index.row() + 1; }
    QModelIndex IndexOf(int column, int row) const { return index(row - 1, column - 1); }

    /// Rows and columns of the table shown, the header row and label column included.
    int ShownRowCount() const { return rowCount_ + 1; }
    int ShownColumnCount() const { return columnCount_ + 1; }
    /// What they should be for the table as it is now.
    static int WantedRowCount(const TAnswerTable& table);
    static int WantedColumnCount(const TAnswerTable& table);
    /// Brings the shown rows and columns to the wanted ones; true when they changed.
    bool UpdateShape();

    /// The label of a row: its label cell, or, below the rows that the reset labels, the row's
    /// student number when that cell is empty.
    static std::string RowLabel(const TAnswerTable& table, int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    /// Who writes an edit into the table: the window's history, so that typing can be undone.
    /// Without one the model writes the cell itself.
    using TCellWriter = std::function<void(int column, int row, std::string_view text)>;
    void SetCellWriter(TCellWriter writer) { writer_ = std::move(writer); }

    /// Writes the cell, as the editor does with every edit, and tells of it.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    TAnswerTable& Table() const { return table_; }

private:
    void UpdateRowCount(int wanted);
    void UpdateColumnCount(int wanted);

    TAnswerTable& table_;
    TCellWriter writer_;
    int rowCount_ = TAnswerTable::ShownRows - 1;
    int columnCount_ = TAnswerTable::ShownColumns - 1;
};
