#include "table/file/CommaBlocks.h"

#if defined(__GNUC__) && defined(__x86_64__)
#include "table/file/SeparatorBlocks.h"

#include <bit>
#include <immintrin.h>
#endif

namespace CommaBlocks {

#if defined(__GNUC__) && defined(__x86_64__)

namespace {

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
    SeparatorBlocks::CopyBetweenSeparators(bytes, commas, out, base, ends);
    out += BlockSize - static_cast<std::size_t>(std::popcount(commas));
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
    return SeparatorBlocks::ProcessorHasVectors() ? SplitBlocksWithVectors(in, end, out, base, ends)
                                                  : in;
}

#else

const char* SplitBlocks(const char* in, const char* /*end*/, char*& /*out*/, const char* /*base*/,
                        std::uint32_t*& /*ends*/) {
    return in;
}

#endif

} // namespace CommaBlocks
