#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

/// The texts of one table row, packed into one buffer so that a large table costs little
/// more memory than its file.
class TRowCells {
public:
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

    /// Moves out the cells from `firstColumn` on, leaving them empty here.
    TRowCells TakeFrom(std::size_t firstColumn);
    /// Replaces the cells from `firstColumn` on by the cells of `other`, which starts at
    /// column `firstColumn` too (as given by TakeFrom).
    void PutFrom(std::size_t firstColumn, const TRowCells& other);

private:
    void DropTrailingEmptyCells();

    std::string bytes_;
    std::vector<std::uint32_t> ends_;
};
