#include "RowArena.h"

#include <algorithm>

namespace {

/// Large enough that a block's allocation costs nothing per row, small enough that the last
/// block's unused end is a small share of a large table.
constexpr std::size_t BlockSize = std::size_t{4} << 20;

} // namespace

char* TRowArena::Allocate(std::size_t size) {
    if (blocks_.empty() || blocks_.back().size - used_ < size) {
        const std::size_t blockSize = std::max(size, BlockSize);
        // Not zeroed: every byte handed out is written before it is read.
        blocks_.push_back({std::make_unique_for_overwrite<char[]>(blockSize), blockSize});
        used_ = 0;
    }
    char* const storage = blocks_.back().bytes.get() + used_;
    used_ += size;
    return storage;
}

void TRowArena::Release() {
    blocks_.clear();
    used_ = 0;
}
