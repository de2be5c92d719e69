#include "table/store/RowArena.h"

#include <algorithm>

namespace {

/// Blocks double from the first to the largest: a class of a few students takes little
/// memory, and a large table's blocks cost nothing per row while the last one's unused end
/// stays a small share of it.
constexpr std::size_t FirstBlockSize = std::size_t{64} << 10;
constexpr std::size_t LargestBlockSize = std::size_t{4} << 20;

} // namespace

char* TRowArena::Allocate(std::size_t size) {
    if (blocks_.empty() || blocks_.back().size - used_ < size) {
        const std::size_t nextSize =
            blocks_.empty() ? FirstBlockSize : std::min(2 * blocks_.back().size, LargestBlockSize);
        const std::size_t blockSize = std::max({size, nextSize, nextBlockSize_});
        nextBlockSize_ = 0;
        // Not zeroed: every byte handed out is written before it is read.
        blocks_.push_back({AllocateLargeBlock(blockSize), blockSize});
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
