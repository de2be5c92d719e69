#pragma once

#include "table/store/AnswerTable.h"

#include <string_view>

/// A table written from row 1 (the answer key) down: "/" between rows, "|" between the cells
/// of a row from column 1 on ("|a|b/|2|3/1001|Ann|a|c").
inline TAnswerTable TableOfRows(std::string_view text) {
    TAnswerTable table;
    int row = TAnswerTable::AnswerKeyRow;
    int column = TAnswerTable::NumberColumn;
    std::string cell;
    const auto flush = [&] {
        table.SetCell(column, row, cell);
        cell.clear();
    };
    for (const char byte : text) {
        if (byte == '|') {
            flush();
            ++column;
        } else if (byte == '/') {
            flush();
            ++row;
            column = TAnswerTable::NumberColumn;
        } else {
            cell += byte;
        }
    }
    flush();
    return table;
}
