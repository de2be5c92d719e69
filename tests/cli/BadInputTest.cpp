#include "CliRunner.h"
#include "TestScale.h"

#include <gtest/gtest.h>

namespace {

struct TBadInputCase {
    std::string name;
    std::string file;
    std::string saved;

    /// Names the case in test listings instead of dumping its bytes.
    friend void PrintTo(const TBadInputCase& testCase, std::ostream* out) { *out << testCase.name; }
};

class CliBadInputTest : public testing::TestWithParam<TBadInputCase> {};

TEST_P(CliBadInputTest, LoadsWithoutHarmAndSavesWhatWasRead) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "in.csv", GetParam().file);
    const TCliResult result = RunCli({"open", "in.csv", "save", "-", "dump"}, folder.Path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out.substr(0, GetParam().saved.size()), GetParam().saved);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliBadInputTest,
    testing::Values(
        TBadInputCase{"EmptyFile", "", ",,,\r\n,,,\r\n"},
        TBadInputCase{"NulEndsTheText", std::string("a,b,c,\r\n,,1,\r\n7,x\0y,\r\n", 22),
                      "a,b,c,,\r\n,,1,,\r\n7,x,,,\r\n"},
        // A lead byte without its second byte would swallow the comma written after it.
        TBadInputCase{"LoneLeadByteAtEndOfLine", "k,n,a\x81\r\n,,1\r\n", "k,n,a?,,\r\n,,1,,\r\n"},
        TBadInputCase{"LoneLeadByteAtEndOfFile", "k,n,a,\r\n,,1,\r\n1,x\x9f",
                      "k,n,a,,\r\n,,1,,\r\n1,x?,,,\r\n"},
        TBadInputCase{"LeadByteSwallowsTheComma", "k,n,a\x81,b,\r\n", "k,n,a\x81,b,,\r\n"},
        TBadInputCase{"UnclosedQuote", "k,n,\"a,\"\"b c\r\n", "k,n,\"a,\"\"b c\",,\r\n"},
        TBadInputCase{"Utf8ByteOrderMarkIsDropped", "\xEF\xBB\xBFk,n,a,\r\n,,1,\r\n",
                      "k,n,a,,\r\n,,1,,\r\n"},
        // Those three bytes are also the start of a Shift-JIS text.
        TBadInputCase{"Utf8ByteOrderMarkBeforeShiftJisIsText",
                      "\xEF\xBB\xBFk,\x83\x5c,a,\r\n,,1,\r\n",
                      "\xEF\xBB\xBFk,\x83\x5c,a,,\r\n,,1,,\r\n"}),
    [](const auto& caseInfo) { return caseInfo.param.name; });

/// A line of `fields` cells "f<number>", each followed by a comma.
std::string WideLine(std::size_t fields) {
    std::string line;
    for (std::size_t i = 0; i < fields; ++i) {
        line += "f" + std::to_string(i) + ",";
    }
    return line;
}

// The sizes in the names are those at full scale (PELLORAN_TEST_SCALE).
TEST(CliLargeInputTest, FiftyMegabyteLineLoadsAndSavesUnchanged) {
    const TTemporaryFolder folder;
    const auto fields = static_cast<std::size_t>(Scaled(6'000'000));
    std::string key = WideLine(fields);
    // Over seven bytes a field: a line of over 50 MB at full scale.
    ASSERT_GT(key.size(), 7 * fields);
    key += "\r\n";
    const std::string file = key + key + "1001,Ann,a,\r\n";
    WriteTestFile(folder / "wide.csv", file);
    const TCliResult result = RunCli({"open", "wide.csv", "save", "out.csv"}, folder.Path());
    EXPECT_EQ(result.status, 0) << result.err;
    // The empty field after the last comma is the first column with an empty key.
    const std::size_t width = fields + 1;
    const std::string keyLine = key.substr(0, key.size() - 2) + ",\r\n";
    const std::string saved = ReadTestFile(folder / "out.csv");
    EXPECT_EQ(saved.size(), 2 * keyLine.size() + 11 + (width - 3) + 2);
    EXPECT_TRUE(saved.compare(0, keyLine.size(), keyLine) == 0);
}

TEST(CliLargeInputTest, TwoHundredMegabyteFileLoadsAndSavesUnchanged) {
    const TTemporaryFolder folder;
    const std::string key = ",,a,b,c,d,e,#,a,b,c,d,,\r\n,,1,1,1,1,1,5,1,1,1,1,,\r\n";
    std::string file = key;
    const std::string student = ",Yamada,a,b,c,d,e,3,a,b,c,d,,\r\n";
    const auto size = static_cast<std::size_t>(Scaled(200'000'000));
    for (int number = 100000; file.size() < size; ++number) {
        file += std::to_string(number);
        file += student;
    }
    WriteTestFile(folder / "big.csv", file);
    const TCliResult result = RunCli({"open", "big.csv", "save", "out.csv"}, folder.Path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(ReadTestFile(folder / "out.csv") == file);
}

struct TBrokenEncodingCase {
    std::string name;
    std::string file;
    std::string error;
    friend void PrintTo(const TBrokenEncodingCase& c, std::ostream* out) { *out << c.name; }
};

class CliBrokenEncodingTest : public testing::TestWithParam<TBrokenEncodingCase> {};

TEST_P(CliBrokenEncodingTest, IsReportedAndTheRunGoesOn) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "in.txt", GetParam().file);
    const TCliResult result = RunCli({"open", "in.txt", "state", "paste", "in.txt"}, folder.Path());
    EXPECT_EQ(result.status, 1);
    const std::string error =
        "pelloran-cli: ファイル in.txt は UTF-16 として読めません: " + GetParam().error + "\n";
    EXPECT_EQ(result.err, error + error);
    EXPECT_EQ(result.out,
              "questions=50 highlight=ffffff mark=1 sort-number=1 sort-score=0 changed=0\n");
}

INSTANTIATE_TEST_SUITE_P(Cases, CliBrokenEncodingTest,
                         testing::Values(TBrokenEncodingCase{"OddByteCount",
                                                             std::string("\xff\xfe"
                                                                         "1\0,\0x",
                                                                         7),
                                                             "バイト数が奇数です"},
                                         TBrokenEncodingCase{
                                             "LoneSurrogate",
                                             std::string("\xff\xfe"
                                                         "1\0\x00\xdc",
                                                         6),
                                             "5 バイト目のサロゲートに対がありません"}),
                         [](const auto& caseInfo) { return caseInfo.param.name; });

TEST(CliEncodingNotice, PastedRosterTellsTheReplacedCharactersAndSucceeds) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "roster.txt", "1001,Zo\xc3\xa9\r\n");
    const TCliResult result = RunCli({"paste", "roster.txt", "save", "-"}, folder.Path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "pelloran-cli: ファイル roster.txt には Shift-JIS で表せない文字が 1 個"
                          "あったため、「?」に置き換えました。このまま保存すると、それらの文字は"
                          "「?」になります。\n");
    EXPECT_EQ(result.out, ",,,\r\n,,,\r\n1001,Zo?,,\r\n");
}

// The same class as a Shift-JIS file and as a UTF-16 file of twice its size: the UTF-16 one
// loads to the same table and costs at most four times its size in memory beyond the other.
TEST(CliLargeInputTest, TwoHundredMegabyteUtf16FileLoadsInBoundedMemory) {
    const TTemporaryFolder folder;
    std::string text = ",,a,b,c,d,e,#,a,b,c,d,,\r\n,,1,1,1,1,1,5,1,1,1,1,,\r\n";
    const std::string student = ",\x8e\x52\x93\x63Taro,a,b,c,d,e,3,a,b,c,d,,\r\n";
    const auto size = static_cast<std::size_t>(Scaled(106'000'000));
    for (int number = 100000; text.size() < size; ++number) {
        text += std::to_string(number);
        text += student;
    }
    WriteTestFile(folder / "class.csv", text);
    {
        // 山 and 田 are U+5C71 and U+7530; everything else is ASCII.
        std::string utf16 = "\xff\xfe";
        utf16.reserve(2 * text.size() + 2);
        for (std::size_t at = 0; at < text.size(); ++at) {
            if (text.compare(at, 4, "\x8e\x52\x93\x63") == 0) {
                utf16 += "\x71\x5c\x30\x75";
                at += 3;
            } else {
                utf16 += text[at];
                utf16 += '\0';
            }
        }
        ASSERT_GT(utf16.size(), static_cast<std::size_t>(Scaled(200'000'000)));
        WriteTestFile(folder / "class.txt", utf16);
    }
    const TCliMemoryResult shiftJis =
        RunCliMeasuringMemory({"open", "class.csv", "save", "sjis.csv"}, folder.Path());
    const TCliMemoryResult unicode =
        RunCliMeasuringMemory({"open", "class.txt", "save", "utf16.csv"}, folder.Path());
    ASSERT_EQ(shiftJis.status, 0);
    ASSERT_EQ(unicode.status, 0);
    EXPECT_TRUE(ReadTestFile(folder / "utf16.csv") == ReadTestFile(folder / "sjis.csv"));
    const long utf16Kib =
        static_cast<long>(std::filesystem::file_size(folder / "class.txt") / 1024);
    EXPECT_LE(unicode.peakKib, shiftJis.peakKib + 4 * utf16Kib)
        << "Shift-JIS " << shiftJis.peakKib << " KiB, UTF-16 " << unicode.peakKib << " KiB";
}

} // namespace
