#include "table/clipboard/TitledBlock.h"

#include "table/marking/TableWalks.h"

#include <string_view>
#include <vector>

namespace {

/// The number and name columns left of the range's first column.
std::vector<int> TitleColumnsLeftOf(int firstColumn) {
    std::vector<int> columns;
    for (const int column : {TAnswerTable::NumberColumn, TAnswerTable::NameColumn}) {
        if (column < firstColumn) {
            columns.push_back(column);
        }
    }
    return columns;
}

bool IsKeyOrPointsRow(int row) {
    return row == TAnswerTable::AnswerKeyRow || row == TAnswerTable::PointsRow;
}

/// The key and points rows have no number: their labels name them.
std::string_view RowTitle(const TAnswerTable& table, int column, int row) {
    if (column == TAnswerTable::NumberColumn && IsKeyOrPointsRow(row)) {
        return table.Cell(0, row);
    }
    return table.Cell(column, row);
}

std::string_view WithoutResultBrackets(std::string_view cell, int row) {
    if (IsKeyOrPointsRow(row) && IsResultMarker(cell)) {
        cell.remove_prefix(1);
        cell.remove_suffix(1);
    }
    return cell;
}

} // namespace

TCellBlock CopyTitledBlock(const TAnswerTable& table, TCellRange range) {
    const TCellRange cells = range.Normalised();
    const TCellBlock block = CopyCellBlock(table, cells);
    const std::vector<int> titleColumns = TitleColumnsLeftOf(cells.firstColumn);
    TCellBlock titled;
    if (cells.firstRow > 0) {
        titled.AddRow();
        for (const int column : titleColumns) {
            titled.AppendCell(table.Cell(column, 0));
        }
        for (int column = cells.firstColumn; column <= cells.lastColumn; ++column) {
            titled.AppendCell(table.Cell(column, 0));
        }
    }
    for (int row = 0; row < block.RowCount(); ++row) {
        const int tableRow = cells.firstRow + row;
        titled.AddRow();
        for (const int column : titleColumns) {
            titled.AppendCell(RowTitle(table, column, tableRow));
        }
        const TBlockRow blockRow = block.Row(row);
        for (int column = 0; column < blockRow.ColumnCount(); ++column) {
            titled.AppendCell(WithoutResultBrackets(blockRow.Cell(column), tableRow));
        }
    }
    return titled;
}
