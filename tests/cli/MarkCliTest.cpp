#include "CliRunner.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <utility>

namespace {

const std::string QuizText = ",,a,b,#,,\r\n"
                             ",,2,3,,,\r\n"
                             "1001,Ann,A,d,4,,\r\n"
                             "1002,Ben,a,b,0,,\r\n"
                             "1003,Cho,a,b,4.5,,\r\n";

std::string State(int questions, bool sortByScore, bool changed) {
    return "questions=" + std::to_string(questions) +
           " highlight=ffffff mark=1 sort-number=1 sort-score=" + (sortByScore ? "1" : "0") +
           " changed=" + (changed ? "1" : "0") + "\n";
}

TEST(MarkCli, MarksSortsByScoreAndSaves) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "quiz.csv", QuizText);
    const TCliResult result = RunCli(
        {"open", "quiz.csv", "mark", "sort-score", "save", "marked.csv", "state"}, folder.Path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, State(3, true, false));
    EXPECT_EQ(ReadTestFile(folder / "marked.csv"), ",,a,b,#,<6.8>,,\r\n"
                                                   ",,2,3,,<1.9>,,\r\n"
                                                   "1003,Cho,a,b,4.5,9.5,,\r\n"
                                                   "1001,Ann,A,d,4,6,,\r\n"
                                                   "1002,Ben,a,b,0,5,,\r\n");
}

TEST(MarkCli, MarkingTheSavedFileAgainGivesTheSameFile) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "quiz.csv", QuizText);
    ASSERT_EQ(RunCli({"open", "quiz.csv", "mark", "save", "once.csv"}, folder.Path()).status, 0);
    const TCliResult result =
        RunCli({"open", "once.csv", "mark", "save", "twice.csv"}, folder.Path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadTestFile(folder / "twice.csv"), ReadTestFile(folder / "once.csv"));
}

TEST(MarkCli, CommaAsDecimalSeparatorReadsAndWritesNumbers) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "quiz.csv", ",,a,#,\r\n,,\"1,5\",,\r\n1001,Ann,a,\"0,25\",\r\n");
    const TCliResult result =
        RunCli({"--decimal", ",", "open", "quiz.csv", "mark", "save", "-"}, folder.Path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, ",,a,#,\"<1,8>\",,\r\n"
                          ",,\"1,5\",,<>,,\r\n"
                          "1001,Ann,a,\"0,25\",\"1,75\",,\r\n");
}

TEST(MarkCli, PastesARosterIntoAnEmptyTest) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "roster.txt", "1001,Sato\r\n1002,\"Suzuki, Ichiro\"\r\n");
    const TCliResult result = RunCli({"paste", "roster.txt", "save", "-", "state"}, folder.Path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, ",,,\r\n,,,\r\n1001,Sato,,\r\n1002,\"Suzuki, Ichiro\",,\r\n" +
                              State(50, false, true));
}

TEST(MarkCli, StoppedPasteIsReportedAndWritesNoLine) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "roster.txt", "1001,Sato\r\n\r\n1003,Kato\r\n");
    const TCliResult result = RunCli({"paste", "roster.txt", "save", "-", "state"}, folder.Path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "pelloran-cli: 2 行目: 空の行です\n");
    EXPECT_EQ(result.out, ",,,\r\n,,,\r\n" + State(50, false, false));
}

// A student below an empty row, or a block pasted where the file does not reach, is neither
// marked nor dropped by a save in silence: the run fails and writes nothing.
TEST(MarkCli, CellsTheFileWouldNotKeepAreRefused) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "gap.csv", ",,a,\r\n,,1,\r\n1001,Ann,a,\r\n\r\n1005,Eve,a,\r\n");
    WriteTestFile(folder / "block.txt", "x\ty\r\n");
    TCliResult result =
        RunCli({"open", "gap.csv", "mark", "save", "out.csv", "state"}, folder.Path());
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("採点できません: 行 3 の生徒は、行 2 の学籍番号が空のため"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("・行 3: 行 2 の学籍番号が空のため"), std::string::npos);
    EXPECT_EQ(result.out, State(50, false, false)) << "as opened: nothing new would be lost";
    result = RunCli(
        {"open", "gap.csv", "paste-block", "6", "1", "block.txt", "state", "save", "out.csv"},
        folder.Path());
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("・問 4〜5 の列: 問 2 の正答が空のため"), std::string::npos)
        << result.err;
    EXPECT_EQ(result.out, State(50, false, true));
    EXPECT_FALSE(std::filesystem::exists(folder / "out.csv"));
    result = RunCli({"open", "gap.csv", "save-dropping", "out.csv"}, folder.Path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadTestFile(folder / "out.csv"), ",,a,,\r\n,,1,,\r\n1001,Ann,a,,\r\n");
}

// The language files shipped beside the program say where and why in their own words.
TEST(MarkCli, StoppedPasteIsToldInTheLanguageFilesWords) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "roster.txt", "1001,Sato\r\n1002\r\n");
    const std::filesystem::path program = std::filesystem::path(PELLORAN_CLI_PATH).parent_path();
    const std::vector<std::pair<std::filesystem::path, std::string>> cases = {
        {program / "lang/en.lng", "Line 2: there is no name"},
        {program / "pelloran.lng", "2 行目: 氏名がありません"},
    };
    for (const auto& [languageFile, message] : cases) {
        const TCliResult result =
            RunCli({"--lng", languageFile.string(), "paste", "roster.txt"}, folder.Path());
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "pelloran-cli: " + message + "\n") << languageFile;
    }
}

// Like a clipboard that cannot be read: the paste fails, yet Mark and Sort by number are
// offered as after any paste.
TEST(MarkCli, UnreadableRosterStillEnablesMarkAndSortByNumber) {
    const TTemporaryFolder folder;
    const TCliResult result = RunCli({"paste", "missing.txt", "state"}, folder.Path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "pelloran-cli: ファイル missing.txt は開けません\n");
    EXPECT_EQ(result.out, State(50, false, false));
}

struct TRefusalCase {
    const char* name;
    std::vector<std::string> arguments;

    friend void PrintTo(const TRefusalCase& c, std::ostream* os) { *os << c.name; }
};

class SortScoreRefusal : public testing::TestWithParam<TRefusalCase> {};

TEST_P(SortScoreRefusal, LeavesTheTableAsItWas) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "quiz.csv", QuizText);
    WriteTestFile(folder / "nokey.csv", ",,,\r\n,,,\r\n1002,Ben,a,\r\n1001,Ann,b,\r\n");
    std::vector<std::string> arguments = GetParam().arguments;
    arguments.insert(arguments.end(), {"save", "before.csv", "sort-score", "save", "after.csv"});
    const TCliResult result = RunCli(arguments, folder.Path());
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.err.starts_with("pelloran-cli: ")) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_EQ(ReadTestFile(folder / "after.csv"), ReadTestFile(folder / "before.csv"));
}

INSTANTIATE_TEST_SUITE_P(
    MarkCli, SortScoreRefusal,
    testing::Values(TRefusalCase{"NotMarked", {"open", "quiz.csv"}},
                    TRefusalCase{"MarkedThenNew",
                                 {"open", "quiz.csv", "mark", "new", "open", "quiz.csv"}},
                    TRefusalCase{"MarkFoundNoQuestions", {"open", "nokey.csv", "mark"}}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

struct TConversionCase {
    const char* name;
    std::string file;
    std::string err;
    std::string state;

    friend void PrintTo(const TConversionCase& c, std::ostream* os) { *os << c.name; }
};

class MarkConversionFailure : public testing::TestWithParam<TConversionCase> {};

TEST_P(MarkConversionFailure, IsReportedWithExitStatusOne) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "bad.csv", GetParam().file);
    const TCliResult result = RunCli({"open", "bad.csv", "mark", "state"}, folder.Path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, GetParam().err);
    EXPECT_EQ(result.out, GetParam().state);
}

INSTANTIATE_TEST_SUITE_P(
    MarkCli, MarkConversionFailure,
    testing::Values(TConversionCase{"StudentPointsCell", ",,a,#,\r\n,,1,,\r\n1001,Ann,a,abc,\r\n",
                                    "pelloran-cli: 採点できません: 行 1 (学籍番号 1001) の 問 2: "
                                    "'abc' は浮動小数点数ではありません\n",
                                    State(2, false, false)},
                    TConversionCase{"DoubleBytePointsRow",
                                    ",,#,\r\n,,\x82\x50\x82\x4f,\r\n1001,Ann,5,\r\n",
                                    "pelloran-cli: 採点できません: 問 1 の配点: "
                                    "'１０' は浮動小数点数ではありません\n",
                                    State(1, false, false)},
                    TConversionCase{"CommaNumberWithPointSeparator",
                                    ",,#,\r\n,,,\r\n1001,Ann,\"1,5\",\r\n",
                                    "pelloran-cli: 採点できません: 行 1 (学籍番号 1001) の 問 1: "
                                    "'1,5' は浮動小数点数ではありません\n",
                                    State(1, false, false)}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

} // namespace
