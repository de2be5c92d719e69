// What CompareStringEx gives with NORM_IGNORECASE, as Windows documents and shows it: the
// orders the Linux collator only approaches (it takes "co-op" for "coop", width and kana
// type for nothing).

#include "TestText.h"
#include "platform/Collator.h"

#include <gtest/gtest.h>
#include <string>

namespace {

int Sign(int value) {
    return (value > 0) - (value < 0);
}

struct TWindowsOrder {
    const char* what;
    std::string first, second;
    int sign; // 2: the texts differ, in an order not pinned here
};

const TWindowsOrder WindowsOrders[] = {
    {"hyphen weighed after the letters", "coop", "co-op", -1},
    {"hyphen weighed after the letters", "co-op", "cop", -1},
    {"a trailing hyphen still counts", "a", "a-", -1},
    {"apostrophe weighed after the letters", "dont", "don't", -1},
    {"apostrophe before hyphen", "'", "-", -1},
    {"hyphen before a letter weighs only at the end", "-o", "/m", 1},
    {"symbols before letters", "_Property", "EndDialog", -1},
    {"full-width differs from ASCII", "\x82\x60", "a", 2},
    {"letters decide before width",
     "\x82\x60"
     "b",
     "ac", -1},
    {"half-width differs from full-width katakana", "\xB1", "\x83\x41", 2},
    {"hiragana differs from katakana", "\x82\xA0", "\x83\x41", 2},
};

TEST(WindowsCollator, OrdersAsCompareStringDoes) {
    for (const char* locale : {"ja", "en", ""}) {
        const TCollator collator(locale);
        for (const TWindowsOrder& order : WindowsOrders) {
            SCOPED_TRACE(std::string(locale) + ": " + order.what + " " + Escaped(order.first) +
                         " " + Escaped(order.second));
            const int sign = Sign(collator.Compare(order.first, order.second));
            if (order.sign == 2) {
                EXPECT_NE(sign, 0);
            } else {
                EXPECT_EQ(sign, order.sign);
            }
            EXPECT_EQ(Sign(collator.Compare(order.second, order.first)), -sign);
            EXPECT_EQ(Sign(collator.SortKey(order.first).compare(collator.SortKey(order.second))),
                      sign);
        }
    }
}

} // namespace
