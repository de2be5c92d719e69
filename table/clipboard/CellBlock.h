#pragma once

#include "table/store/AnswerTable.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

/// A rectangle of cells, first and last columns and rows included, in any corner order.
struct TCellRange {
    int firstColumn = 0;
    int firstRow = 0;
    int lastColumn = 0;
    int lastRow = 0;

    /// The same cells with first <= last in both directions.
    TCellRange Normalised() const;
    int ColumnCount() const { return Normalised().lastColumn - Normalised().firstColumn + 1; }
    int RowCount() const { return Normalised().lastRow - Normalised().firstRow + 1; }
    /// Whether the cell is in the range; none is when a last is below its first.
    bool Contains(int column, int row) const {
        return column >= firstColumn && column <= lastColumn && row >= firstRow && row <= lastRow;
    }
};

/// The cells of one row of a block, valid while the block is unchanged: for walks through many
/// cells.
class TBlockRow {
public:
    TBlockRow(const char* bytes, const std::uint32_t* ends, std::size_t first, int columnCount)
        : bytes_(bytes), ends_(ends), first_(first), columnCount_(columnCount) {}

    int ColumnCount() const { return columnCount_; }
    /// `column` must be below ColumnCount().
    std::string_view Cell(int column) const {
        const std::size_t index = first_ + static_cast<std::size_t>(column);
        const std::size_t start = index == 0 ? 0 : ends_[index - 1];
        return {bytes_ + start, ends_[index] - start};
    }
    /// The texts of the row's cells one after the other, with nothing between them.
    std::string_view Text() const {
        const std::size_t start = TextStart();
        const std::size_t end =
            columnCount_ == 0 ? start : ends_[first_ + static_cast<std::size_t>(columnCount_) - 1];
        return {bytes_ + start, end - start};
    }
    /// Where cell `column` ends in Text(); `column` must be below ColumnCount().
    std::uint32_t TextEnd(int column) const {
        return ends_[first_ + static_cast<std::size_t>(column)] -
               static_cast<std::uint32_t>(TextStart());
    }

private:
    std::size_t TextStart() const { return first_ == 0 ? 0 : ends_[first_ - 1]; }

    const char* bytes_;
    const std::uint32_t* ends_;
    std::size_t first_;
    int columnCount_;
};

/// Room for a large block's bytes and ends: the items that reading or copying a block writes
/// anyway are left unwritten when made. Plain heap memory: asking for huge pages made a paste
/// now and then several times slower, in the system's compaction of memory.
template <typename T>
struct TBlockBufferAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = TBlockBufferAllocator<U>;
    };

    TBlockBufferAllocator() = default;
    template <typename U>
    explicit TBlockBufferAllocator(const TBlockBufferAllocator<U>& /*other*/) {}

    template <typename U>
    void construct(U* item) noexcept(std::is_nothrow_default_constructible_v<U>) {
        ::new (static_cast<void*>(item)) U;
    }
    template <typename U, typename... TArguments>
    void construct(U* item, TArguments&&... arguments) {
        ::new (static_cast<void*>(item)) U(std::forward<TArguments>(arguments)...);
    }
};

/// Rows of cells in the code page, as copied from the table or read from the clipboard; rows
/// may differ in length. Its cells lie packed in one buffer, so that a block of a whole large
/// class costs little more than its text. A block holds less than 4 GB of text.
class TCellBlock {
public:
    int RowCount() const { return static_cast<int>(rowStarts_.size()); }
    /// The cells of `row`.
    int ColumnCount(int row) const;
    /// The most cells of any row.
    int Width() const { return width_; }
    std::size_t CellCount() const { return ends_.size(); }
    /// Empty beyond the row's cells.
    std::string_view Cell(int row, int column) const;
    /// `row` must be below RowCount().
    TBlockRow Row(int row) const {
        return {bytes_.data(), ends_.data(), rowStarts_[static_cast<std::size_t>(row)],
                ColumnCount(row)};
    }

    /// Makes room for this many bytes, cells and rows.
    void Reserve(std::size_t bytes, std::size_t cells, std::size_t rows);
    /// Starts a row; cells are then appended to it.
    void AddRow();
    /// Inline, as reading a large block appends millions of cells.
    void AppendCell(std::string_view text) {
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        ends_.push_back(NarrowedEnd(bytes_.size()));
        width_ = std::max(width_, ++lastRowColumns_);
    }

private:
    /// Write straight into the block's buffers.
    friend TCellBlock ReadClipboardBlock(std::string_view text);
    friend TCellBlock CopyCellBlock(const TAnswerTable& table, TCellRange range);

    /// Throws EPelloranError for a block of 4 GB or more.
    static std::uint32_t NarrowedEnd(std::size_t end) {
        if (end > MaxBytes) {
            ThrowTooLarge();
        }
        return static_cast<std::uint32_t>(end);
    }
    [[noreturn]] static void ThrowTooLarge();
    static constexpr std::size_t MaxBytes = 0xFFFF'FFFF;

    std::vector<char, TBlockBufferAllocator<char>> bytes_;
    /// Below 4 GB, so that a large block's ends take half the room.
    std::vector<std::uint32_t, TBlockBufferAllocator<std::uint32_t>> ends_;
    std::vector<std::size_t> rowStarts_;
    int width_ = 0;
    int lastRowColumns_ = 0;
};

/// The most cells a copy takes: a range beyond it is refused rather than written as gigabytes of
/// separators.
inline constexpr std::int64_t MaxCopiedCells = 100'000'000;

/// The cells of `range` in the table, rows top to bottom, every row as wide as the range.
/// Throws EPelloranError for a range of more than MaxCopiedCells cells or one with a negative
/// column or row.
TCellBlock CopyCellBlock(const TAnswerTable& table, TCellRange range);

/// The block as spreadsheets put it on the clipboard as text/plain, in the code page: cells
/// separated by TAB, every row ended by CR LF; a cell holding a TAB, CR, LF or double quote
/// written in double quotes, its quotes doubled.
std::string BlockClipboardText(const TCellBlock& block);

/// The block as an HTML page holding one table, UTF-8, for text/html: the cells decoded from
/// the code page, escaped, their line breaks as <br>.
std::string BlockClipboardHtml(const TCellBlock& block);

/// Reads clipboard text in the code page back into rows of cells: TAB separates cells, CR LF,
/// LF or CR rows. A cell that begins with a double quote runs to the matching quote, its doubled
/// quotes read as one and its TABs and line breaks kept. A line break that ends the text ends
/// the last row without starting another; an empty text holds no row.
TCellBlock ReadClipboardBlock(std::string_view text);

/// Whether clipboard text is more than one cell, as a block paste takes it: a TAB or a line
/// break outside quotes, a final line break aside.
bool HoldsSeveralCells(std::string_view text);
