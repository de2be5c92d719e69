#include "table/clipboard/TabBlocks.h"

#if defined(__GNUC__) && defined(__x86_64__)
#include "table/file/SeparatorBlocks.h"

#include <bit>
#include <immintrin.h>
#endif

namespace TabBlocks {

#if defined(__GNUC__) && defined(__x86_64__)

namespace {

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
    SeparatorBlocks::CopyBetweenSeparators(bytes, tabs, out, base, ends);
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
    return SeparatorBlocks::ProcessorHasVectors() ? SplitBlocksWithVectors(in, end, out, base, ends)
                                                  : in;
}

#else

const char* SplitBlocks(const char* in, const char* /*end*/, char*& /*out*/, const char* /*base*/,
                        std::uint32_t*& /*ends*/) {
    return in;
}

#endif

} // namespace TabBlocks
