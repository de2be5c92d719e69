#include "platform/LargeBlock.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

TLargeBlock AllocateLargeBlock(std::size_t size) {
    if (size < HugePageSize) {
        // A huge page would take 2 MB of memory for a block that needs less.
        TLargeBlock block(static_cast<char*>(std::malloc(size == 0 ? 1 : size)));
        if (!block) {
            throw std::bad_alloc();
        }
        return block;
    }
    const std::size_t rounded = (size + HugePageSize - 1) / HugePageSize * HugePageSize;
    if (rounded < size) {
        throw std::bad_alloc();
    }
    TLargeBlock block(static_cast<char*>(std::aligned_alloc(HugePageSize, rounded)));
    if (!block) {
        throw std::bad_alloc();
    }
    AdviseHugePages(block.get(), rounded);
    return block;
}

void FreeLargeBlock(char* block) noexcept {
    std::free(block);
}

void AdviseHugePages(char* buffer, std::size_t size) {
#ifdef MADV_HUGEPAGE
    const auto begin = reinterpret_cast<std::uintptr_t>(buffer);
    const std::size_t before = (HugePageSize - begin % HugePageSize) % HugePageSize;
    const std::size_t after = (begin + size) % HugePageSize;
    if (before + after < size) {
        ::madvise(buffer + before, size - before - after, MADV_HUGEPAGE);
    }
#else
    static_cast<void>(buffer);
    static_cast<void>(size);
#endif
}
