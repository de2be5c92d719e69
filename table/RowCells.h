#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

/// The texts of one table row, packed with the ends of its cells into one allocation, the
/// ends as 16-bit offsets while the row is under 64 KB, so that a large table costs little more
/// memory than its file.
class TRowCells {
public:
    TRowCells() = default;
    /// The cells of `bytes` that end at each of `ends`, in order, with no room to spare.
    TRowCells(std::string_view bytes, const std::vector<std::uint32_t>& ends);
    TRowCells(const TRowCells& other);
    TRowCells(TRowCells&& other) noexcept { Swap(other); }
    TRowCells& operator=(const TRowCells& other);
    TRowCells& operator=(TRowCells&& other) noexcept;
    ~TRowCells() = default;

    /// Number of columns stored: every column after them is empty.
    std::size_t Size() const { return cells_; }

    std::string_view Cell(std::size_t column) const {
        if (column >= cells_) {
            return {};
        }
        const std::uint32_t start = StartOf(column);
        return std::string_view(Bytes() + start, End(column) - start);
    }

    void SetCell(std::size_t column, std::string_view text);

    /// Calls `onCell` with each stored cell from `firstColumn` up to, not including,
    /// `endColumn`: the quick way through a whole row.
    template <typename TOnCell>
    void ForEachCell(std::size_t firstColumn, std::size_t endColumn, TOnCell&& onCell) const {
        const std::size_t end = std::min<std::size_t>(endColumn, cells_);
        if (firstColumn >= end) {
            return;
        }
        const char* const bytes = Bytes();
        std::uint32_t start = StartOf(firstColumn);
        for (std::size_t column = firstColumn; column < end; ++column) {
            const std::uint32_t cellEnd = End(column);
            onCell(std::string_view(bytes + start, cellEnd - start));
            start = cellEnd;
        }
    }

    /// Bytes of the cells from `firstColumn` up to, not including, `endColumn`.
    std::size_t ByteSize(std::size_t firstColumn, std::size_t endColumn) const {
        return StartOf(std::min<std::size_t>(endColumn, cells_)) -
               StartOf(std::min<std::size_t>(firstColumn, cells_));
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
    static constexpr std::uint32_t NarrowEndsLimit = 0xFFFF;

    /// Bytes of one stored end: 2 while every end fits in 16 bits.
    static std::size_t EndWidth(std::uint32_t byteCapacity) {
        return byteCapacity > NarrowEndsLimit ? 4 : 2;
    }
    const char* Bytes() const { return storage_.get() + cellCapacity_ * EndWidth(byteCapacity_); }
    char* Bytes() { return storage_.get() + cellCapacity_ * EndWidth(byteCapacity_); }
    std::uint32_t End(std::size_t column) const {
        if (byteCapacity_ > NarrowEndsLimit) {
            std::uint32_t end;
            std::memcpy(&end, storage_.get() + column * 4, 4);
            return end;
        }
        std::uint16_t end;
        std::memcpy(&end, storage_.get() + column * 2, 2);
        return end;
    }
    void SetEnd(std::size_t column, std::uint32_t end);
    std::uint32_t StartOf(std::size_t column) const { return column == 0 ? 0 : End(column - 1); }
    /// Moves the row into storage with room for this many cells and bytes.
    void Relayout(std::size_t cellCapacity, std::size_t byteCapacity);
    /// Room for `cells` cells and `bytes` bytes, grown by half again at least.
    void Grow(std::size_t cells, std::size_t bytes);
    void Truncate(std::size_t columns);
    void Swap(TRowCells& other) noexcept;

    std::unique_ptr<char[]> storage_;
    std::uint32_t cells_ = 0;
    std::uint32_t bytes_ = 0;
    std::uint32_t cellCapacity_ = 0;
    std::uint32_t byteCapacity_ = 0;
};
