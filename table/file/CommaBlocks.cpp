#include "table/file/CommaBlocks.h"

#if defined(__GNUC__) && defined(__x86_64__)
#include <array>
#include <bit>
#include <immintrin.h>
#endif

namespace CommaBlocks {

#if defined(__GNUC__) && defined(__x86_64__)

namespace {

/// For each pattern of commas among eight bytes (bit i for byte i), eight bytes of each:
struct TCommaPatterns {
    /// the places of the bytes other than commas, in order, then 0x80, which a byte shuffle
    /// turns into zero;
    std::array<std::uint64_t, 256> keptBytes{};
    /// for the k-th comma, how many other bytes come before it (its field's end).
    std::array<std::uint64_t, 256> commaEnds{};
};

constexpr TCommaPatterns CommaPatterns = [] {
    TCommaPatterns patterns;
    for (unsigned commas = 0; commas < 256; ++commas) {
        std::uint64_t places = 0;
        std::uint64_t ends = 0;
        unsigned kept = 0;
        for (unsigned at = 0; at < 8; ++at) {
            if ((commas >> at & 1U) == 0) {
                places |= std::uint64_t{at} << 8 * kept++;
            } else {
                ends |= std::uint64_t{kept} << 8 * (at - kept);
            }
        }
        for (unsigned unused = kept; unused < 8; ++unused) {
            places |= std::uint64_t{0x80} << 8 * unused;
        }
        patterns.keptBytes[commas] = places;
        patterns.commaEnds[commas] = ends;
    }
    return patterns;
}();

/// Writes the ends of the commas among eight bytes, as offsets from `base` + `start`.
[[gnu::target("ssse3,popcnt")]] void WriteEnds(unsigned commas, std::uint32_t start,
                                               std::uint32_t*& ends) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i offsets = _mm_unpacklo_epi8(
        _mm_cvtsi64_si128(static_cast<long long>(CommaPatterns.commaEnds[commas])), zero);
    const __m128i first = _mm_set1_epi32(static_cast<int>(start));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(ends),
                     _mm_add_epi32(_mm_unpacklo_epi16(offsets, zero), first));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(ends + 4),
                     _mm_add_epi32(_mm_unpackhi_epi16(offsets, zero), first));
    ends += std::popcount(commas);
}

/// One block, as SplitBlocks splits it; false, with nothing written, for one it leaves.
[[gnu::target("ssse3,popcnt")]] bool SplitBlockWithVectors(const char* in, char*& out,
                                                           const char* base, std::uint32_t*& ends) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    // Bytes of 0x80 and above are negative to a signed comparison.
    const __m128i plain = _mm_andnot_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('"')),
                                           _mm_cmpgt_epi8(bytes, _mm_set1_epi8(' ')));
    if (_mm_movemask_epi8(plain) != 0xFFFF) {
        return false;
    }
    const auto commas =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(','))));
    const unsigned lowCommas = commas & 0xFFU;
    const unsigned highCommas = commas >> 8;
    // The high half's places are 8 on; 0x88 still shuffles to zero.
    const __m128i places = _mm_set_epi64x(
        static_cast<long long>(CommaPatterns.keptBytes[highCommas] + 0x0808080808080808ULL),
        static_cast<long long>(CommaPatterns.keptBytes[lowCommas]));
    const __m128i kept = _mm_shuffle_epi8(bytes, places);
    const auto lowKept = static_cast<std::size_t>(8 - std::popcount(lowCommas));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), kept);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + lowKept), _mm_unpackhi_epi64(kept, kept));
    const auto start = static_cast<std::uint32_t>(out - base);
    WriteEnds(lowCommas, start, ends);
    WriteEnds(highCommas, start + static_cast<std::uint32_t>(lowKept), ends);
    out += lowKept + 8 - static_cast<std::size_t>(std::popcount(highCommas));
    return true;
}

[[gnu::target("ssse3,popcnt")]] const char* SplitBlocksWithVectors(const char* in, const char* end,
                                                                   char*& out, const char* base,
                                                                   std::uint32_t*& ends) {
    // In locals, which the bytes written cannot alias.
    char* blockOut = out;
    std::uint32_t* blockEnds = ends;
    while (end - in > static_cast<std::ptrdiff_t>(BlockSize) &&
           SplitBlockWithVectors(in, blockOut, base, blockEnds)) {
        in += BlockSize;
    }
    out = blockOut;
    ends = blockEnds;
    return in;
}

} // namespace

const char* SplitBlocks(const char* in, const char* end, char*& out, const char* base,
                        std::uint32_t*& ends) {
    static const bool hasVectors =
        __builtin_cpu_supports("ssse3") != 0 && __builtin_cpu_supports("popcnt") != 0;
    return hasVectors ? SplitBlocksWithVectors(in, end, out, base, ends) : in;
}

#else

const char* SplitBlocks(const char* in, const char* /*end*/, char*& /*out*/, const char* /*base*/,
                        std::uint32_t*& /*ends*/) {
    return in;
}

#endif

} // namespace CommaBlocks
