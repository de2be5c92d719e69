#include "table/store/RowArena.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

/// How many of the allocations follow the one before them in the same block.
int FollowingAllocations(TRowArena& arena, std::size_t count, std::size_t size) {
    char* previous = nullptr;
    int following = 0;
    for (std::size_t at = 0; at < count; ++at) {
        char* const storage = arena.Allocate(size);
        std::memset(storage, static_cast<int>(at), size);
        following += previous != nullptr && storage == previous + size ? 1 : 0;
        previous = storage;
    }
    return following;
}

TEST(RowArena, ReservedBytesTakeOneBlock) {
    constexpr std::size_t Rows = 20'000;
    constexpr std::size_t RowSize = 120;
    TRowArena reserved;
    reserved.ReserveNextBlock(Rows * RowSize);
    EXPECT_EQ(FollowingAllocations(reserved, Rows, RowSize), Rows - 1);
    // Without: blocks grow from a small one, so that a few rows take little memory.
    TRowArena growing;
    EXPECT_LT(FollowingAllocations(growing, Rows, RowSize), Rows - 1);
    // After a release, the next rows start small again.
    reserved.Release();
    EXPECT_LT(FollowingAllocations(reserved, Rows, RowSize), Rows - 1);
}

} // namespace
