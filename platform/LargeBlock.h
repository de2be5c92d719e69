#pragma once

#include <cstddef>
#include <memory>
#include <new>

/// Large buffers that are filled once and then read, such as a file's text or a table's rows:
/// where the system offers huge pages on request, their whole 2 MB pages ask for them, so that
/// filling a buffer costs a page fault per 2 MB instead of one per 4 KB.

/// Gives back a block from AllocateLargeBlock.
void FreeLargeBlock(char* block) noexcept;

struct TFreeLargeBlock {
    void operator()(char* block) const noexcept { FreeLargeBlock(block); }
};

/// A block of memory, not zeroed.
using TLargeBlock = std::unique_ptr<char[], TFreeLargeBlock>;

/// A block of `size` bytes; one of 2 MB or more is aligned to 2 MB and asks for huge pages.
/// Throws std::bad_alloc when there is no memory for it.
TLargeBlock AllocateLargeBlock(std::size_t size);

/// Asks for huge pages for the whole 2 MB pages within a buffer allocated elsewhere. Only
/// advice: the buffer works the same without.
void AdviseHugePages(char* buffer, std::size_t size);

/// The size from which a buffer asks for huge pages.
inline constexpr std::size_t HugePageSize = std::size_t{2} << 20;

/// An allocator for containers that grow large, such as a table's rows or a sort's keys: an
/// allocation of 2 MB or more is a large block, anything smaller comes from the heap.
template <typename T>
struct TLargeBlockAllocator {
    using value_type = T;

    TLargeBlockAllocator() = default;
    template <typename U>
    explicit TLargeBlockAllocator(const TLargeBlockAllocator<U>& /*other*/) {}

    T* allocate(std::size_t count) {
        if (count > std::size_t(-1) / sizeof(T)) {
            throw std::bad_array_new_length();
        }
        if (count * sizeof(T) < HugePageSize) {
            return std::allocator<T>().allocate(count);
        }
        return reinterpret_cast<T*>(AllocateLargeBlock(count * sizeof(T)).release());
    }

    void deallocate(T* items, std::size_t count) noexcept {
        if (count * sizeof(T) < HugePageSize) {
            std::allocator<T>().deallocate(items, count);
        } else {
            TFreeLargeBlock()(reinterpret_cast<char*>(items));
        }
    }

    template <typename U>
    bool operator==(const TLargeBlockAllocator<U>& /*other*/) const {
        return true;
    }
};
