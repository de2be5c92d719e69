#include "platform/Collator.h"

#include "TestScale.h"
#include "TestSystem.h"
#include "TestText.h"

#include <cstdlib>
#include <future>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace std::string_view_literals;

// Japanese and English rules, Thai (whose own rules ignore symbols) and the root order.
const char* const Locales[] = {"ja", "en", "th", ""};

int Sign(int value) {
    return (value > 0) - (value < 0);
}

struct TOrder {
    const char* what;
    std::string_view first, second;
    int sign;
};

#ifdef _WIN32
// Windows weighs '-' and '\'' only once all else is equal: "co-op" right after "coop".
constexpr int IgnoredPunctuationOrder = 1;
#else
constexpr int IgnoredPunctuationOrder = 0;
#endif

const TOrder Orders[] = {
    {"numbers compare as text", "10", "9", -1},
    {"case does not decide", "A12", "a13", -1},
    {"case does not decide", "a12", "A13", -1},
    {"case is ignored", "a12", "A12", 0},
    {"full-width case is ignored", "\x82\x60\x82\x61", "\x82\x81\x82\x82", 0},
    {"hyphen is ignored", "co-op", "coop", IgnoredPunctuationOrder},
    {"apostrophe is ignored", "don't", "dont", IgnoredPunctuationOrder},
    {"hyphen is ignored before the letters decide", "co-op", "cop", -1},
    {"symbols before digits", "#9", "1", -1},
    {"digits before letters", "9", "a", -1},
    {"double-byte symbols before letters", "\x81\x45z", "a", -1},
    {"padded scores", "0085, 3,Sato,", "0100, 1,Ito,", -1},
    {"decimal score padded by its length", "07.5, 2,Ono,", "0010, 1,Ito,", 1},
    {"unpadded decimal score", "85.5, 2,Ono,", "0100, 1,Ito,", 1},
    {"full-width letters", "\x82\x60", "\x82\x61", -1},
    {"kana with a 0x5C trail byte", "\x83\x5C", "\x83\x5E", -1},
};

TEST(CollatorTest, OrdersTextsInEveryLocale) {
    const std::string_view windowsSymbolOrder = " !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>0";
    for (const char* locale : Locales) {
        const TCollator collator(locale);
        for (const TOrder& order : Orders) {
            SCOPED_TRACE(std::string(locale) + ": " + order.what);
            EXPECT_EQ(Sign(collator.Compare(order.first, order.second)), order.sign);
            EXPECT_EQ(Sign(collator.Compare(order.second, order.first)), -order.sign);
        }
        for (std::size_t at = 1; at < windowsSymbolOrder.size(); ++at) {
            const std::string_view pair = windowsSymbolOrder.substr(at - 1, 2);
            if (RunsUnderWine() && std::string_view(locale) == "ja" && pair == "\\]") {
                // Wine's Japanese table puts '\' after ']', unlike Windows' order of symbols.
                continue;
            }
            EXPECT_LT(collator.Compare(pair.substr(0, 1), pair.substr(1)), 0) << locale << pair;
        }
    }
}

TEST(CollatorTest, SortKeyOrderIsCompareOrderForAnyBytes) {
    // Squared katakana expand to several characters: a key longer than the first guess.
    const std::string_view squared = "\x87\x65\x87\x65\x87\x65\x87\x65\x87\x65\x87\x65\x87\x65";
    // ASCII; bytes that form no character; half-width and full-width kana, kanji, full-width
    // letters, trail byte 0x5C, yen sign.
    const std::string_view texts[] = {
        "",         "a",        "A",        "-",        "co-op",    "coop",     "10",
        "9",        "0085, x",  "a\0b"sv,   "\x82",     "abc\x82",  "\x81\x20", "\xFF\x80\xA0",
        "\xB1",     "\x83\x41", "\x82\xA0", "\x88\x9F", "\x82\x60", "\x82\x81", "\x83\x5C",
        "\x81\x5F", squared};
    for (const char* locale : Locales) {
        const TCollator collator(locale);
        for (std::string_view a : texts) {
            for (std::string_view b : texts) {
                if (RunsUnderWine() && (a == "\x82" || b == "\x82")) {
                    // Wine's CompareStringEx ignores U+FFFD, which its sort keys weigh.
                    continue;
                }
                EXPECT_EQ(Sign(collator.Compare(a, b)),
                          Sign(collator.SortKey(a).compare(collator.SortKey(b))))
                    << locale;
            }
        }
    }
}

// Characters in code page 932 that a class list may hold: digits, letters of both cases and
// both widths, ASCII and double-byte symbols (the ignored '-' and '\'' among them), blanks,
// half-width and full-width kana with the marks weighed by what precedes them (long vowel,
// iteration marks), kanji, Greek, Cyrillic, circled and Roman numbers, squared words that
// expand, and bytes that form no character.
const std::vector<std::string> PrefixCharacters = {
    "0",        "1",        "4",        "7",        "9",        "a",        "A",        "b",
    "B",        "z",        "Z",        " ",        ",",        ".",        "-",        "'",
    "#",        "+",        "<",        "_",        "~",        "\\",       "\x81\x40", "\x82\x4F",
    "\x82\x58", "\x82\x60", "\x82\x81", "\x82\x61", "\x82\x82", "\xB1",     "\xB6",     "\xDE",
    "\xB0",     "\x82\xA0", "\x82\xA9", "\x82\xAA", "\x83\x41", "\x83\x4A", "\x83\x4B", "\x83\x5C",
    "\x81\x5B", "\x81\x54", "\x81\x52", "\x81\x58", "\x8E\x52", "\x93\x63", "\x88\x9F", "\x98\x59",
    "\x83\x9F", "\x83\xBF", "\x84\x40", "\x84\x70", "\x87\x40", "\x87\x54", "\xFA\x40", "\x87\x65",
    "\x81\x7C", "\x81\x5D", "\x80",     "\xFF",     "\x82"};

std::string RandomPrefixText(std::mt19937& random) {
    std::uniform_int_distribution<std::size_t> pick(0, PrefixCharacters.size() - 1);
    std::string text;
    for (int count = std::uniform_int_distribution<int>(0, 15)(random); count > 0; --count) {
        text += PrefixCharacters[pick(random)];
    }
    return text;
}

/// A text close to `text`: one character changed, added or dropped, so that most pairs share
/// a long beginning, as the rows of a class list do.
std::string NearText(const std::string& text, std::mt19937& random) {
    std::uniform_int_distribution<std::size_t> pick(0, PrefixCharacters.size() - 1);
    std::string near = text;
    const std::size_t at = std::uniform_int_distribution<std::size_t>(0, text.size())(random);
    switch (std::uniform_int_distribution<int>(0, 2)(random)) {
    case 0:
        near.insert(at, PrefixCharacters[pick(random)]);
        break;
    case 1:
        near.erase(at, 1);
        break;
    default:
        near.replace(at, 1, PrefixCharacters[pick(random)]);
        break;
    }
    return near;
}

TEST(CollatorPrimaryPrefix, NeverContradictsTheCollator) {
    const int PairsPerLocale = Scaled(500'000);
    for (const char* locale : Locales) {
        const TCollator collator(locale);
        std::mt19937 random(20261207);
        int decided = 0;
        int wrong = 0;
        for (int pair = 0; pair < PairsPerLocale && wrong < 10; ++pair) {
            const std::string a = RandomPrefixText(random);
            const std::string b = pair % 2 == 0 ? RandomPrefixText(random) : NearText(a, random);
            const int order =
                ComparePrimaryPrefixes(collator.PrimaryPrefix(a), collator.PrimaryPrefix(b));
            if (order == 0) {
                continue;
            }
            ++decided;
            if (order != Sign(collator.Compare(a, b))) {
                ++wrong;
                ADD_FAILURE() << locale << ": " << Escaped(a) << " against " << Escaped(b);
            }
        }
#ifdef _WIN32
        // Windows' weights are not open to the program: its whole keys decide every pair.
        EXPECT_EQ(decided, 0) << locale;
#else
        // Pairs the prefixes leave open cost the sort the collator's whole keys.
        EXPECT_GT(decided, PairsPerLocale / 3) << locale;
#endif
    }
}

TEST(CollatorPrimaryPrefix, StopsWhereACharacterHasNoWeightOfItsOwn) {
#ifdef _WIN32
    GTEST_SKIP() << "prefixes are built from ICU's weights; Windows' weights are not open";
#endif
    const TCollator japanese("ja");
    struct TStop {
        const char* what;
        std::string_view text;
        std::size_t length;
        bool complete;
    };
    const TStop stops[] = {
        {"whole text", "2405,ab", 7, true},
        {"capacity", "12345678901234567890", TPrimaryPrefix::Capacity, false},
        {"ignored hyphen", "12-3", 2, false},
        {"long vowel, weighed by what precedes it", "1\x81\x5B", 1, false},
        {"squared word expands", "1\x87\x65", 1, false},
        {"byte of no character", "1\x80", 1, false},
        {"lead byte at the end", "1\x82", 1, false},
        {"empty", "", 0, true},
    };
    for (const TStop& stop : stops) {
        const TPrimaryPrefix prefix = japanese.PrimaryPrefix(stop.text);
        EXPECT_EQ(std::size_t{prefix.length}, stop.length) << stop.what;
        EXPECT_EQ(prefix.complete, stop.complete) << stop.what;
    }
}

// A program may prepare the prefixes on one thread while another already asks for them: each
// gets the same prefixes, built once.
TEST(CollatorPrimaryPrefix, PreparedOnAnotherThreadMeanwhileGivesTheSamePrefixes) {
    const std::vector<std::string> texts = {"2405,ab", "\x95\x5C,\x89\xD4", "Abe", "~+<"};
    const TCollator preparing("de");
    const TCollator asking("de");
    std::future<void> prepared =
        std::async(std::launch::async, [&] { preparing.PreparePrimaryPrefixes(); });
    std::vector<TPrimaryPrefix> meanwhile;
    for (const std::string& text : texts) {
        meanwhile.push_back(asking.PrimaryPrefix(text));
    }
    prepared.get();
    for (std::size_t at = 0; at < texts.size(); ++at) {
        const TPrimaryPrefix after = preparing.PrimaryPrefix(texts[at]);
        EXPECT_EQ(after.ranks, meanwhile[at].ranks) << texts[at];
        EXPECT_EQ(after.length, meanwhile[at].length) << texts[at];
        EXPECT_EQ(after.complete, meanwhile[at].complete) << texts[at];
    }
}

TEST(CollatorTest, TakesTheUserLocaleFromTheFirstSetVariable) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows takes the user's locale from its settings, not from variables";
#else
    const char* const variables[] = {"LC_ALL", "LC_COLLATE", "LANG"};
    std::optional<std::string> saved[3];
    for (std::size_t at = 0; at < 3; ++at) {
        if (const char* value = std::getenv(variables[at])) {
            saved[at] = value;
        }
    }
    // LC_ALL, LC_COLLATE, LANG -> ICU name; an empty variable counts as unset.
    const std::string_view cases[][4] = {{"ja_JP.UTF-8", "en_US.UTF-8", "de_DE", "ja_JP"},
                                         {"", "en_US.UTF-8", "ja_JP", "en_US"},
                                         {"", "", "de_DE.ISO-8859-15@euro", "de_DE"},
                                         {"C.UTF-8", "ja_JP", "ja_JP", ""},
                                         {"", "", "", ""}};
    for (const auto& test : cases) {
        for (std::size_t at = 0; at < 3; ++at) {
            setenv(variables[at], std::string(test[at]).c_str(), 1);
        }
        EXPECT_EQ(TCollator::UserLocaleName(), test[3]) << test[0] << test[1] << test[2];
    }
    EXPECT_EQ(TCollator().Compare("co-op", "COOP"), 0);
    EXPECT_LT(TCollator("zz_QQ").Compare("10", "9"), 0);
    for (std::size_t at = 0; at < 3; ++at) {
        if (saved[at]) {
            setenv(variables[at], saved[at]->c_str(), 1);
        } else {
            unsetenv(variables[at]);
        }
    }
#endif
}

} // namespace
