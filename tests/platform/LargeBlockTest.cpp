#include "platform/LargeBlock.h"

#include <cstdint>
#include <gtest/gtest.h>

namespace {

// Every byte asked for can be written and read back, and a block of huge pages starts on one.
TEST(LargeBlock, HoldsItsSizeAndLargeOnesStartOnAHugePage) {
    constexpr std::size_t HugePage = std::size_t{2} << 20;
    for (const std::size_t size :
         {std::size_t{0}, std::size_t{1}, HugePage - 1, HugePage, 5 * HugePage + 3}) {
        const TLargeBlock block = AllocateLargeBlock(size);
        ASSERT_NE(block.get(), nullptr) << size;
        if (size > 0) {
            block[0] = 'a';
            block[size - 1] = 'z';
            EXPECT_EQ(block[0], size == 1 ? 'z' : 'a') << size;
            EXPECT_EQ(block[size - 1], 'z') << size;
        }
        if (size >= HugePage) {
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block.get()) % HugePage, 0U) << size;
        }
    }
}

} // namespace
