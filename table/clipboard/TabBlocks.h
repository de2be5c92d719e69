#pragma once

#include <cstddef>
#include <cstdint>

/// Splitting tab-separated clipboard text sixteen bytes at a time, with the processor's vector
/// instructions where it has them.
namespace TabBlocks {

inline constexpr std::size_t BlockSize = 16;

/// Splits the text from `in` on, a block of BlockSize bytes at a time while a whole block is
/// left before `end`, up to the first CR, LF or double quote: copies the bytes other than TABs
/// to `out` and, for each TAB, the offset of `out` at that TAB from `base` to `ends`, advancing
/// both past what they got. Returns where it stopped: at that CR, LF or quote, before the last
/// bytes short of a block, or `in` itself on a processor without the instructions. Either
/// output may be written up to BlockSize items beyond what it gets.
const char* SplitBlocks(const char* in, const char* end, char*& out, const char* base,
                        std::uint32_t*& ends);

} // namespace TabBlocks
