#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

/// The texts of one table row, packed into one buffer so that a large table costs little
/// more memory than its file.
class TRowCells {
public:
    TRowCells() = default;
    /// The cells of `bytes` that end at each of `ends`, in order.
    TRowCells(std::string bytes, std::vector<std::uint32_t> ends)
        : bytes_(std::move(bytes)), ends_(std::move(ends)) {}

    /// Number of columns stored: every column after them is empty.
    std::size_t Size() const { return ends_.size(); }

    std::string_view Cell(std::size_t column) const {
        if (column >= ends_.size()) {
            return {};
        }
        const std::uint32_t start = column == 0 ? 0 : ends_[column - 1];
        return std::string_view(bytes_).substr(start, ends_[column] - start);
    }

    void SetCell(std::size_t column, std::string_view text);

    /// Calls `onCell` with each stored cell from `firstColumn` up to, not including,
    /// `endColumn`: the quick way through a whole row.
    template <typename TOnCell>
    void ForEachCell(std::size_t firstColumn, std::size_t endColumn, TOnCell&& onCell) const {
        const std::size_t end = std::min(endColumn, ends_.size());
        if (firstColumn >= end) {
            return;
        }
        const char* const bytes = bytes_.data();
        std::uint32_t start = StartOf(firstColumn);
        for (std::size_t column = firstColumn; column < end; ++column) {
            const std::uint32_t cellEnd = ends_[column];
            onCell(std::string_view(bytes + start, cellEnd - start));
            start = cellEnd;
        }
    }

    /// Bytes of the cells from `firstColumn` up to, not including, `endColumn`.
    std::size_t ByteSize(std::size_t firstColumn, std::size_t endColumn) const {
        const std::size_t stored = ends_.size();
        return StartOf(std::min(endColumn, stored)) - StartOf(std::min(firstColumn, stored));
    }

    /// For building a row cell by cell: room for this many bytes and cells.
    void Reserve(std::size_t bytes, std::size_t cells);
    /// Adds a cell after the last one, also an empty one.
    void Append(std::string_view text);
    /// Drops the empty cells at the end, which a row need not store.
    void DropTrailingEmptyCells();

    /// Empties the cells from `firstColumn` up to, not including, `endColumn`.
    void EmptyCells(std::size_t firstColumn, std::size_t endColumn);

    /// Moves out the cells from `firstColumn` on, leaving them empty here.
    TRowCells TakeFrom(std::size_t firstColumn);
    /// Replaces the cells from `firstColumn` on by the cells of `other`, whose column 0
    /// becomes column `firstColumn` (as TakeFrom gives them).
    void PutFrom(std::size_t firstColumn, const TRowCells& other);

private:
    std::uint32_t StartOf(std::size_t column) const { return column == 0 ? 0 : ends_[column - 1]; }
    void Truncate(std::size_t columns);

    std::string bytes_;
    std::vector<std::uint32_t> ends_;
};
