#include "table/clipboard/TabBlocks.h"

#if defined(__GNUC__) && defined(__x86_64__)
#include <array>
#include <bit>
#include <immintrin.h>
#endif

namespace TabBlocks {

#if defined(__GNUC__) && defined(__x86_64__)

namespace {

/// For each pattern of TABs among eight bytes (bit i for byte i), eight bytes of each:
struct TTabPatterns {
    /// the places of the bytes other than TABs, in order, then 0x80, which a byte shuffle
    /// turns into zero;
    std::array<std::uint64_t, 256> keptBytes{};
    /// for the k-th TAB, how many other bytes come before it (its cell's end).
    std::array<std::uint64_t, 256> tabEnds{};
};

constexpr TTabPatterns TabPatterns = [] {
    TTabPatterns patterns;
    for (unsigned tabs = 0; tabs < 256; ++tabs) {
        std::uint64_t places = 0;
        std::uint64_t ends = 0;
        unsigned kept = 0;
        for (unsigned at = 0; at < 8; ++at) {
            if ((tabs >> at & 1U) == 0) {
                places |= std::uint64_t{at} << 8 * kept++;
            } else {
                ends |= std::uint64_t{kept} << 8 * (at - kept);
            }
        }
        for (unsigned unused = kept; unused < 8; ++unused) {
            places |= std::uint64_t{0x80} << 8 * unused;
        }
        patterns.keptBytes[tabs] = places;
        patterns.tabEnds[tabs] = ends;
    }
    return patterns;
}();

/// Writes the ends of the TABs among eight bytes, as offsets from `base` + `start`.
[[gnu::target("ssse3,popcnt")]] void WriteEnds(unsigned tabs, std::uint32_t start,
                                               std::uint32_t*& ends) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i offsets = _mm_unpacklo_epi8(
        _mm_cvtsi64_si128(static_cast<long long>(TabPatterns.tabEnds[tabs])), zero);
    const __m128i first = _mm_set1_epi32(static_cast<int>(start));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(ends),
                     _mm_add_epi32(_mm_unpacklo_epi16(offsets, zero), first));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(ends + 4),
                     _mm_add_epi32(_mm_unpackhi_epi16(offsets, zero), first));
    ends += std::popcount(tabs);
}

/// One block, as SplitBlocks splits it; returns how many of its bytes it took, all of them
/// unless it holds a CR, LF or double quote.
[[gnu::target("ssse3,popcnt")]] unsigned
SplitBlockWithVectors(const char* in, char*& out, const char* base, std::uint32_t*& ends) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    const __m128i stops = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')),
                                                    _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'))),
                                       _mm_cmpeq_epi8(bytes, _mm_set1_epi8('"')));
    const auto stopBits = static_cast<unsigned>(_mm_movemask_epi8(stops));
    const unsigned taken =
        stopBits == 0 ? unsigned{BlockSize} : static_cast<unsigned>(std::countr_zero(stopBits));
    // The bytes after a stop are shuffled and written too, beyond what `out` advances by.
    const unsigned tabs =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t')))) &
        ((1U << taken) - 1U);
    const unsigned lowTabs = tabs & 0xFFU;
    const unsigned highTabs = tabs >> 8;
    // The high half's places are 8 on; 0x88 still shuffles to zero.
    const __m128i places = _mm_set_epi64x(
        static_cast<long long>(TabPatterns.keptBytes[highTabs] + 0x0808080808080808ULL),
        static_cast<long long>(TabPatterns.keptBytes[lowTabs]));
    const __m128i kept = _mm_shuffle_epi8(bytes, places);
    const auto lowKept = static_cast<std::size_t>(8 - std::popcount(lowTabs));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), kept);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + lowKept), _mm_unpackhi_epi64(kept, kept));
    const auto start = static_cast<std::uint32_t>(out - base);
    WriteEnds(lowTabs, start, ends);
    WriteEnds(highTabs, start + static_cast<std::uint32_t>(lowKept), ends);
    out += taken - static_cast<unsigned>(std::popcount(tabs));
    return taken;
}

[[gnu::target("ssse3,popcnt")]] const char* SplitBlocksWithVectors(const char* in, const char* end,
                                                                   char*& out, const char* base,
                                                                   std::uint32_t*& ends) {
    // In locals, which the bytes written cannot alias.
    char* blockOut = out;
    std::uint32_t* blockEnds = ends;
    while (end - in >= static_cast<std::ptrdiff_t>(BlockSize)) {
        const unsigned taken = SplitBlockWithVectors(in, blockOut, base, blockEnds);
        in += taken;
        if (taken < BlockSize) {
            break;
        }
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

} // namespace TabBlocks
