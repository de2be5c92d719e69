#include "table/store/RowCells.h"

#include "platform/Errors.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace {

/// Rows and their cell counts stay below 2 GB, so that a count fits in 31 bits.
constexpr std::size_t MaxRowSize = std::numeric_limits<std::int32_t>::max();

void CheckRowSize(std::size_t size) {
    if (size > MaxRowSize) {
        throw EPelloranError(TUserText("RowTooLarge", "1 行が 2 GB を超えています"));
    }
}

} // namespace

std::uint32_t TRowCells::Narrowed(std::size_t size) {
    CheckRowSize(size);
    return static_cast<std::uint32_t>(size);
}

TRowCells::TRowCells(std::string_view bytes, const std::vector<std::uint32_t>& ends,
                     TPlacement placement, char* storage)
    : storage_(storage), cells_(0), bytes_(Narrowed(bytes.size())),
      cellCapacity_(Narrowed(std::max(placement.cells, ends.size())) & MaxCellCapacity),
      owned_(false), byteCapacity_(Narrowed(std::max(placement.bytes, bytes.size()))) {
    if (!bytes.empty()) {
        std::memcpy(Bytes(), bytes.data(), bytes.size());
    }
    StoreEndsInWidth(ends);
}

template <typename TEnd>
void TRowCells::StoreEnds(const std::vector<std::uint32_t>& ends) {
    char* out = storage_;
    for (const std::uint32_t end : ends) {
        const auto narrow = static_cast<TEnd>(end);
        std::memcpy(out, &narrow, sizeof narrow);
        out += sizeof narrow;
    }
    cells_ = static_cast<std::uint32_t>(ends.size());
}

TRowCells::TRowCells(std::string_view bytes, const std::vector<std::uint32_t>& ends) {
    Reserve(bytes.size(), ends.size());
    if (!bytes.empty()) {
        std::memcpy(Bytes(), bytes.data(), bytes.size());
    }
    bytes_ = Narrowed(bytes.size());
    StoreEndsInWidth(ends);
}

TRowCells::TRowCells(const TRowCells& other) {
    if (other.cells_ > 0) {
        Relayout(other.cells_, other.bytes_);
        // A copy has no room to spare, so its ends may be narrower than the original's.
        if (EndWidth(byteCapacity_) == EndWidth(other.byteCapacity_)) {
            std::memcpy(storage_, other.storage_, other.cells_ * EndWidth(byteCapacity_));
        } else {
            for (std::size_t column = 0; column < other.cells_; ++column) {
                SetEnd(column, other.End(column));
            }
        }
        std::memcpy(Bytes(), other.Bytes(), other.bytes_);
        cells_ = other.cells_;
        bytes_ = other.bytes_;
    }
}

TRowCells& TRowCells::operator=(const TRowCells& other) {
    if (this != &other) {
        TRowCells copy(other);
        Swap(copy);
    }
    return *this;
}

TRowCells& TRowCells::operator=(TRowCells&& other) noexcept {
    TRowCells moved(std::move(other));
    Swap(moved);
    return *this;
}

void TRowCells::Swap(TRowCells& other) noexcept {
    std::swap(storage_, other.storage_);
    std::swap(cells_, other.cells_);
    std::swap(bytes_, other.bytes_);
    const std::uint32_t cellCapacity = CellCapacity();
    const bool owned = owned_;
    SetCellCapacity(other.CellCapacity());
    owned_ = other.owned_;
    other.SetCellCapacity(cellCapacity);
    other.owned_ = owned;
    std::swap(byteCapacity_, other.byteCapacity_);
}

void TRowCells::SetEnd(std::size_t column, std::uint32_t end) {
    switch (EndWidth(byteCapacity_)) {
    case 1:
        storage_[column] = static_cast<char>(static_cast<std::uint8_t>(end));
        break;
    case 2: {
        const auto narrow = static_cast<std::uint16_t>(end);
        std::memcpy(storage_ + column * 2, &narrow, 2);
        break;
    }
    default:
        std::memcpy(storage_ + column * 4, &end, 4);
        break;
    }
}

void TRowCells::Relayout(std::size_t cellCapacity, std::size_t byteCapacity) {
    TRowCells moved;
    moved.SetCellCapacity(Narrowed(cellCapacity));
    moved.byteCapacity_ = Narrowed(byteCapacity);
    const std::size_t size = cellCapacity * EndWidth(moved.byteCapacity_) + byteCapacity;
    if (size > 0) {
        moved.storage_ = std::make_unique_for_overwrite<char[]>(size).release();
        moved.owned_ = true;
    }
    for (std::size_t column = 0; column < cells_; ++column) {
        moved.SetEnd(column, End(column));
    }
    if (bytes_ > 0) {
        std::memcpy(moved.Bytes(), Bytes(), bytes_);
    }
    moved.cells_ = cells_;
    moved.bytes_ = bytes_;
    Swap(moved);
}

void TRowCells::Grow(std::size_t cells, std::size_t bytes) {
    if (cells > CellCapacity() || bytes > byteCapacity_) {
        Relayout(std::max<std::size_t>(cells, CellCapacity() + CellCapacity() / 2),
                 std::max<std::size_t>(bytes, byteCapacity_ + byteCapacity_ / 2));
    }
}

void TRowCells::Reserve(std::size_t bytes, std::size_t cells) {
    if (cells > CellCapacity() || bytes > byteCapacity_) {
        Relayout(std::max<std::size_t>(cells, CellCapacity()),
                 std::max<std::size_t>(bytes, byteCapacity_));
    }
}

void TRowCells::Append(std::string_view text) {
    const std::size_t newBytes = std::size_t{bytes_} + text.size();
    CheckRowSize(newBytes);
    if (cells_ == CellCapacity() || newBytes > byteCapacity_) {
        // `text` may be a cell of this row, which the new storage no longer holds.
        const std::string copy(text);
        Grow(std::size_t{cells_} + 1, newBytes);
        Append(copy);
        return;
    }
    if (!text.empty()) {
        std::memmove(Bytes() + bytes_, text.data(), text.size());
    }
    bytes_ = static_cast<std::uint32_t>(newBytes);
    SetEnd(cells_++, bytes_);
}

void TRowCells::SetCell(std::size_t column, std::string_view text) {
    if (column >= cells_) {
        if (!text.empty()) {
            const std::string copy(text);
            Grow(column + 1, std::size_t{bytes_} + copy.size());
            while (cells_ < column) {
                Append({});
            }
            Append(copy);
        }
        return;
    }
    const std::uint32_t start = StartOf(column);
    const std::size_t oldLength = End(column) - start;
    if (text.size() == oldLength) {
        // Writing a cell its own text back is how a repaint is requested: nothing to copy.
        if (!text.empty() && text.data() != Bytes() + start) {
            std::memmove(Bytes() + start, text.data(), text.size());
        }
        return;
    }
    const std::string copy(text); // `text` may point into this row
    const std::size_t newBytes = std::size_t{bytes_} - oldLength + copy.size();
    CheckRowSize(newBytes);
    if (newBytes > byteCapacity_) {
        Relayout(CellCapacity(), newBytes);
    }
    char* const bytes = Bytes();
    std::memmove(bytes + start + copy.size(), bytes + start + oldLength,
                 bytes_ - start - oldLength);
    std::copy(copy.begin(), copy.end(), bytes + start);
    const auto delta =
        static_cast<std::int64_t>(copy.size()) - static_cast<std::int64_t>(oldLength);
    for (std::size_t later = column; later < cells_; ++later) {
        SetEnd(later, static_cast<std::uint32_t>(End(later) + delta));
    }
    bytes_ = static_cast<std::uint32_t>(newBytes);
    DropTrailingEmptyCells();
}

void TRowCells::DropTrailingEmptyCells() {
    while (cells_ > 0 && StartOf(cells_ - 1) == End(cells_ - 1)) {
        --cells_;
    }
    if (cells_ == 0) {
        *this = TRowCells();
    }
}

void TRowCells::Truncate(std::size_t columns) {
    if (columns < cells_) {
        bytes_ = StartOf(columns);
        cells_ = static_cast<std::uint32_t>(columns);
        DropTrailingEmptyCells();
    }
}

void TRowCells::EmptyCells(std::size_t firstColumn, std::size_t endColumn) {
    if (endColumn >= cells_) {
        Truncate(firstColumn);
        return;
    }
    if (firstColumn >= endColumn) {
        return;
    }
    const std::uint32_t start = StartOf(firstColumn);
    const std::uint32_t removed = StartOf(endColumn) - start;
    char* const bytes = Bytes();
    std::memmove(bytes + start, bytes + start + removed, bytes_ - start - removed);
    bytes_ -= removed;
    for (std::size_t column = firstColumn; column < endColumn; ++column) {
        SetEnd(column, start);
    }
    for (std::size_t column = endColumn; column < cells_; ++column) {
        SetEnd(column, End(column) - removed);
    }
}

TRowCells TRowCells::TakeFrom(std::size_t firstColumn) {
    TRowCells taken;
    if (firstColumn >= cells_) {
        return taken;
    }
    taken.Reserve(bytes_ - StartOf(firstColumn), cells_ - firstColumn);
    ForEachCell(firstColumn, cells_, [&](std::string_view cell) { taken.Append(cell); });
    Truncate(firstColumn);
    return taken;
}

void TRowCells::PutFrom(std::size_t firstColumn, const TRowCells& other) {
    Truncate(firstColumn);
    if (other.cells_ == 0) {
        return;
    }
    Reserve(std::size_t{bytes_} + other.bytes_, firstColumn + other.cells_);
    while (cells_ < firstColumn) {
        Append({});
    }
    other.ForEachCell(0, other.cells_, [&](std::string_view cell) { Append(cell); });
}

void TRowCells::StoreEndsInWidth(const std::vector<std::uint32_t>& ends) {
    switch (EndWidth(byteCapacity_)) {
    case 1:
        StoreEnds<std::uint8_t>(ends);
        break;
    case 2:
        StoreEnds<std::uint16_t>(ends);
        break;
    default:
        StoreEnds<std::uint32_t>(ends);
        break;
    }
}
