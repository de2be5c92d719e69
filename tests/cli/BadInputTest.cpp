#include "CliRunner.h"

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

TEST(CliLargeInputTest, FiftyMegabyteLineLoadsAndSavesUnchanged) {
    const TTemporaryFolder folder;
    std::string key = WideLine(6'000'000);
    ASSERT_GT(key.size(), 50'000'000U);
    key += "\r\n";
    const std::string file = key + key + "1001,Ann,a,\r\n";
    WriteTestFile(folder / "wide.csv", file);
    const TCliResult result = RunCli({"open", "wide.csv", "save", "out.csv"}, folder.Path());
    EXPECT_EQ(result.status, 0) << result.err;
    // The empty field after the last comma is column 6,000,001, the first with an empty key.
    const std::size_t width = 6'000'001;
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
    for (int number = 100000; file.size() < 200'000'000; ++number) {
        file += std::to_string(number);
        file += student;
    }
    WriteTestFile(folder / "big.csv", file);
    const TCliResult result = RunCli({"open", "big.csv", "save", "out.csv"}, folder.Path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(ReadTestFile(folder / "out.csv") == file);
}

} // namespace
