#include "Sorting.h"

#include "AnswerFile.h"
#include "platform/Errors.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

namespace {

constexpr std::size_t PaddedScoreLength = 4;

/// Row 3 always, then every row up to the first empty number cell.
std::vector<int> StudentRows(const TAnswerTable& table) {
    std::vector<int> rows{TAnswerTable::FirstStudentRow};
    while (!table.Cell(TAnswerTable::NumberColumn, rows.back() + 1).empty()) {
        rows.push_back(rows.back() + 1);
    }
    return rows;
}

/// The cells of columns 1 to `width`, each followed by a comma, as they stand.
std::string RowLine(const TAnswerTable& table, int row, int width) {
    std::string line;
    for (int column = 1; column <= width; ++column) {
        line += table.Cell(column, row);
        line += ',';
    }
    return line;
}

std::string PaddedScore(std::string_view score) {
    std::string padded(PaddedScoreLength - std::min(PaddedScoreLength, score.size()), '0');
    padded += score;
    return padded;
}

/// The rows in ascending order of their keys.
std::vector<int> SortRows(const std::vector<int>& rows, const std::vector<std::string>& keys,
                          const TCollator& collator) {
    std::vector<std::string> sortKeys;
    sortKeys.reserve(keys.size());
    for (const std::string& key : keys) {
        sortKeys.push_back(collator.SortKey(key));
    }
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return sortKeys[a] < sortKeys[b]; });
    std::vector<int> sorted;
    sorted.reserve(rows.size());
    for (const std::size_t index : order) {
        sorted.push_back(rows[index]);
    }
    return sorted;
}

} // namespace

void SortByNumber(TAnswerTable& table, const TCollator& collator) {
    const std::vector<int> rows = StudentRows(table);
    const int width = WrittenWidth(table);
    std::vector<std::string> keys;
    keys.reserve(rows.size());
    for (const int row : rows) {
        keys.push_back(RowLine(table, row, width));
    }
    table.MoveRows(SortRows(rows, keys, collator), TAnswerTable::FirstStudentRow,
                   TAnswerTable::NumberColumn);
}

void SortByScore(TAnswerTable& table, const TCollator& collator) {
    const std::vector<int> rows = StudentRows(table);
    const int width = WrittenWidth(table);
    const int scoreColumn = table.QuestionCount() + TAnswerTable::FirstQuestionColumn;
    std::vector<std::string> keys;
    keys.reserve(rows.size());
    for (const int row : rows) {
        keys.push_back(PaddedScore(table.Cell(scoreColumn, row)) + ", " +
                       RowLine(table, row, width));
    }
    std::vector<int> sorted = SortRows(rows, keys, collator);
    std::reverse(sorted.begin(), sorted.end());
    table.MoveRows(sorted, TAnswerTable::FirstStudentRow, TAnswerTable::NumberColumn);
}

void SortMarkedTableByScore(TAnswerTable& table, const TCollator& collator) {
    if (!table.IsEnabled(TCommand::mmSortWithPoint)) {
        throw EPelloranError("sort-score needs a marked table: run mark first");
    }
    SortByScore(table, collator);
}
