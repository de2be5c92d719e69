#include "table/file/WordBytes.h"

#include <array>
#include <cstring>
#include <gtest/gtest.h>

namespace {

std::uint64_t WordOf(const std::array<unsigned char, 8>& bytes) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes.data(), sizeof word);
    return word;
}

// Every byte value at every place, among neighbours that sit just beside each limit, against
// the same test made byte by byte: a borrow from one byte into the next must not change the
// answer.
TEST(WordBytes, AgreeWithByteByByteTestsForEveryByteAtEveryPlace) {
    constexpr std::array<unsigned char, 6> Neighbours = {0x00, 0x01, 0x2C, 0x2D, 0x7F, 0x22};
    constexpr std::array<unsigned char, 4> Limits = {1, '!', ',' + 1, 0x80};
    for (unsigned value = 0; value < 0x100; ++value) {
        for (std::size_t place = 0; place < 8; ++place) {
            for (const unsigned char neighbour : Neighbours) {
                std::array<unsigned char, 8> bytes{};
                bytes.fill(neighbour);
                bytes[place] = static_cast<unsigned char>(value);
                const std::uint64_t word = WordOf(bytes);
                bool high = false;
                for (const unsigned char byte : bytes) {
                    high = high || byte >= 0x80;
                }
                ASSERT_EQ(WordBytes::HasHighByte(word), high) << value << " at " << place;
                if (high) {
                    continue;
                }
                for (const unsigned char limit : Limits) {
                    bool below = false;
                    for (const unsigned char byte : bytes) {
                        below = below || byte < limit;
                    }
                    ASSERT_EQ(WordBytes::HasByteBelow(word, limit), below)
                        << value << " at " << place << " below " << unsigned{limit};
                }
                bool quote = false;
                for (const unsigned char byte : bytes) {
                    quote = quote || byte == '"';
                }
                ASSERT_EQ(WordBytes::HasByte(word, '"'), quote) << value << " at " << place;
            }
        }
    }
}

} // namespace
