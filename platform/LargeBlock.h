#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>

/// Large buffers that are filled once and then read, such as a file's text or a table's rows:
/// where the system offers huge pages on request, their whole 2 MB pages ask for them, so that
/// filling a buffer costs a page fault per 2 MB instead of one per 4 KB.

struct TFreeLargeBlock {
    void operator()(char* block) const noexcept { std::free(block); }
};

/// A block of memory, not zeroed.
using TLargeBlock = std::unique_ptr<char[], TFreeLargeBlock>;

/// A block of `size` bytes; one of 2 MB or more is aligned to 2 MB and asks for huge pages.
/// Throws std::bad_alloc when there is no memory for it.
TLargeBlock AllocateLargeBlock(std::size_t size);

/// Asks for huge pages for the whole 2 MB pages within a buffer allocated elsewhere. Only
/// advice: the buffer works the same without.
void AdviseHugePages(char* buffer, std::size_t size);
