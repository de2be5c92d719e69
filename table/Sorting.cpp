#include "Sorting.h"

#include "AnswerFile.h"
#include "platform/Errors.h"

#include <algorithm>
#include <numeric>
#include <ranges>
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

/// Appends the cells of columns 1 to `width`, each followed by a comma, as they stand.
void AppendRowLine(const TAnswerTable& table, int row, int width, std::string& line) {
    const auto columns = static_cast<std::size_t>(width);
    std::size_t stored = 0;
    table.Row(row).ForEachCell(1, columns + 1, [&](std::string_view cell) {
        line += cell;
        line += ',';
        ++stored;
    });
    line.append(columns - stored, ',');
}

void AppendPaddedScore(std::string_view score, std::string& key) {
    key.append(PaddedScoreLength - std::min(PaddedScoreLength, score.size()), '0');
    key += score;
}

/// Which neighbours in `order` (sorted by their prefixes' ranks) only the collator can order:
/// linked[i] for order[i - 1] and order[i].
std::vector<bool> LinkUndecided(const std::vector<std::size_t>& order,
                                const std::vector<TPrimaryPrefix>& prefixes) {
    const std::size_t count = order.size();
    std::vector<bool> linked(count, false);
    const auto commonLength = [&](std::size_t at) {
        const TPrimaryPrefix& a = prefixes[order[at - 1]];
        const TPrimaryPrefix& b = prefixes[order[at]];
        std::size_t length = 0;
        while (length < std::min(a.length, b.length) && a.ranks[length] == b.ranks[length]) {
            ++length;
        }
        return length;
    };
    for (std::size_t at = 1; at < count; ++at) {
        const TPrimaryPrefix& a = prefixes[order[at - 1]];
        const TPrimaryPrefix& b = prefixes[order[at]];
        // Equal weights throughout: only the later levels can order them.
        linked[at] = a.complete && b.complete && a.ranks == b.ranks;
    }
    // A cut prefix leaves in doubt every row that shares it, before or after it in the order:
    // sweep both ways, holding the shortest cut prefix whose run of sharers is still open.
    const auto sweep = [&](auto positions) {
        constexpr std::size_t None = TPrimaryPrefix::Capacity + 1;
        std::size_t open = None;
        std::size_t previous = count;
        for (const std::size_t at : positions) {
            if (previous != count) {
                const std::size_t boundary = std::max(previous, at);
                if (commonLength(boundary) >= open) {
                    linked[boundary] = true;
                } else {
                    open = None;
                }
            }
            if (!prefixes[order[at]].complete) {
                open = std::min<std::size_t>(open, prefixes[order[at]].length);
            }
            previous = at;
        }
    };
    sweep(std::views::iota(std::size_t{0}, count));
    sweep(std::views::iota(std::size_t{0}, count) | std::views::reverse);
    return linked;
}

/// Where each row of the sort goes in sorted order; `appendKey(i, text)` appends the key of
/// row i. Keys that compare equal keep their rows' order.
template <typename TAppendKey>
std::vector<std::size_t> SortedOrder(std::size_t count, const TCollator& collator,
                                     TAppendKey&& appendKey) {
    // Most rows are told apart by the weights of their first characters; only rows those
    // leave in doubt (see LinkUndecided) get the collator's whole keys.
    std::vector<TPrimaryPrefix> prefixes(count);
    std::string key;
    for (std::size_t i = 0; i < count; ++i) {
        key.clear();
        appendKey(i, key);
        prefixes[i] = collator.PrimaryPrefix(key);
    }
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return prefixes[a].ranks < prefixes[b].ranks;
    });
    const std::vector<bool> linked = LinkUndecided(order, prefixes);
    std::vector<std::pair<std::string, std::size_t>> group;
    for (std::size_t first = 0; first < count;) {
        std::size_t end = first + 1;
        while (end < count && linked[end]) {
            ++end;
        }
        if (end - first > 1) {
            group.clear();
            for (std::size_t at = first; at < end; ++at) {
                key.clear();
                appendKey(order[at], key);
                group.emplace_back(collator.SortKey(key), order[at]);
            }
            std::sort(group.begin(), group.end());
            for (std::size_t at = first; at < end; ++at) {
                order[at] = group[at - first].second;
            }
        }
        first = end;
    }
    return order;
}

/// The student rows in the order of `order`.
std::vector<int> RowsInOrder(const std::vector<int>& rows, const std::vector<std::size_t>& order) {
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
    const std::vector<std::size_t> order =
        SortedOrder(rows.size(), collator, [&](std::size_t i, std::string& key) {
            AppendRowLine(table, rows[i], width, key);
        });
    table.MoveRows(RowsInOrder(rows, order), TAnswerTable::FirstStudentRow,
                   TAnswerTable::NumberColumn);
}

void SortByScore(TAnswerTable& table, const TCollator& collator) {
    const std::vector<int> rows = StudentRows(table);
    const int width = WrittenWidth(table);
    const int scoreColumn = table.QuestionCount() + TAnswerTable::FirstQuestionColumn;
    const std::vector<std::size_t> order =
        SortedOrder(rows.size(), collator, [&](std::size_t i, std::string& key) {
            AppendPaddedScore(table.Cell(scoreColumn, rows[i]), key);
            key += ", ";
            AppendRowLine(table, rows[i], width, key);
        });
    std::vector<int> sorted = RowsInOrder(rows, order);
    std::reverse(sorted.begin(), sorted.end());
    table.MoveRows(sorted, TAnswerTable::FirstStudentRow, TAnswerTable::NumberColumn);
}

void SortMarkedTableByScore(TAnswerTable& table, const TCollator& collator) {
    if (!table.IsEnabled(TCommand::mmSortWithPoint)) {
        throw EPelloranError("sort-score needs a marked table: run mark first");
    }
    SortByScore(table, collator);
}
