#pragma once

#if defined(__GNUC__) && defined(__x86_64__)

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <immintrin.h>

/// Taking the separators out of sixteen bytes at once, for the readers of comma-separated lines
/// and of tab-separated clipboard text: the bytes between them are copied on and the separators'
/// places noted as the ends of their cells. Callers check that the processor has SSSE3 and
/// POPCNT.
namespace SeparatorBlocks {

/// Whether the processor has the instructions these functions use; asked once.
inline bool ProcessorHasVectors() {
    static const bool hasVectors =
        __builtin_cpu_supports("ssse3") != 0 && __builtin_cpu_supports("popcnt") != 0;
    return hasVectors;
}

/// For each pattern of separators among eight bytes (bit i for byte i), eight bytes of each:
struct TPatterns {
    /// the places of the bytes other than separators, in order, then 0x80, which a byte
    /// shuffle turns into zero;
    std::array<std::uint64_t, 256> keptBytes{};
    /// for the k-th separator, how many other bytes come before it (its cell's end).
    std::array<std::uint64_t, 256> separatorEnds{};
};

inline constexpr TPatterns Patterns = [] {
    TPatterns patterns;
    for (unsigned separators = 0; separators < 256; ++separators) {
        std::uint64_t places = 0;
        std::uint64_t ends = 0;
        unsigned kept = 0;
        for (unsigned at = 0; at < 8; ++at) {
            if ((separators >> at & 1U) == 0) {
                places |= std::uint64_t{at} << 8 * kept++;
            } else {
                ends |= std::uint64_t{kept} << 8 * (at - kept);
            }
        }
        for (unsigned unused = kept; unused < 8; ++unused) {
            places |= std::uint64_t{0x80} << 8 * unused;
        }
        patterns.keptBytes[separators] = places;
        patterns.separatorEnds[separators] = ends;
    }
    return patterns;
}();

/// Writes the ends of the separators among eight bytes, as offsets from `base` + `start`.
[[gnu::target("ssse3,popcnt")]] inline void WriteEnds(unsigned separators, std::uint32_t start,
                                                      std::uint32_t*& ends) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i offsets = _mm_unpacklo_epi8(
        _mm_cvtsi64_si128(static_cast<long long>(Patterns.separatorEnds[separators])), zero);
    const __m128i first = _mm_set1_epi32(static_cast<int>(start));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(ends),
                     _mm_add_epi32(_mm_unpacklo_epi16(offsets, zero), first));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(ends + 4),
                     _mm_add_epi32(_mm_unpackhi_epi16(offsets, zero), first));
    ends += std::popcount(separators);
}

/// Writes the sixteen bytes but the separators (bit i of `separators` for byte i) to `out`, up
/// to sixteen bytes, and for each separator the offset of `out` at it from `base` to `ends`,
/// advancing `ends`; the caller advances `out` by the bytes it takes.
[[gnu::target("ssse3,popcnt")]] inline void CopyBetweenSeparators(__m128i bytes,
                                                                  unsigned separators, char* out,
                                                                  const char* base,
                                                                  std::uint32_t*& ends) {
    const unsigned lowSeparators = separators & 0xFFU;
    const unsigned highSeparators = separators >> 8;
    // The high half's places are 8 on; 0x88 still shuffles to zero.
    const __m128i places = _mm_set_epi64x(
        static_cast<long long>(Patterns.keptBytes[highSeparators] + 0x0808080808080808ULL),
        static_cast<long long>(Patterns.keptBytes[lowSeparators]));
    const __m128i kept = _mm_shuffle_epi8(bytes, places);
    const auto lowKept = static_cast<std::ptrdiff_t>(8 - std::popcount(lowSeparators));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), kept);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + lowKept), _mm_unpackhi_epi64(kept, kept));
    const auto start = static_cast<std::uint32_t>(out - base);
    WriteEnds(lowSeparators, start, ends);
    WriteEnds(highSeparators, start + static_cast<std::uint32_t>(lowKept), ends);
}

} // namespace SeparatorBlocks

#endif
