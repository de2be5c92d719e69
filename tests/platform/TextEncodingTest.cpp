#include "platform/TextEncoding.h"

#include "TestFiles.h"
#include "TestText.h"
#include "platform/CodePage.h"

#include <array>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <span>
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
    const TCodePageText converted = ConvertToCodePage(c.bytes, "a.csv");
    EXPECT_EQ(converted.encoding, c.encoding) << Escaped(c.bytes);
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
    // −3 and 1〜2 as Mac and web forms write them: what the code page holds is no "?".
    {"Utf8MinusAndWaveDash",
     "\xe2\x88\x92"
     "3,1\xe3\x80\x9c"
     "2",
     TTextEncoding::Utf8,
     "\x81\x7c"
     "3,1\x81\x60"
     "2",
     0},
    {"Utf16LittleEndianWithoutMark", "1\0,\0k\0\r\0\n\0"s, TTextEncoding::Utf16LittleEndian,
     "1,k\r\n", 0},
    {"Utf16BigEndianWithoutMark",
     "\0"
     "1\0,\0k\0\n"s,
     TTextEncoding::Utf16BigEndian, "1,k\n", 0},
    // 1,山田　ア: U+3000 (the ideographic space) puts a zero where ASCII has none.
    {"Utf16LittleEndianJapaneseWithoutMark", "1\0,\0\x71\x5c\x30\x75\x00\x30\xa2\x30\r\0\n\0"s,
     TTextEncoding::Utf16LittleEndian, "1,\x8e\x52\x93\x63\x81\x40\x83\x41\r\n", 0},
    // Two zero bytes are too few to tell UTF-16: these have three.
    {"Utf16BigEndianJapaneseWithoutMark", "\0k\x5c\x71\x75\x30\x30\x00\0,\x22\x12\0\n"s,
     TTextEncoding::Utf16BigEndian, "k\x8e\x52\x93\x63\x81\x40,\x81\x7c\n", 0},
    {"Utf16WithoutMarkOutsideBasicPlane",
     "\x3d\xd8\x00\xde"
     "a\0,\0\n\0"s,
     TTextEncoding::Utf16LittleEndian, "?a,\n", 1},
    // The line rules let a NUL end a text; a code-page file may hold one after its first line.
    {"NulAfterTheFirstLineEndsCodePageText", "k,a,\r\n1,\x8e\x52\0junk"s, TTextEncoding::CodePage,
     "k,a,\r\n1,\x8e\x52\0junk"s, 0},
    {"NulAfterTheFirstLineOfUtf8", "k,\xe5\xb1\xb1\n\0"s, TTextEncoding::Utf8, "k,\x8e\x52\n\0"s,
     0},
    {"NulPaddingAfterTheText", "k,a,\r\n\0\0\0\0\0\0"s, TTextEncoding::CodePage,
     "k,a,\r\n\0\0\0\0\0\0"s, 0},
    {"NulPastTheFirstKilobytes", std::string(5000, 'a') + "\0b"s, TTextEncoding::CodePage,
     std::string(5000, 'a') + "\0b"s, 0},
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

/// How a text whose first line holds a UTF-8 character, followed by `bytes`, is read: as UTF-8
/// exactly when `bytes` are well-formed.
TTextEncoding EncodingAfterUtf8Line(const std::string& bytes) {
    return ConvertToCodePage("\xc3\xa9\r\n" + bytes, "a.csv").encoding;
}

TTextEncoding EncodingForValidity(bool valid) {
    return valid ? TTextEncoding::Utf8 : TTextEncoding::CodePage;
}

// Each case is also tried behind runs of ASCII of every length up to two words, so that the
// word-at-a-time skip meets it at every offset.
TEST_P(Utf8Validity, FollowsTheWellFormedSequences) {
    const TTextEncoding expected = EncodingForValidity(GetParam().valid);
    for (std::size_t ascii = 0; ascii <= 16; ++ascii) {
        const std::string bytes = std::string(ascii, 'a') + GetParam().bytes + "abc";
        EXPECT_EQ(EncodingAfterUtf8Line(bytes), expected) << Escaped(bytes);
        EXPECT_EQ(EncodingAfterUtf8Line(std::string(ascii, 'a') + GetParam().bytes), expected);
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
        EXPECT_EQ(EncodingAfterUtf8Line("abcdefghij" + end), TTextEncoding::CodePage)
            << Escaped(end);
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
    {"OddByteCountWithoutMark", "1\0,\0\r\0\n\0x"s, "バイト数が奇数です"},
    {"LoneLeadSurrogateWithoutMark",
     "a\0,\0\x3d\xd8"
     "b\0"s,
     "5 バイト目のサロゲートに対がありません"},
    {"TrailSurrogateAloneWithoutMark", "\0a\0,\xde\0\0\n"s,
     "5 バイト目のサロゲートに対がありません"},
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

struct TUnknownEncodingCase {
    const char* name;
    std::string bytes;
    std::size_t nulPlace;
    friend void PrintTo(const TUnknownEncodingCase& c, std::ostream* os) { *os << c.name; }
};

class UnknownEncoding : public testing::TestWithParam<TUnknownEncodingCase> {};

// Such a file would load as an empty table and saving it would destroy it: it is refused.
TEST_P(UnknownEncoding, IsRefusedNamingTheFileAndTheNul) {
    try {
        ConvertToCodePage(GetParam().bytes, "名簿.txt");
        ADD_FAILURE() << "no failure raised";
    } catch (const EUnknownTextEncodingError& error) {
        EXPECT_EQ(
            std::string(error.what()),
            "ファイル 名簿.txt はテキストとして読めません: " + std::to_string(GetParam().nulPlace) +
                " バイト目に NUL があり、Shift-JIS、UTF-8、UTF-16 のどれでもありません");
    }
}

const TUnknownEncodingCase UnknownEncodingCases[] = {
    {"NulInTheFirstLine", "k,a\0b,\r\n1,x,\r\n"s, 4},
    {"NulAtTheStart", "\0k,\r\n"s, 1},
    {"Utf32LittleEndian", "1\0\0\0,\0\0\0\r\0\0\0\n\0\0\0"s, 2},
    {"Utf32LittleEndianWithMark",
     "\xff\xfe\0\0"
     "1\0\0\0\n\0\0\0"s,
     3},
    {"Utf32BigEndian",
     "\0\0\0"
     "1\0\0\0,\0\0\0\n"s,
     1},
    {"ZipArchiveOfASpreadsheet", "PK\x03\x04\x14\0\x06\0\x08\0\0\0!\0"s, 6},
    {"Utf16HoldingU0000", "a\0\0\0b\0\r\0\n\0"s, 2},
    {"LoneNulInALongFirstLine", std::string(3000, 'a') + "\0b\r\n"s, 3001},
    {"Utf8MarkThenNul",
     "\xef\xbb\xbf"
     "a\0b\0"s,
     5},
    {"OneAsciiUnitIsTooFewForUtf16", "k\0"s, 2},
    {"NulsApartAfterTheFirstLine", std::string(40, 'k') + "\r\na\0b\0"s, 44},
    // Short texts whose few zero bytes fall at odd places by chance: no evidence of UTF-16.
    {"TwoNulsAtOddPlacesAmongTabs", "a\tb\0c\0d\te\tf\tg\th\t"s, 4},
    {"TwoNulsBesideSeparators", "ab,\0cd\n\0"s, 4},
    {"NulsBesideNoSeparatorOrLineBreak", "abc\0def\0ghi\0jkl\0"s, 4},
    {"NulsBesideControlBytes", "\x01\0\x02\0\x03\0,\0\r\0\n\0"s, 2},
    {"UnitsOfScriptsNoClassWrites", "1\0,\0a\tb\tc\td\t\r\0\n\0"s, 2},
};
INSTANTIATE_TEST_SUITE_P(TextEncoding, UnknownEncoding, testing::ValuesIn(UnknownEncodingCases),
                         TCaseName());

TEST(UnknownEncoding, IsATextEncodingError) {
    EXPECT_THROW(ConvertToCodePage("\0"s, "a.csv"), ETextEncodingError);
}

// Japanese text with few ASCII characters between still shows its byte order, and text with
// hardly any zero byte does not pass for UTF-16.
TEST(Utf16WithoutMark, NeedsOneUnitInEightOfAscii) {
    // 山田太郎 and a line break: 2 ASCII units in 6.
    const std::string line = "\x71\x5c\x30\x75\x2a\x59\xce\x90\r\0\n\0"s;
    std::string text;
    while (text.size() < 8192) {
        text += line;
    }
    EXPECT_EQ(ConvertToCodePage(text, "a.csv").encoding, TTextEncoding::Utf16LittleEndian);
    // 山田太郎 repeated, 2 ASCII units in 18: its CR comes before the first zero byte, yet the
    // zero bytes are not the one run a code-page text may hold.
    const std::string fewAscii = "\x71\x5c\x30\x75\x2a\x59\xce\x90"s;
    const std::string sparse = fewAscii + fewAscii + fewAscii + fewAscii + "\r\0\n\0"s;
    EXPECT_THROW(ConvertToCodePage(sparse, "a.csv"), EUnknownTextEncodingError) << Escaped(sparse);

    // At the edge: lines of fourteen 山 and a line break hold one ASCII unit in eight, lines of
    // fifteen fewer.
    const auto linesOf = [](int kanji) {
        std::string lineOf;
        for (int count = 0; count < kanji; ++count) {
            lineOf += "\x71\x5c";
        }
        lineOf += "\r\0\n\0"s;
        std::string lines;
        while (lines.size() < 8192) {
            lines += lineOf;
        }
        return lines;
    };
    EXPECT_EQ(ConvertToCodePage(linesOf(14), "a.csv").encoding, TTextEncoding::Utf16LittleEndian);
    EXPECT_THROW(ConvertToCodePage(linesOf(15), "a.csv"), EUnknownTextEncodingError);
}

// Only the first 4 KiB tell; what follows decides nothing but is converted all the same.
TEST(Utf16WithoutMark, IsToldByItsFirstKilobytes) {
    std::string text;
    std::string expected;
    for (int line = 0; line < 2000; ++line) {
        text += "1\0,\0\x71\x5c\r\0\n\0"s;
        expected += "1,\x8e\x52\r\n";
    }
    text += "\0\0\x3d\xd8\x00\xde"s;
    expected += "\0?"s;
    const TCodePageText converted = ConvertToCodePage(text, "a.csv");
    EXPECT_TRUE(converted.text == expected);
    EXPECT_EQ(converted.replacedCount, 1U);
}

// Conversion works in pieces; a character must not be cut where one piece ends.
TEST(TextConversion, LongTextsConvertWhole) {
    std::string utf8;
    std::string utf16 = "\xff\xfe";
    std::string unmarkedUtf16;
    std::string expected;
    for (int line = 0; line < 40'000; ++line) {
        utf8 += "\xe5\xb1\xb1\xf0\x9f\x98\x80,";
        utf16 += "\x71\x5c\x3d\xd8\x00\xde,\0"s;
        unmarkedUtf16 += "\x5c\x71\xd8\x3d\xde\x01\0,"s;
        expected += "\x8e\x52?,";
    }
    const TCodePageText fromUtf8 = ConvertToCodePage(utf8, "a.csv");
    EXPECT_TRUE(fromUtf8.text == expected);
    EXPECT_EQ(fromUtf8.replacedCount, 40'000U);
    const TCodePageText fromUtf16 = ConvertToCodePage(utf16, "a.csv");
    EXPECT_TRUE(fromUtf16.text == expected);
    EXPECT_EQ(fromUtf16.replacedCount, 40'000U);
    const TCodePageText fromUnmarkedUtf16 = ConvertToCodePage(unmarkedUtf16, "a.csv");
    EXPECT_TRUE(fromUnmarkedUtf16.text == expected);
    EXPECT_EQ(fromUnmarkedUtf16.replacedCount, 40'000U);
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
    EXPECT_EQ(ReplacedCharactersNotice("/home/t/名簿.csv", 3).Japanese(),
              "ファイル /home/t/名簿.csv には Shift-JIS で表せない文字が 3 個あったため、「?」"
              "に置き換えました。このまま保存すると、それらの文字は「?」になります。");
}

TEST(CodePageAppendEncoded, CountsWhatBecameAQuestionMark) {
    std::string bytes = "x";
    EXPECT_EQ(TCodePage::AppendEncoded(u"?\u00e9\U0001F600\xD800\u5C71", bytes), 3U);
    EXPECT_EQ(bytes, "x????\x8e\x52");
}

TEST(CodePageAppendEncoded, DoesNotCountTheVariantsOfCodePageCharacters) {
    std::string bytes;
    EXPECT_EQ(TCodePage::AppendEncoded(u"\u2212\u301C\u2016\u2014\u00A2\u00A3\u00AC\u00e9", bytes),
              1U);
    EXPECT_EQ(bytes, "\x81\x7c\x81\x60\x81\x61\x81\x5c\x81\x91\x81\x92\x81\xca?");
}

} // namespace

// Whatever the first bytes let JudgeTextStart decide must be what converting the whole text
// does: a text judged to pass as it is, from any of its beginnings, converts to itself.
TEST(JudgeTextStart, AgreesWithTheConversionOfTheWholeText) {
    const std::string pieces[] = {
        "a",        ",",    "\r\n", "\x95\x5c",         "\xe8\xa1\xa8",       "\xef\xbb\xbf",
        "\xff\xfe", "\xc3", "\x80", "\xf0\x9f\x98\x80", std::string(1, '\0'), "a\0,\0"s,
        "\x71\x5c"};
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

namespace {

/// Random texts of the kinds files come in, long enough that their start may decide: any mark
/// or none, lines of ASCII, Shift-JIS, UTF-8 (at times with one broken character), UTF-16 of
/// either byte order, NUL bytes.
class TRandomTexts {
public:
    std::string Next() {
        static const std::string marks[] = {"", "", "\xef\xbb\xbf", "\xff\xfe", "\xfe\xff"};
        std::string text = marks[Pick(std::size(marks))];
        const bool utf16 = Pick(4) == 0;
        const bool bigEndian = Pick(2) == 0;
        // Each text takes the well-formed pieces of one kind, and at times a few odd ones.
        static const std::string ordinary[] = {"1001,", "a,b,", "\x8e\x52\x93\x63,", "\xb1\xb2,",
                                               "\xe5\xb1\xb1\xe7\x94\xb0,"};
        static const std::string odd[] = {"\xf0\x9f\x98\x80", "\xc3", "\x80", "\0"s, "\x95\x5c"};
        const std::string& kind = ordinary[Pick(std::size(ordinary))];
        const bool withOdd = Pick(2) == 0;
        const std::size_t lines = Pick(400);
        for (std::size_t line = 0; line < lines; ++line) {
            text += utf16 ? Utf16Line(bigEndian)
                          : ByteLine(kind, withOdd ? std::span<const std::string>(odd)
                                                   : std::span<const std::string>());
        }
        return text;
    }

private:
    std::size_t Pick(std::size_t count) {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(random_);
    }

    /// ASCII and `kind`, with one of `odd` now and then when given.
    std::string ByteLine(const std::string& kind, std::span<const std::string> odd) {
        std::string line = Pick(2) == 0 ? "1001," : "a,";
        const std::size_t count = Pick(4);
        for (std::size_t piece = 0; piece < count; ++piece) {
            line += kind;
        }
        if (!odd.empty() && Pick(200) == 0) {
            line += odd[Pick(odd.size())];
        }
        return line + "\r\n";
    }

    std::string Utf16Line(bool bigEndian) {
        static const std::u16string pieces[] = {u"1001,", u"\u5c71\u7530,", u"\u3000", u"x"};
        std::u16string units;
        const std::size_t count = Pick(5);
        for (std::size_t piece = 0; piece < count; ++piece) {
            units += pieces[Pick(std::size(pieces))];
        }
        units += u"\r\n";
        std::string bytes;
        for (const char16_t unit : units) {
            const auto high = static_cast<char>(unit >> 8);
            const auto low = static_cast<char>(unit & 0xFF);
            bytes += bigEndian ? std::string{high, low} : std::string{low, high};
        }
        return bytes;
    }

    std::mt19937 random_{11};
};

} // namespace

// Loading judges a file by its first bytes to read it in pieces: a judgement must never differ
// from the conversion of the whole text, from any start long enough to tell.
TEST(JudgeTextStart, AgreesWithTheConversionOfLongTextsOfEveryKind) {
    TRandomTexts texts;
    std::size_t asItIsFromTheStart = 0;
    for (int round = 0; round < 3000; ++round) {
        const std::string text = texts.Next();
        bool passesAsItIs = false;
        try {
            const TCodePageText converted = ConvertToCodePage(text, "t.csv");
            passesAsItIs = converted.encoding == TTextEncoding::CodePage;
            ASSERT_TRUE(!passesAsItIs || converted.text == text) << Escaped(text);
        } catch (const ETextEncodingError&) {
            passesAsItIs = false;
        }
        const TTextStart whole = JudgeTextStart(text, true);
        ASSERT_EQ(whole == TTextStart::CodePageAsItIs, passesAsItIs) << Escaped(text);
        for (std::size_t length = 0; length < text.size(); length += 61) {
            const TTextStart start =
                JudgeTextStart(std::string_view(text).substr(0, length), false);
            ASSERT_TRUE(start == TTextStart::Undecided || start == whole)
                << Escaped(text) << " judged from " << length << " bytes";
            asItIsFromTheStart += start == TTextStart::CodePageAsItIs ? 1 : 0;
        }
    }
    // The random texts must reach the case worth testing.
    EXPECT_GT(asItIsFromTheStart, 100U);
}

namespace {

/// Whether ConvertToCodePage reads `bytes` in `encoding`; UTF-16 that cannot be decoded, of
/// either byte order, fails.
bool ConvertsAs(const std::string& bytes, TTextEncoding encoding) {
    try {
        return ConvertToCodePage(bytes, "t.csv").encoding == encoding;
    } catch (const EUnknownTextEncodingError&) {
        return encoding == TTextEncoding::Unknown;
    } catch (const ETextEncodingError&) {
        return encoding == TTextEncoding::Utf16LittleEndian ||
               encoding == TTextEncoding::Utf16BigEndian;
    }
}

} // namespace

// The conversion tests UTF-8 while converting, as an optimisation: it must find what the rule
// written plainly finds, for whole texts and for texts cut anywhere (inside a character too).
TEST(TextEncodingRule, ConversionFindsWhatThePlainRuleFinds) {
    TRandomTexts texts;
    std::mt19937 random(3);
    std::array<int, 5> found{};
    for (int round = 0; round < 3000; ++round) {
        const std::string whole = texts.Next();
        const std::size_t cut = std::uniform_int_distribution<std::size_t>(0, whole.size())(random);
        for (const std::string& text : {whole, whole.substr(0, cut)}) {
            const TTextEncoding expected = TextEncodingDetail::FindTextEncoding(text);
            ASSERT_TRUE(ConvertsAs(text, expected))
                << Escaped(text) << " is " << static_cast<int>(expected);
            ++found[static_cast<std::size_t>(expected)];
        }
    }
    // Every encoding must come up often enough to be tested.
    for (const int count : found) {
        EXPECT_GT(count, 100);
    }
}
