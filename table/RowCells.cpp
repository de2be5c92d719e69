#include "RowCells.h"

#include "platform/Errors.h"

#include <cstring>
#include <limits>

namespace {

void CheckRowSize(std::size_t size) {
    if (size > std::numeric_limits<std::uint32_t>::max()) {
        throw EPelloranError("1 行が 4 GB を超えています");
    }
}

} // namespace

void TRowCells::SetCell(std::size_t column, std::string_view text) {
    if (column >= ends_.size()) {
        if (!text.empty()) {
            ends_.resize(column, static_cast<std::uint32_t>(bytes_.size()));
            Append(text);
        }
        return;
    }
    const std::uint32_t start = StartOf(column);
    const std::size_t oldLength = ends_[column] - start;
    if (text.size() == oldLength) {
        // Writing a cell its own text back is how a repaint is requested: nothing to copy.
        if (!text.empty() && text.data() != bytes_.data() + start) {
            std::memmove(bytes_.data() + start, text.data(), text.size());
        }
        return;
    }
    CheckRowSize(bytes_.size() - oldLength + text.size());
    const std::string copy(text); // `text` may point into this row
    bytes_.replace(start, oldLength, copy);
    const auto delta =
        static_cast<std::int64_t>(copy.size()) - static_cast<std::int64_t>(oldLength);
    for (std::size_t later = column; later < ends_.size(); ++later) {
        ends_[later] = static_cast<std::uint32_t>(ends_[later] + delta);
    }
    DropTrailingEmptyCells();
}

void TRowCells::Reserve(std::size_t bytes, std::size_t cells) {
    bytes_.reserve(bytes);
    ends_.reserve(cells);
}

void TRowCells::Append(std::string_view text) {
    CheckRowSize(bytes_.size() + text.size());
    bytes_.append(text);
    ends_.push_back(static_cast<std::uint32_t>(bytes_.size()));
}

void TRowCells::DropTrailingEmptyCells() {
    while (!ends_.empty() && StartOf(ends_.size() - 1) == ends_.back()) {
        ends_.pop_back();
    }
    if (ends_.empty()) {
        bytes_.clear();
        bytes_.shrink_to_fit();
        ends_.shrink_to_fit();
    }
}

void TRowCells::Truncate(std::size_t columns) {
    if (columns < ends_.size()) {
        bytes_.resize(StartOf(columns));
        ends_.resize(columns);
        DropTrailingEmptyCells();
    }
}

void TRowCells::EmptyCells(std::size_t firstColumn, std::size_t endColumn) {
    if (endColumn >= ends_.size()) {
        Truncate(firstColumn);
        return;
    }
    if (firstColumn >= endColumn) {
        return;
    }
    const std::uint32_t start = StartOf(firstColumn);
    const std::uint32_t removed = StartOf(endColumn) - start;
    bytes_.erase(start, removed);
    std::fill(ends_.begin() + static_cast<std::ptrdiff_t>(firstColumn),
              ends_.begin() + static_cast<std::ptrdiff_t>(endColumn), start);
    for (std::size_t column = endColumn; column < ends_.size(); ++column) {
        ends_[column] -= removed;
    }
}

TRowCells TRowCells::TakeFrom(std::size_t firstColumn) {
    TRowCells taken;
    if (firstColumn >= ends_.size()) {
        return taken;
    }
    const std::uint32_t start = StartOf(firstColumn);
    taken.bytes_ = bytes_.substr(start);
    taken.ends_.reserve(ends_.size() - firstColumn);
    for (std::size_t column = firstColumn; column < ends_.size(); ++column) {
        taken.ends_.push_back(ends_[column] - start);
    }
    Truncate(firstColumn);
    return taken;
}

void TRowCells::PutFrom(std::size_t firstColumn, const TRowCells& other) {
    Truncate(firstColumn);
    if (other.ends_.empty()) {
        return;
    }
    CheckRowSize(bytes_.size() + other.bytes_.size());
    ends_.resize(firstColumn, static_cast<std::uint32_t>(bytes_.size()));
    const auto start = static_cast<std::uint32_t>(bytes_.size());
    bytes_.append(other.bytes_);
    for (const std::uint32_t end : other.ends_) {
        ends_.push_back(start + end);
    }
}
