#include "platform/Collator.h"

#include <algorithm>

int ComparePrimaryPrefixes(const TPrimaryPrefix& a, const TPrimaryPrefix& b) {
    const std::size_t common = std::min(a.length, b.length);
    for (std::size_t at = 0; at < common; ++at) {
        if (a.ranks[at] != b.ranks[at]) {
            return a.ranks[at] < b.ranks[at] ? -1 : 1;
        }
    }
    // A whole text's weights that begin the other's: it is shorter at the primary level.
    if (a.length < b.length && a.complete) {
        return -1;
    }
    if (b.length < a.length && b.complete) {
        return 1;
    }
    return 0;
}
