#pragma once

#include <cstddef>
#include <cstdint>

/// Splitting a comma-separated line sixteen bytes at a time, with the processor's vector
/// instructions where it has them.
namespace CommaBlocks {

inline constexpr std::size_t BlockSize = 16;

/// Splits the blocks of BlockSize bytes from `in` on, as long as a whole block is left before
/// `end` and is made of one-byte characters that a plain line may hold (no control byte,
/// blank, double quote or byte of 0x80 and above; commas are fine): copies the bytes other
/// than commas to `out` and, for each comma, the offset of `out` at that comma from `base` to
/// `ends`, advancing both past what they got. Returns where it stopped: `in` itself on a
/// processor without the instructions. Either output may be written up to BlockSize items
/// beyond what it gets.
const char* SplitBlocks(const char* in, const char* end, char*& out, const char* base,
                        std::uint32_t*& ends);

} // namespace CommaBlocks
