#include "table/marking/Sorting.h"

#include "platform/Errors.h"
#include "platform/LargeBlock.h"
#include "table/file/AnswerFile.h"
#include "table/marking/TableWalks.h"
#include "table/progress/Progress.h"
#include "table/store/RowCells.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <limits>
#include <numeric>
#include <string>
#include <vector>

namespace {

constexpr std::size_t PaddedScoreLength = 4;
/// The padded score and the ", " before the row line.
constexpr std::size_t ScoreKeyLength = PaddedScoreLength + 2;

/// Row 3 always, then every row up to the first empty number cell.
std::vector<int> StudentRows(const TAnswerTable& table) {
    std::vector<int> rows{TAnswerTable::FirstStudentRow};
    while (HasStudentAfter(table, rows.back())) {
        rows.push_back(rows.back() + 1);
    }
    return rows;
}

/// Appends the cells of columns 1 to `width`, each followed by a comma, as they stand, or
/// only so many of them that the key holds at least `limit` bytes.
void AppendRowLine(const TAnswerTable& table, int row, int width, std::size_t limit,
                   std::string& key) {
    const TRowCells& cells = table.Store().Row(row);
    const auto columns = static_cast<std::size_t>(width);
    for (std::size_t column = 1; column <= columns && key.size() < limit; ++column) {
        key += cells.Cell(column);
        key += ',';
    }
}

void AppendPaddedScore(std::string_view score, std::string& key) {
    key.append(PaddedScoreLength - std::min(PaddedScoreLength, score.size()), '0');
    key += score;
}

/// A row's place in the table before the sort and the fast part of its key: the ranks of its
/// prefix four to a word, the first in the highest bits, so that words compare as the ranks
/// do, and after the last rank zeros, which no rank is.
struct TRowPrefix {
    static constexpr std::size_t RanksPerWord = 4;
    static constexpr std::size_t RankBits = 16;
    static constexpr std::size_t Words = TPrimaryPrefix::Capacity / RanksPerWord;
    std::array<std::uint64_t, Words> packedRanks{};
    std::uint32_t index = 0;
    std::uint8_t length = 0;
    bool complete = false;

    TRowPrefix(const TPrimaryPrefix& prefix, std::size_t rowIndex)
        : index(static_cast<std::uint32_t>(rowIndex)), length(prefix.length),
          complete(prefix.complete) {
        for (std::size_t at = 0; at < TPrimaryPrefix::Capacity; ++at) {
            std::uint64_t& word = packedRanks[at / RanksPerWord];
            word = word << RankBits | prefix.ranks[at];
        }
    }

    /// Rows with equal ranks stay in table order.
    bool operator<(const TRowPrefix& other) const {
        for (std::size_t word = 0; word < Words; ++word) {
            if (packedRanks[word] != other.packedRanks[word]) {
                return packedRanks[word] < other.packedRanks[word];
            }
        }
        return index < other.index;
    }

    /// How many ranks from the first the two share: all of them when they are equal.
    std::size_t SharedRanks(const TRowPrefix& other) const {
        for (std::size_t word = 0; word < Words; ++word) {
            const std::uint64_t differing = packedRanks[word] ^ other.packedRanks[word];
            if (differing != 0) {
                return word * RanksPerWord +
                       static_cast<std::size_t>(std::countl_zero(differing)) / RankBits;
            }
        }
        return TPrimaryPrefix::Capacity;
    }
};
static_assert(TPrimaryPrefix::Capacity % TRowPrefix::RanksPerWord == 0);
static_assert(TPrimaryPrefix::Capacity <= std::numeric_limits<std::uint8_t>::max());

using TRowPrefixes = std::vector<TRowPrefix, TLargeBlockAllocator<TRowPrefix>>;

/// Which neighbours in `sorted` (in order of their ranks) only the collator can order:
/// linked[i] for sorted[i - 1] and sorted[i].
std::vector<bool> LinkUndecided(const TRowPrefixes& sorted) {
    const std::size_t count = sorted.size();
    std::vector<bool> linked(count, false);
    const auto commonLength = [&](std::size_t at) {
        return std::min<std::size_t>(sorted[at - 1].SharedRanks(sorted[at]),
                                     std::min(sorted[at - 1].length, sorted[at].length));
    };
    // Neighbours that their prefixes cannot order, such as two with equal weights throughout:
    // equal ranks, or one prefix that begins the other and is cut where the other goes on.
    for (std::size_t at = 1; at < count; ++at) {
        const TRowPrefix& before = sorted[at - 1];
        const TRowPrefix& after = sorted[at];
        const std::size_t shared = before.SharedRanks(after);
        const TRowPrefix& shorter = before.length <= after.length ? before : after;
        linked[at] =
            shared == TPrimaryPrefix::Capacity || (shared >= shorter.length && !shorter.complete);
    }
    // A cut prefix leaves in doubt every row that shares it, before or after it in the order:
    // sweep both ways, holding the shortest cut prefix whose run of sharers is still open.
    const auto sweep = [&](std::size_t from, std::ptrdiff_t step) {
        constexpr std::size_t None = TPrimaryPrefix::Capacity + 1;
        std::size_t open = None;
        for (std::size_t visited = 0, at = from; visited < count; ++visited) {
            if (visited > 0) {
                const std::size_t boundary = step > 0 ? at : at + 1;
                if (commonLength(boundary) >= open) {
                    linked[boundary] = true;
                } else {
                    open = None;
                }
            }
            if (!sorted[at].complete) {
                open = std::min<std::size_t>(open, sorted[at].length);
            }
            at = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(at) + step);
        }
    };
    if (count > 0) {
        sweep(0, 1);
        sweep(count - 1, -1);
    }
    return linked;
}

/// Where each row of the sort goes in sorted order; `appendKey(i, limit, text)` appends the key
/// of row i, or at least `limit` bytes of it, and the keys take about `keyBytes` in all. Keys
/// that compare equal keep their rows' order.
/// The keys are most of the work: `progress` counts them, a step a row.
template <typename TAppendKey>
std::vector<std::size_t> SortedOrder(std::size_t count, std::size_t keyBytes,
                                     std::size_t wholeKeysUpTo, const TCollator& collator,
                                     TProgress& progress, TAppendKey&& appendKey) {
    std::vector<std::size_t> order(count);
    std::string key;
    std::vector<std::pair<std::string, std::size_t>> keyed;
    const auto sortByWholeKeys = [&](std::size_t first, std::size_t end) {
        keyed.clear();
        for (std::size_t at = first; at < end; ++at) {
            progress.Advance(at);
            key.clear();
            appendKey(order[at], std::string::npos, key);
            keyed.emplace_back(collator.SortKey(key), order[at]);
        }
        std::sort(keyed.begin(), keyed.end());
        for (std::size_t at = first; at < end; ++at) {
            order[at] = keyed[at - first].second;
        }
    };
    if (keyBytes <= wholeKeysUpTo) {
        std::iota(order.begin(), order.end(), 0);
        sortByWholeKeys(0, count);
        return order;
    }
    // A character takes two bytes at most: one more tells whether the key goes on after the
    // prefix.
    constexpr std::size_t PrefixBytes = 2 * TPrimaryPrefix::Capacity + 1;
    TRowPrefixes sorted;
    sorted.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        progress.Advance(i);
        key.clear();
        appendKey(i, PrefixBytes, key);
        sorted.emplace_back(collator.PrimaryPrefix(key), i);
    }
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t at = 0; at < count; ++at) {
        order[at] = sorted[at].index;
    }
    // Only the rows that the prefixes leave in doubt get the collator's whole keys.
    const std::vector<bool> linked = LinkUndecided(sorted);
    for (std::size_t first = 0; first < count;) {
        std::size_t end = first + 1;
        while (end < count && linked[end]) {
            ++end;
        }
        if (end - first > 1) {
            sortByWholeKeys(first, end);
        }
        first = end;
    }
    return order;
}

/// Bytes of the rows' lines: their cells and a comma after each.
std::size_t RowLinesSize(const TAnswerTable& table, const std::vector<int>& rows, int width) {
    const auto columns = static_cast<std::size_t>(width);
    std::size_t size = 0;
    for (const int row : rows) {
        size += table.Store().Row(row).ByteSize(1, columns + 1) + columns;
    }
    return size;
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

void SortByNumber(TAnswerTable& table, const TCollator& collator, std::size_t wholeKeysUpTo) {
    const std::vector<int> rows = StudentRows(table);
    const int width = WrittenWidth(table);
    TProgress progress(table.ProgressListener(), TProgressTask::Sort, rows.size());
    const std::vector<std::size_t> order =
        SortedOrder(rows.size(), RowLinesSize(table, rows, width), wholeKeysUpTo, collator,
                    progress, [&](std::size_t i, std::size_t limit, std::string& key) {
                        AppendRowLine(table, rows[i], width, limit, key);
                    });
    table.MoveRows(RowsInOrder(rows, order), TAnswerTable::FirstStudentRow,
                   TAnswerTable::NumberColumn);
}

void SortByScore(TAnswerTable& table, const TCollator& collator, std::size_t wholeKeysUpTo) {
    const std::vector<int> rows = StudentRows(table);
    const int width = WrittenWidth(table);
    const int scoreColumn = TAnswerTable::ScoreColumn(table.QuestionCount());
    TProgress progress(table.ProgressListener(), TProgressTask::Sort, rows.size());
    const std::vector<std::size_t> order = SortedOrder(
        rows.size(), RowLinesSize(table, rows, width) + rows.size() * ScoreKeyLength, wholeKeysUpTo,
        collator, progress, [&](std::size_t i, std::size_t limit, std::string& key) {
            AppendPaddedScore(table.Cell(scoreColumn, rows[i]), key);
            key += ", ";
            AppendRowLine(table, rows[i], width, limit, key);
        });
    std::vector<int> sorted = RowsInOrder(rows, order);
    std::reverse(sorted.begin(), sorted.end());
    table.MoveRows(sorted, TAnswerTable::FirstStudentRow, TAnswerTable::NumberColumn);
}

void PrepareCollatorToSort(std::size_t tableTextBytes) {
    const TCollator collator;
    if (tableTextBytes > SortWholeKeysUpTo) {
        collator.PreparePrimaryPrefixes();
    }
}

void SortMarkedTableByScore(TAnswerTable& table, const TCollator& collator) {
    if (!table.IsEnabled(TCommand::mmSortWithPoint)) {
        throw EPelloranError("sort-score needs a marked table: run mark first");
    }
    SortByScore(table, collator);
}
