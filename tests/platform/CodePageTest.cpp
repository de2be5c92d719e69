#include "platform/CodePage.h"

#include "TestText.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct TCodeCase {
    const char* name;
    std::string bytes;
    std::u16string text;
    friend void PrintTo(const TCodeCase& c, std::ostream* os) { *os << c.name; }
};

class CodePageDecode : public testing::TestWithParam<TCodeCase> {};

TEST_P(CodePageDecode, GivesWindowsCharacters) {
    const TCodeCase& c = GetParam();
    EXPECT_TRUE(TCodePage::Decode(c.bytes) == c.text) << "bytes " << Escaped(c.bytes);
}

const TCodeCase DecodeCases[] = {
    {"AsciiBackslashAndTilde", "a\\~", u"a\\~"},
    {"FullWidthBackslash", "\x81\x5f", u"\uFF3C"},
    {"TrailBackslash", "\x83\x5c\x95\x5c", u"\u30BD\u8868"},
    {"WindowsOnlyForms", "\x81\x60\x81\x7c\x81\xca", u"\uFF5E\uFF0D\uFFE2"},
    {"HalfWidthKatakana", "\xa1\xdf", u"\uFF61\uFF9F"},
    {"OddSingleBytes", "\x80\xa0\xfd\xfe\xff", u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3"},
    {"NecAndIbmRows", "\x87\x54\xfa\x40\xed\x40", u"\u2160\u2170\u7E8A"},
    {"UserArea", "\xf0\x40\xf9\xfc", u"\uE000\uE757"},
    {"LoneLeadAtEnd", "a\x81", u"a\uFFFD"},
    {"LeadBeforeAComma", "\x81,x", u"\uFFFD,x"},
    {"LeadWithoutCharacters", "\x85@b", u"\uFFFDb"},
};
INSTANTIATE_TEST_SUITE_P(CodePage, CodePageDecode, testing::ValuesIn(DecodeCases), TCaseName());

class CodePageEncode : public testing::TestWithParam<TCodeCase> {};

TEST_P(CodePageEncode, GivesWindowsCodes) {
    const TCodeCase& c = GetParam();
    EXPECT_EQ(TCodePage::Encode(c.text), c.bytes) << "got " << Escaped(TCodePage::Encode(c.text));
}

// Characters with several codes get the one Windows writes: JIS row, else NEC row 13, else IBM.
const TCodeCase EncodeCases[] = {
    {"Backslashes", "\\\x81\x5f", u"\\\uFF3C"},
    {"JisBeforeNec", "\x81\xe0\x81\xca\x81\xe6", u"\u2252\uFFE2\u2235"},
    {"NecBeforeIbm", "\x87\x54", u"\u2160"},
    {"IbmNotNecSelected", "\xfa\x40\xfa\x68", u"\u2170\u4E28"},
    {"OddSingleBytes", "\x80\xa0\xfd", u"\u0080\uF8F0\uF8F1"},
    {"HalfWidthKatakana", "\xb1", u"\uFF71"},
    {"NotInCodePage", "?a?", u"\u00E9a\u00A5"},
    {"OutsideBasicPlane", "?x", u"\U0001F600x"},
    {"LoneSurrogate", "?x", u"\xD800x"},
    {"YenSignIsNoBackslash", "?", u"\u00A5"},
};
INSTANTIATE_TEST_SUITE_P(CodePage, CodePageEncode, testing::ValuesIn(EncodeCases), TCaseName());

struct TVariantCase {
    const char* name;
    std::u16string variant;
    std::u16string twin;
    std::string bytes;
    friend void PrintTo(const TVariantCase& c, std::ostream* os) { *os << c.name; }
};

class CodePageVariant : public testing::TestWithParam<TVariantCase> {};

// Mac and web forms write one character, Windows programs its twin: both are the code page's
// character, neither counted as replaced, and the twin is what decoding gives back.
TEST_P(CodePageVariant, EncodesAsItsTwin) {
    const TVariantCase& c = GetParam();
    EXPECT_EQ(TCodePage::Encode(c.variant), c.bytes);
    EXPECT_EQ(TCodePage::Encode(c.twin), c.bytes);
    EXPECT_TRUE(TCodePage::Decode(c.bytes) == c.twin);
    std::string appended;
    EXPECT_EQ(TCodePage::AppendEncoded(u"a" + c.variant + c.twin, appended), 0U);
    EXPECT_EQ(appended, "a" + c.bytes + c.bytes);
}

const TVariantCase VariantCases[] = {
    {"MinusSign", u"\u2212", u"\uFF0D", "\x81\x7c"},
    {"WaveDash", u"\u301C", u"\uFF5E", "\x81\x60"},
    {"DoubleVerticalLine", u"\u2016", u"\u2225", "\x81\x61"},
    {"EmDash", u"\u2014", u"\u2015", "\x81\x5c"},
    {"CentSign", u"\u00A2", u"\uFFE0", "\x81\x91"},
    {"PoundSign", u"\u00A3", u"\uFFE1", "\x81\x92"},
    {"NotSign", u"\u00AC", u"\uFFE2", "\x81\xca"},
};
INSTANTIATE_TEST_SUITE_P(CodePage, CodePageVariant, testing::ValuesIn(VariantCases), TCaseName());

// Every double-byte code that is a character encodes to a code of the same character.
TEST(CodePage, EveryDoubleByteCharacterSurvivesEncoding) {
    for (unsigned code = 0x8140; code <= 0xFCFC; ++code) {
        const std::string bytes{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
        if (!TCodePage::IsLeadByte(static_cast<unsigned char>(bytes[0]))) {
            continue;
        }
        const std::u16string text = TCodePage::Decode(bytes);
        if (text.size() != 1 || text == u"\uFFFD") {
            continue;
        }
        const std::string encoded = TCodePage::Encode(text);
        ASSERT_EQ(encoded.size(), 2U) << "code " << Escaped(bytes);
        ASSERT_TRUE(TCodePage::Decode(encoded) == text) << "code " << Escaped(bytes);
    }
}

TEST(CodePage, Utf8AtTheEdges) {
    EXPECT_EQ(TCodePage::ToUtf8("\x83\x5c\x95\x5c\\\xb1"), "ソ表\\ｱ");
    EXPECT_EQ(TCodePage::FromUtf8("ソ表\\ｱ＼é"), "\x83\x5c\x95\x5c\\\xb1\x81\x5f?");
    EXPECT_EQ(TCodePage::FromUtf8("−1〜2—‖¢£¬"), "\x81\x7c"
                                                 "1\x81\x60"
                                                 "2\x81\x5c\x81\x61\x81\x91\x81\x92\x81\xca");
}

struct TLowerCase {
    const char* name;
    std::string bytes;
    std::string lowered;
    friend void PrintTo(const TLowerCase& c, std::ostream* os) { *os << c.name; }
};

class CodePageLowerCase : public testing::TestWithParam<TLowerCase> {};

TEST_P(CodePageLowerCase, LowersOnlyWholeCharacters) {
    const TLowerCase& c = GetParam();
    EXPECT_EQ(TCodePage::LowerCase(c.bytes), c.lowered)
        << Escaped(c.bytes) << " gave " << Escaped(TCodePage::LowerCase(c.bytes));
    EXPECT_TRUE(TCodePage::EqualsLowered(c.bytes, c.lowered)) << Escaped(c.bytes);
    EXPECT_EQ(TCodePage::EqualsLowered(c.bytes, c.bytes), c.bytes == c.lowered) << Escaped(c.bytes);
}

const TLowerCase LowerCaseCases[] = {
    {"Ascii", "AZaz@[`{09", "azaz@[`{09"},
    {"FullWidthLetters", "\x82\x60\x82\x79\x82\x81", "\x82\x81\x82\x9a\x82\x81"},
    {"Greek", "\x83\x9f\x83\xb6", "\x83\xbf\x83\xd6"},
    {"Cyrillic", "\x84\x40\x84\x46\x84\x4e\x84\x4f\x84\x60",
     "\x84\x70\x84\x76\x84\x7e\x84\x80\x84\x91"},
    {"RomanNumerals", "\x87\x54\x87\x5d\xfa\x4a", "\xfa\x40\xfa\x49\xfa\x40"},
    {"TrailLettersUntouched", "A\x83\x41\x83\x5a\x82\x60", "a\x83\x41\x83\x5a\x82\x81"},
    {"KanaKanjiHalfWidth", "\x83\x5c\x95\x5c\xb1\x81\x40", "\x83\x5c\x95\x5c\xb1\x81\x40"},
    {"LowerFormNotInCodePage", "\x81\xf0", "\x81\xf0"},
    {"UndecodableBytes", "\x85\x41\x80\xff", "\x85\x41\x80\xff"},
    {"LoneLeadAtEnd", "A\x81", "a\x81"},
};
INSTANTIATE_TEST_SUITE_P(CodePage, CodePageLowerCase, testing::ValuesIn(LowerCaseCases),
                         TCaseName());

// One-byte texts, the usual answers and keys, are compared without building their lower-case
// forms: every byte and every pair must agree with LowerCase.
TEST(CodePage, OneByteTextsLowerAndCompareAsLowerCaseDoes) {
    for (int code = 0; code < 256; ++code) {
        const std::string text(1, static_cast<char>(code));
        const std::string lowered = TCodePage::LowerCase(text);
        ASSERT_EQ(std::string(1, TCodePage::LowerAscii(text[0])), lowered) << Escaped(text);
        for (int other = 0; other < 256; ++other) {
            const std::string key = TCodePage::LowerCase(std::string(1, static_cast<char>(other)));
            ASSERT_EQ(TCodePage::EqualsLowered(text, key), lowered == key)
                << Escaped(text) << " against " << Escaped(key);
        }
    }
}

} // namespace
