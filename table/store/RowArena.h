#pragma once

#include "platform/LargeBlock.h"

#include <cstddef>
#include <vector>

/// Storage for many rows at once, handed out in order from large blocks: a loaded table needs
/// one allocation per few megabytes instead of one per row. Nothing is freed before Release.
class TRowArena {
public:
    TRowArena() = default;
    /// A copied table's rows own their storage: the copy starts with none.
    TRowArena(const TRowArena& /*other*/) {}
    TRowArena& operator=(const TRowArena& /*other*/) { return *this; }
    TRowArena(TRowArena&& other) noexcept = default;
    TRowArena& operator=(TRowArena&& other) noexcept = default;
    ~TRowArena() = default;

    /// `size` bytes, valid until Release.
    char* Allocate(std::size_t size);

    /// Makes the next block hold at least `size` bytes: for many rows whose size is known
    /// beforehand, which then take one block. Room not used is never touched.
    void ReserveNextBlock(std::size_t size) { nextBlockSize_ = size; }

    /// Frees every block: no row may still be placed in one.
    void Release();

private:
    struct TBlock {
        TLargeBlock bytes;
        std::size_t size = 0;
    };

    std::vector<TBlock> blocks_;
    std::size_t used_ = 0;
    std::size_t nextBlockSize_ = 0;
};
