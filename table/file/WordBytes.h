#pragma once

#include <cstdint>

/// Tests of the eight bytes of a word at once, for loops that look at text a word at a time.
namespace WordBytes {

inline constexpr std::uint64_t Ones = 0x0101'0101'0101'0101;
inline constexpr std::uint64_t HighBits = Ones * 0x80;

/// Whether any byte is 0x80 or above.
constexpr bool HasHighByte(std::uint64_t word) {
    return (word & HighBits) != 0;
}

/// Whether any byte is below `limit`, which is at most 0x80. Exact for words without a byte
/// of 0x80 or above.
constexpr bool HasByteBelow(std::uint64_t word, unsigned char limit) {
    return ((word - Ones * limit) & ~word & HighBits) != 0;
}

/// Whether any byte is `value`, below 0x80. Exact for words without a byte of 0x80 or above.
constexpr bool HasByte(std::uint64_t word, unsigned char value) {
    return HasByteBelow(word ^ (Ones * value), 1);
}

} // namespace WordBytes
