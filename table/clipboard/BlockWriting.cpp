#include "table/clipboard/BlockWriting.h"

#include "table/progress/Progress.h"
#include "table/store/RowCells.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

/// A row's texts and the ends of its cells, built before the row is made in one piece; kept
/// from row to row so that a large block reuses its room.
struct TRowBuffer {
    std::string bytes;
    std::vector<std::uint32_t> ends;

    void Append(std::string_view text) {
        bytes += text;
        ends.push_back(static_cast<std::uint32_t>(bytes.size()));
    }

    void AppendEmptyCells(std::size_t count) {
        ends.resize(ends.size() + count, static_cast<std::uint32_t>(bytes.size()));
    }

    /// The row's texts copied at once, as a large block's rows hold many short cells.
    void AppendBlockRow(const TBlockRow& cells) {
        const auto start = static_cast<std::uint32_t>(bytes.size());
        bytes += cells.Text();
        const std::size_t first = ends.size();
        ends.resize(first + static_cast<std::size_t>(cells.ColumnCount()));
        std::uint32_t* const rowEnds = ends.data() + first;
        for (int at = 0; at < cells.ColumnCount(); ++at) {
            rowEnds[at] = start + cells.TextEnd(at);
        }
    }
};

/// Writes `cellCount` cells from `column` on into `row`: `cellText(i)` is the text of the
/// i-th, `appendCells(buffer)` appends them all. A row written over mostly is built anew and
/// written whole, so that its step keeps the old row rather than a record per cell.
template <typename TCellText, typename TAppendCells>
void WriteBlockRow(TAnswerTable& table, int column, int row, int cellCount, TCellText&& cellText,
                   TAppendCells&& appendCells, TRowBuffer& buffer) {
    const TRowCells& old = table.Store().Row(row);
    const auto first = static_cast<std::size_t>(column);
    const auto end = first + static_cast<std::size_t>(cellCount);
    if (static_cast<std::size_t>(cellCount) * 2 < old.Size()) {
        for (std::size_t at = first; at < end; ++at) {
            table.SetCell(static_cast<int>(at), row, cellText(static_cast<int>(at - first)));
        }
        return;
    }
    buffer.bytes.clear();
    buffer.ends.clear();
    old.ForEachCell(0, first, [&](std::string_view cell) { buffer.Append(cell); });
    buffer.AppendEmptyCells(first - buffer.ends.size());
    appendCells(buffer);
    old.ForEachCell(end, old.Size(), [&](std::string_view cell) { buffer.Append(cell); });
    table.WriteRowCells(row, TRowCells(buffer.bytes, buffer.ends));
}

} // namespace

void WriteBlock(TAnswerTable& table, int column, int row, const TCellBlock& block) {
    TRowBuffer buffer;
    TProgress progress(table.ProgressListener(), TProgressTask::Paste,
                       static_cast<std::uint64_t>(block.RowCount()));
    for (int offset = 0; offset < block.RowCount(); ++offset) {
        progress.Advance(static_cast<std::uint64_t>(offset));
        const TBlockRow cells = block.Row(offset);
        // Empty cells beyond the stored rows change nothing: they need not grow the table.
        if (row + offset >= table.StoredRowCount() && cells.Text().empty()) {
            continue;
        }
        WriteBlockRow(
            table, column, row + offset, cells.ColumnCount(),
            [&](int at) { return cells.Cell(at); },
            [&](TRowBuffer& rowBuffer) { rowBuffer.AppendBlockRow(cells); }, buffer);
    }
}

void EmptyRange(TAnswerTable& table, TCellRange range) {
    const TCellRange cells = range.Normalised();
    TRowBuffer buffer;
    const int lastRow = std::min(cells.lastRow, table.StoredRowCount() - 1);
    for (int row = cells.firstRow; row <= lastRow; ++row) {
        if (table.StoredColumnCount(row) <= cells.firstColumn) {
            continue;
        }
        const int cellCount =
            std::min(cells.lastColumn + 1, table.StoredColumnCount(row)) - cells.firstColumn;
        WriteBlockRow(
            table, cells.firstColumn, row, cellCount, [](int) { return std::string_view(); },
            [&](TRowBuffer& rowBuffer) {
                rowBuffer.AppendEmptyCells(static_cast<std::size_t>(cellCount));
            },
            buffer);
    }
}
