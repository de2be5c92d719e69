#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

/// The texts of one table row, packed with the ends of its cells into one allocation, the
/// ends as 8-bit offsets while the row is under 256 bytes and 16-bit ones while it is under
/// 64 KB, so that a large table costs little more memory than its file. A row either owns its
/// storage or is placed in storage that its table keeps for many rows (see TRowArena); a
/// placed row that must grow moves into storage of its own.
class TRowCells {
public:
    /// The room of a placed row, in cells and bytes, and the storage that room takes.
    struct TPlacement {
        std::size_t cells = 0;
        std::size_t bytes = 0;
        std::size_t StorageSize() const { return cells * EndWidth(Narrowed(bytes)) + bytes; }
    };

    TRowCells() = default;
    /// The cells of `bytes` that end at each of `ends`, in order, placed in `storage`, which
    /// has `placement.StorageSize()` bytes and outlives the row; the room is at least what the
    /// cells take.
    TRowCells(std::string_view bytes, const std::vector<std::uint32_t>& ends, TPlacement placement,
              char* storage);
    /// The cells of `bytes` that end at each of `ends`, in order, in storage of its own with
    /// no room to spare: a row built whole.
    TRowCells(std::string_view bytes, const std::vector<std::uint32_t>& ends);
    /// A copy owns its storage.
    TRowCells(const TRowCells& other);
    TRowCells(TRowCells&& other) noexcept { Swap(other); }
    TRowCells& operator=(const TRowCells& other);
    TRowCells& operator=(TRowCells&& other) noexcept;
    ~TRowCells() {
        if (owned_) {
            delete[] storage_;
        }
    }

    /// Bytes the row takes: itself and its storage, placed or owned.
    std::size_t MemorySize() const {
        return sizeof(TRowCells) +
               (storage_ == nullptr ? 0 : CellCapacity() * EndWidth(byteCapacity_) + byteCapacity_);
    }

    /// Whether the row's storage is its own rather than placed.
    bool OwnsStorage() const { return owned_ || storage_ == nullptr; }

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
        // One loop per width, its pointers in locals: the callback's writes through a char
        // pointer could otherwise alias the members and reload them for every cell.
        switch (EndWidth(byteCapacity_)) {
        case 1:
            ForEachCellOf<std::uint8_t>(firstColumn, end, onCell);
            break;
        case 2:
            ForEachCellOf<std::uint16_t>(firstColumn, end, onCell);
            break;
        default:
            ForEachCellOf<std::uint32_t>(firstColumn, end, onCell);
            break;
        }
    }

    /// Asks the processor to bring the row's first cells into its cache: for walks over rows
    /// that sorting has scattered in memory.
    void Prefetch() const {
#if defined(__GNUC__)
        if (storage_ != nullptr) {
            __builtin_prefetch(storage_);
            __builtin_prefetch(storage_ + 64);
            __builtin_prefetch(storage_ + 128);
        }
#endif
    }

    /// Bytes of the cells from `firstColumn` up to, not including, `endColumn`.
    std::size_t ByteSize(std::size_t firstColumn, std::size_t endColumn) const {
        return StartOf(std::min<std::size_t>(endColumn, cells_)) -
               StartOf(std::min<std::size_t>(firstColumn, cells_));
    }

    /// The bytes of the cells from `firstColumn` up to, not including, `endColumn`, one after
    /// the other with nothing between them.
    std::string_view Bytes(std::size_t firstColumn, std::size_t endColumn) const {
        const std::uint32_t start = StartOf(std::min<std::size_t>(firstColumn, cells_));
        return std::string_view(Bytes() + start,
                                StartOf(std::min<std::size_t>(endColumn, cells_)) - start);
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
    /// The largest row, in bytes or cells.
    static std::uint32_t Narrowed(std::size_t size);
    static constexpr std::uint32_t MaxCellCapacity = 0x7FFF'FFFF;

    std::uint32_t CellCapacity() const {
        return cellCapacity_;
    }
    void SetCellCapacity(std::uint32_t capacity) {
        cellCapacity_ = capacity & MaxCellCapacity;
    }

    /// Bytes of one stored end: 1 while every end fits in 8 bits, 2 while it fits in 16.
    static std::size_t EndWidth(std::uint32_t byteCapacity) {
        return byteCapacity > 0xFFFF ? 4 : byteCapacity > 0xFF ? 2 : 1;
    }
    const char* Bytes() const {
        return storage_ + CellCapacity() * EndWidth(byteCapacity_);
    }
    char* Bytes() {
        return storage_ + CellCapacity() * EndWidth(byteCapacity_);
    }

    template <typename TEnd>
    static std::uint32_t LoadEnd(const char* ends, std::size_t column) {
        TEnd end;
        std::memcpy(&end, ends + column * sizeof(TEnd), sizeof(TEnd));
        return end;
    }
    std::uint32_t End(std::size_t column) const {
        switch (EndWidth(byteCapacity_)) {
        case 1:
            return LoadEnd<std::uint8_t>(storage_, column);
        case 2:
            return LoadEnd<std::uint16_t>(storage_, column);
        default:
            return LoadEnd<std::uint32_t>(storage_, column);
        }
    }
    template <typename TEnd, typename TOnCell>
    void ForEachCellOf(std::size_t firstColumn, std::size_t endColumn, TOnCell& onCell) const {
        const char* const ends = storage_;
        const char* const bytes = ends + CellCapacity() * sizeof(TEnd);
        std::uint32_t start = firstColumn == 0 ? 0 : LoadEnd<TEnd>(ends, firstColumn - 1);
        for (std::size_t column = firstColumn; column < endColumn; ++column) {
            const std::uint32_t cellEnd = LoadEnd<TEnd>(ends, column);
            onCell(std::string_view(bytes + start, cellEnd - start));
            start = cellEnd;
        }
    }
    void SetEnd(std::size_t column, std::uint32_t end);
    /// Stores `ends` as the row's only cells, each in a TEnd.
    template <typename TEnd>
    void StoreEnds(const std::vector<std::uint32_t>& ends);
    /// The same in the width the byte capacity asks for.
    void StoreEndsInWidth(const std::vector<std::uint32_t>& ends);
    std::uint32_t StartOf(std::size_t column) const {
        return column == 0 ? 0 : End(column - 1);
    }
    /// Moves the row into storage with room for this many cells and bytes.
    void Relayout(std::size_t cellCapacity, std::size_t byteCapacity);
    /// Room for `cells` cells and `bytes` bytes, grown by half again at least.
    void Grow(std::size_t cells, std::size_t bytes);
    void Truncate(std::size_t columns);
    void Swap(TRowCells& other) noexcept;

    /// Owned when `owned_` is set, else placed; null for a row that holds nothing.
    char* storage_ = nullptr;
    std::uint32_t cells_ = 0;
    std::uint32_t bytes_ = 0;
    /// Below 2^31, so that the flag shares its word and a table's rows stay 24 bytes each.
    std::uint32_t cellCapacity_ : 31 = 0;
    bool owned_ : 1 = false;
    std::uint32_t byteCapacity_ = 0;
};
