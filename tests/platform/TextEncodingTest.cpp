#include "platform/TextEncoding.h"

#include "TestFiles.h"
#include "TestText.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <string>

using namespace std::string_literals;

namespace {

struct TConversionCase {
    const char* name;
    std::string bytes;
    TTextEncoding encoding;
    std::string text;
    std::size_t replacedCount;
    friend void PrintTo(const TConversionCase& c, std::ostream* os) { *os << c.name; }
};

class TextConversion : public testing::TestWithParam<TConversionCase> {};

TEST_P(TextConversion, DetectsTheEncodingAndGivesCodePageText) {
    const TConversionCase& c = GetParam();
    EXPECT_EQ(DetectTextEncoding(c.bytes), c.encoding) << Escaped(c.bytes);
    const TCodePageText converted = ConvertToCodePage(c.bytes, "a.csv");
    EXPECT_EQ(converted.text, c.text) << "got " << Escaped(converted.text);
    EXPECT_EQ(converted.replacedCount, c.replacedCount);
}

// 山田 is 0x8E52 0x9363 in the code page, ｱ 0xB1; ﾃｽ is 0xC3 0xBD.
const TConversionCase ConversionCases[] = {
    {"Empty", "", TTextEncoding::CodePage, "", 0},
    {"AsciiStaysAsItIs", "1,Sato,a b,\r\n", TTextEncoding::CodePage, "1,Sato,a b,\r\n", 0},
    {"ShiftJis", "1,\x8e\x52\x93\x63,\xb1,\r\n", TTextEncoding::CodePage,
     "1,\x8e\x52\x93\x63,\xb1,\r\n", 0},
    {"Utf8WithoutMark", "1,\xe5\xb1\xb1\xe7\x94\xb0,\xef\xbd\xb1,\r\n", TTextEncoding::Utf8,
     "1,\x8e\x52\x93\x63,\xb1,\r\n", 0},
    {"Utf8MarkDropped", "\xef\xbb\xbfk,\xe5\xb1\xb1", TTextEncoding::Utf8, "k,\x8e\x52", 0},
    {"Utf8MarkBeforeAsciiDropped", "\xef\xbb\xbfk,", TTextEncoding::Utf8, "k,", 0},
    {"Utf8MarkAlone", "\xef\xbb\xbf", TTextEncoding::Utf8, "", 0},
    {"Utf8MarkBeforeShiftJisIsText", "\xef\xbb\xbf\x8e\x52", TTextEncoding::CodePage,
     "\xef\xbb\xbf\x8e\x52", 0},
    {"ShiftJisThatIsNotUtf8", "\x83\x65\x83\x58\x83\x67", TTextEncoding::CodePage,
     "\x83\x65\x83\x58\x83\x67", 0},
    {"HalfWidthKatakanaStaysShiftJis", "\xc3\xbd\xc4,\xb6\xc0\xb6\xc5", TTextEncoding::CodePage,
     "\xc3\xbd\xc4,\xb6\xc0\xb6\xc5", 0},
    {"Utf16LittleEndian",
     "\xff\xfe"
     "1\0\t\0\x71\x5c\x30\x75\r\0\n\0"s,
     TTextEncoding::Utf16LittleEndian, "1\t\x8e\x52\x93\x63\r\n", 0},
    {"Utf16BigEndian",
     "\xfe\xff\0"
     "1\0,\x5c\x71"s,
     TTextEncoding::Utf16BigEndian, "1,\x8e\x52", 0},
    {"Utf16MarkAlone", "\xff\xfe", TTextEncoding::Utf16LittleEndian, "", 0},
    {"Utf16NulKept",
     "\xff\xfe"
     "a\0\0\0b\0"s,
     TTextEncoding::Utf16LittleEndian, "a\0b"s, 0},
    {"Utf8NotInCodePage", "\xc3\xa9t\xc3\xa9", TTextEncoding::Utf8, "?t?", 2},
    {"Utf8OutsideBasicPlaneIsOneCharacter",
     "a\xf0\x9f\x98\x80"
     "b",
     TTextEncoding::Utf8, "a?b", 1},
    {"Utf8QuestionMarkIsNoReplacement", "?\xe5\xb1\xb1?", TTextEncoding::Utf8, "?\x8e\x52?", 0},
    {"Utf16OutsideBasicPlane",
     "\xff\xfe\x3d\xd8\x00\xde"
     "a\0"s,
     TTextEncoding::Utf16LittleEndian, "?a", 1},
    {"WindowsForms", "\xef\xbd\x9e\xe2\x85\xa0", TTextEncoding::Utf8, "\x81\x60\x87\x54", 0},
    {"Backslash", "\\\xef\xbc\xbc", TTextEncoding::Utf8, "\\\x81\x5f", 0},
};
INSTANTIATE_TEST_SUITE_P(TextEncoding, TextConversion, testing::ValuesIn(ConversionCases),
                         TCaseName());

struct TUtf8Case {
    const char* name;
    std::string bytes;
    bool valid;
    friend void PrintTo(const TUtf8Case& c, std::ostream* os) { *os << c.name; }
};

class Utf8Validity : public testing::TestWithParam<TUtf8Case> {};

// Each case is also tried behind runs of ASCII of every length up to two words, so that the
// word-at-a-time skip meets it at every offset.
TEST_P(Utf8Validity, FollowsTheWellFormedSequences) {
    for (std::size_t ascii = 0; ascii <= 16; ++ascii) {
        const std::string bytes = std::string(ascii, 'a') + GetParam().bytes + "abc";
        EXPECT_EQ(IsValidUtf8(bytes), GetParam().valid) << Escaped(bytes);
        EXPECT_EQ(IsValidUtf8(std::string(ascii, 'a') + GetParam().bytes), GetParam().valid);
    }
}

const TUtf8Case Utf8Cases[] = {
    {"TwoBytes", "\xc2\x80\xdf\xbf", true},
    {"ThreeBytes", "\xe0\xa0\x80\xed\x9f\xbf\xee\x80\x80\xef\xbf\xbf", true},
    {"FourBytes", "\xf0\x90\x80\x80\xf4\x8f\xbf\xbf", true},
    {"OverlongTwoBytes", "\xc1\xbf", false},
    {"OverlongThreeBytes", "\xe0\x9f\xbf", false},
    {"OverlongFourBytes", "\xf0\x8f\xbf\xbf", false},
    {"Surrogate", "\xed\xa0\x80", false},
    {"AboveTheLastCharacter", "\xf4\x90\x80\x80", false},
    {"NoLead", "\xf5\x80\x80\x80", false},
    {"LoneContinuation", "\x80", false},
    {"MissingContinuation",
     "\xe5\xb1"
     "a",
     false},
    {"ShiftJisKanji", "\x8e\x52", false},
    {"NulIsAscii", "\0"s, true},
};
INSTANTIATE_TEST_SUITE_P(TextEncoding, Utf8Validity, testing::ValuesIn(Utf8Cases), TCaseName());

TEST(Utf8Validity, TruncatedSequenceAtTheEndIsInvalid) {
    for (const std::string end : {"\xc3", "\xe5\xb1", "\xf0\x9f\x98"}) {
        EXPECT_FALSE(IsValidUtf8("abcdefghij" + end)) << Escaped(end);
    }
}

struct TBrokenUtf16Case {
    const char* name;
    std::string bytes;
    const char* cause;
    friend void PrintTo(const TBrokenUtf16Case& c, std::ostream* os) { *os << c.name; }
};

class BrokenUtf16 : public testing::TestWithParam<TBrokenUtf16Case> {};

TEST_P(BrokenUtf16, IsAnErrorNamingTheFileAndTheCause) {
    try {
        ConvertToCodePage(GetParam().bytes, "名簿.txt");
        ADD_FAILURE() << "no failure raised";
    } catch (const ETextEncodingError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "ファイル 名簿.txt は UTF-16 として読めません: "s + GetParam().cause);
    }
}

const TBrokenUtf16Case BrokenUtf16Cases[] = {
    {"OddByteCount",
     "\xff\xfe"
     "a\0b"s,
     "バイト数が奇数です"},
    {"LoneLeadSurrogateAtTheEnd",
     "\xff\xfe"
     "a\0\x3d\xd8"s,
     "5 バイト目のサロゲートに対がありません"},
    {"LeadSurrogateBeforeACharacter", "\xfe\xff\xd8\x3d\0a"s,
     "3 バイト目のサロゲートに対がありません"},
    {"TrailSurrogateAlone",
     "\xff\xfe"
     "a\0b\0\x00\xde"s,
     "7 バイト目のサロゲートに対がありません"},
    {"TwoLeadSurrogates", "\xff\xfe\x3d\xd8\x3d\xd8\x00\xde"s,
     "3 バイト目のサロゲートに対がありません"},
};
INSTANTIATE_TEST_SUITE_P(TextEncoding, BrokenUtf16, testing::ValuesIn(BrokenUtf16Cases),
                         TCaseName());

// Conversion works in pieces; a character must not be cut where one piece ends.
TEST(TextConversion, LongTextsConvertWhole) {
    std::string utf8;
    std::string utf16 = "\xff\xfe";
    std::string expected;
    for (int line = 0; line < 40'000; ++line) {
        utf8 += "\xe5\xb1\xb1\xf0\x9f\x98\x80,";
        utf16 += "\x71\x5c\x3d\xd8\x00\xde,\0"s;
        expected += "\x8e\x52?,";
    }
    const TCodePageText fromUtf8 = ConvertToCodePage(utf8, "a.csv");
    EXPECT_TRUE(fromUtf8.text == expected);
    EXPECT_EQ(fromUtf8.replacedCount, 40'000U);
    const TCodePageText fromUtf16 = ConvertToCodePage(utf16, "a.csv");
    EXPECT_TRUE(fromUtf16.text == expected);
    EXPECT_EQ(fromUtf16.replacedCount, 40'000U);
}

TEST(ReadCodePageText, ReadsAndConvertsTheFile) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "u.csv", "\xef\xbb\xbf\xc3\xa9,\xe5\xb1\xb1");
    const TCodePageText read = ReadCodePageText(folder / "u.csv");
    EXPECT_EQ(read.text, "?,\x8e\x52");
    EXPECT_EQ(read.replacedCount, 1U);
    EXPECT_THROW(ReadCodePageText(folder / "missing.csv"), EFileOpenError);
}

TEST(ReplacedCharactersNotice, NamesTheFileAndTheCount) {
    EXPECT_EQ(ReplacedCharactersNotice("/home/t/名簿.csv", 3),
              "ファイル /home/t/名簿.csv には Shift-JIS で表せない文字が 3 個あったため、「?」"
              "に置き換えました。このまま保存すると、それらの文字は「?」になります。");
}

TEST(CodePageAppendEncoded, CountsWhatBecameAQuestionMark) {
    std::string bytes = "x";
    EXPECT_EQ(TCodePage::AppendEncoded(u"?\u00e9\U0001F600\xD800\u5C71", bytes), 3U);
    EXPECT_EQ(bytes, "x????\x8e\x52");
}

} // namespace

// Whatever the first bytes let JudgeTextStart decide must be what converting the whole text
// does: a text judged to pass as it is, from any of its beginnings, converts to itself.
TEST(JudgeTextStart, AgreesWithTheConversionOfTheWholeText) {
    const std::string pieces[] = {
        "a",        ",",    "\r\n", "\x95\x5c",         "\xe8\xa1\xa8",      "\xef\xbb\xbf",
        "\xff\xfe", "\xc3", "\x80", "\xf0\x9f\x98\x80", std::string(1, '\0')};
    std::mt19937 random(5);
    for (int round = 0; round < 20'000; ++round) {
        std::string text;
        const int count = std::uniform_int_distribution<int>(0, 8)(random);
        for (int piece = 0; piece < count; ++piece) {
            text += pieces[std::uniform_int_distribution<std::size_t>(0, std::size(pieces) -
                                                                             1)(random)];
        }
        bool passesAsItIs = false;
        try {
            const TCodePageText converted = ConvertToCodePage(text, "t.csv");
            passesAsItIs = converted.text == text && converted.replacedCount == 0;
        } catch (const ETextEncodingError&) {
            passesAsItIs = false;
        }
        const TTextStart whole = JudgeTextStart(text, true);
        ASSERT_NE(whole, TTextStart::Undecided) << Escaped(text);
        if (whole == TTextStart::CodePageAsItIs) {
            ASSERT_TRUE(passesAsItIs) << Escaped(text);
        }
        for (std::size_t length = 0; length < text.size(); ++length) {
            const TTextStart start =
                JudgeTextStart(std::string_view(text).substr(0, length), false);
            ASSERT_TRUE(start == TTextStart::Undecided || start == whole)
                << Escaped(text) << " judged from " << length << " bytes";
        }
    }
}
