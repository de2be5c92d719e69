#include "platform/LargeBlock.h"

#include <malloc.h>
#include <new>

// Huge pages need a privilege that teachers' accounts do not have: blocks are only aligned.
TLargeBlock AllocateLargeBlock(std::size_t size) {
    const std::size_t alignment = size < HugePageSize ? alignof(std::max_align_t) : HugePageSize;
    TLargeBlock block(static_cast<char*>(_aligned_malloc(size == 0 ? 1 : size, alignment)));
    if (!block) {
        throw std::bad_alloc();
    }
    return block;
}

void FreeLargeBlock(char* block) noexcept {
    _aligned_free(block);
}

void AdviseHugePages(char* /*buffer*/, std::size_t /*size*/) {}
