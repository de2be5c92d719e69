#pragma once

#include "table/file/AnswerFile.h"
#include "table/store/AnswerTable.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

/// The fuzzer reports an abort as a finding, with the input that caused it.
inline void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

inline TAnswerTable LoadedTable(const std::string& bytes) {
    TAnswerTable table;
    table.Reset();
    LoadAnswerText(table, bytes);
    return table;
}

/// Every stored cell, rows and columns without their trailing empty cells, so that tables
/// holding the same texts compare equal however much storage each keeps.
using TCells = std::vector<std::vector<std::string>>;

inline TCells CellsOf(const TAnswerTable& table) {
    TCells cells(static_cast<std::size_t>(table.StoredRowCount()));
    for (int row = 0; row < table.StoredRowCount(); ++row) {
        auto& texts = cells[static_cast<std::size_t>(row)];
        for (int column = 0; column < table.StoredColumnCount(row); ++column) {
            texts.emplace_back(table.Cell(column, row));
        }
        while (!texts.empty() && texts.back().empty()) {
            texts.pop_back();
        }
    }
    while (!cells.empty() && cells.back().empty()) {
        cells.pop_back();
    }
    return cells;
}

inline std::string CellOf(const TCells& cells, std::size_t column, std::size_t row) {
    return row < cells.size() && column < cells[row].size() ? cells[row][column] : std::string();
}

/// A sort keeps the header rows and the label column where they are and the student rows as a
/// multiset, each row moving whole.
inline void CheckSortKept(const TCells& before, const TCells& after) {
    const std::size_t rowCount = std::max(before.size(), after.size());
    std::vector<std::vector<std::string>> rowsBefore;
    std::vector<std::vector<std::string>> rowsAfter;
    for (std::size_t row = 0; row < rowCount; ++row) {
        Check(CellOf(before, 0, row) == CellOf(after, 0, row));
        const auto tail = [row](const TCells& cells) {
            std::vector<std::string> texts;
            if (row < cells.size() && cells[row].size() > 1) {
                texts.assign(cells[row].begin() + 1, cells[row].end());
            }
            return texts;
        };
        if (row < static_cast<std::size_t>(TAnswerTable::FirstStudentRow)) {
            Check(tail(before) == tail(after));
        } else {
            rowsBefore.push_back(tail(before));
            rowsAfter.push_back(tail(after));
        }
    }
    std::sort(rowsBefore.begin(), rowsBefore.end());
    std::sort(rowsAfter.begin(), rowsAfter.end());
    Check(rowsBefore == rowsAfter);
}
