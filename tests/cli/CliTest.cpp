#include "CliRunner.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace {

const std::string EmptyTestText = ",,,\r\n,,,\r\n";
const std::string StartState =
    "questions=50 highlight=ffffff mark=0 sort-number=0 sort-score=0 changed=0\n";

const std::string QuizText = ",,a,b,#,,\r\n"
                             ",,2,3,,,\r\n"
                             "1001,Ann,A,d,4,,\r\n"
                             "1002,Ben,a,b,0,,\r\n";

std::vector<std::string> TemporaryFilesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(CliSessionTest, StartsAsAnEmptyTestAndSavesItsText) {
    const TCliResult result = RunCli({"state", "save", "-"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, StartState + EmptyTestText);
    EXPECT_EQ(result.err, "");
}

TEST(CliSessionTest, OpenAndSaveGiveBackTheSameBytes) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "quiz.csv", QuizText);
    const TCliResult result =
        RunCli({"open", "quiz.csv", "save", "copy.csv", "state"}, folder.Path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadTestFile(folder / "copy.csv"), QuizText);
    EXPECT_EQ(result.out,
              "questions=50 highlight=ffffff mark=1 sort-number=1 sort-score=0 changed=0\n");
    EXPECT_EQ(TemporaryFilesIn(folder.Path()), (std::vector<std::string>{"copy.csv", "quiz.csv"}));
}

// Korean, an emoji and kanji: on Windows only the UTF-16 command line carries them whole.
TEST(CliSessionTest, SavesUnderANameTheCodePageCannotHold) {
    const TTemporaryFolder folder;
    const std::string name = "시험\xF0\x9F\x98\x80成績.csv";
    const TCliResult result = RunCli({"new", "save", name}, folder.Path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(folder.EntryNames(), std::vector<std::string>{name});
    EXPECT_EQ(ReadTestFile(folder / name), EmptyTestText);
}

TEST(CliSessionTest, SavingOverAFileReplacesItWhole) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "quiz.csv", QuizText);
    WriteTestFile(folder / "old.csv", std::string(100000, 'x'));
    const TCliResult result = RunCli({"open", "quiz.csv", "save", "old.csv"}, folder.Path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadTestFile(folder / "old.csv"), QuizText);
}

// Students of a pasted roster were marked with the file's class and saved into its file.
TEST(CliSessionTest, AFileWithStudentsReplacesAPastedRoster) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "roster5.txt", "1,Abe\r\n2,Baba\r\n3,Chiba\r\n4,Doi\r\n5,Endo\r\n");
    WriteTestFile(folder / "two.csv", QuizText);
    const TCliResult result =
        RunCli({"paste", "roster5.txt", "open", "two.csv", "save", "-"}, folder.Path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, QuizText);
}

TEST(CliSessionTest, StateTellsWhetherTheDiscardQuestionWouldBeAsked) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "quiz.csv", QuizText);
    const TCliResult result = RunCli({"state", "open", "quiz.csv", "state", "mark", "state", "save",
                                      "marked.csv", "state", "new", "state"},
                                     folder.Path());
    EXPECT_EQ(result.status, 0) << result.err;
    std::string changed;
    for (std::size_t at = result.out.find("changed="); at != std::string::npos;
         at = result.out.find("changed=", at + 1)) {
        changed += result.out[at + 8];
    }
    EXPECT_EQ(changed, "00100");
}

TEST(CliSessionTest, ResultMarkerOfTheFirstLineSetsTheQuestionCount) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "marked.csv", "a,b,#,<5.5>,,\r\n,,2,3,<.5>,\r\n1001,Ann,A,d,4,6,\r\n");
    const TCliResult result = RunCli({"open", "marked.csv", "state"}, folder.Path());
    EXPECT_EQ(result.out,
              "questions=1 highlight=ffffff mark=1 sort-number=1 sort-score=0 changed=0\n")
        << "compared with the table as opened, not with the file's form";
}

TEST(CliSessionTest, DumpListsNonEmptyCellsByRowThenColumnWithEscapes) {
    const TTemporaryFolder folder;
    // 表 ends in the byte 0x5C; the quoted field holds a tab and a comma.
    WriteTestFile(folder / "odd.csv", "a,,\r\n,,\r\n7,\x95\x5C,\"x\ty,\x7f\",\r\n");
    const TCliResult result =
        RunCli({"open", "odd.csv", "new", "open", "odd.csv", "dump"}, folder.Path());
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string tail = "1,1:a\n"
                             "0,3:1\n"
                             "1,3:7\n"
                             "2,3:\x95\\\\\n"
                             "3,3:x\\ty,\\x7f\n";
    const std::string out = result.out;
    EXPECT_NE(out.find("3,0:1\n4,0:2\n"), std::string::npos);
    EXPECT_NE(out.find("0,1:"), 0U);
    const std::size_t labels = out.find("1,1:a\n");
    ASSERT_NE(labels, std::string::npos) << out;
    EXPECT_EQ(out.substr(labels, out.find("0,4:") - labels), tail);
}

TEST(CliSessionTest, LanguageFileMessagesTitleTheTable) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "p.lng",
                  "[Main]\r\nMsg1=No.<BR>x\r\nMsg5 = Q\r\n[Other]\r\nMsg2=no\r\n");
    const TCliResult result = RunCli({"--lng", "p.lng", "dump"}, folder.Path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out.substr(0, 20), "1,0:No.\\r\\nx\n3,0:Q1\n");
    EXPECT_EQ(result.out.find("\n2,0:"), std::string::npos);
}

TEST(CliSessionTest, AMissingLanguageFileIsReportedAndTheRunGoesOn) {
    const TCliResult result = RunCli({"--lng", "/no/such.lng", "state"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, StartState);
    EXPECT_EQ(result.err, "pelloran-cli: ファイル /no/such.lng は開けません\n");
}

struct TFailureCase {
    std::string name;
    std::vector<std::string> arguments;
    std::string err;

    /// Names the case in test listings instead of dumping its bytes.
    friend void PrintTo(const TFailureCase& testCase, std::ostream* out) { *out << testCase.name; }
};

class CliFailureTest : public testing::TestWithParam<TFailureCase> {};

#ifdef _WIN32
// A device of Windows, named in every folder; it is no disk file, which alone has an end.
const std::string DeviceName = "NUL";
#else
const std::string DeviceName = "/dev/zero";
#endif

TEST_P(CliFailureTest, IsReportedAndTheOtherCommandsStillRun) {
    const TTemporaryFolder folder;
    std::filesystem::create_directory(folder / "folder.csv");
    std::vector<std::string> arguments = GetParam().arguments;
    arguments.push_back("state");
    const TCliResult result = RunCli(arguments, folder.Path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, GetParam().err);
    EXPECT_EQ(result.out,
              "questions=50 highlight=ffffff mark=1 sort-number=1 sort-score=0 changed=0\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliFailureTest,
    testing::Values(TFailureCase{"MissingFile",
                                 {"open", "missing.csv"},
                                 "pelloran-cli: ファイル missing.csv は開けません\n"},
                    TFailureCase{"EndlessDevice",
                                 {"open", DeviceName},
                                 "pelloran-cli: ファイル " + DeviceName + " は開けません\n"},
                    TFailureCase{"FolderGivenAsFile",
                                 {"open", "folder.csv"},
                                 "pelloran-cli: ファイル folder.csv は開けません\n"},
                    TFailureCase{"SaveOverAFolder",
                                 {"open", "missing.csv", "save", "folder.csv"},
                                 "pelloran-cli: ファイル missing.csv は開けません\n"
                                 "pelloran-cli: ファイル folder.csv を作成できません\n"},
                    TFailureCase{"SaveIntoAMissingFolder",
                                 {"open", "missing.csv", "save", "no/such/quiz.csv"},
                                 "pelloran-cli: ファイル missing.csv は開けません\n"
                                 "pelloran-cli: ファイル no/such/quiz.csv を作成できません\n"}),
    [](const auto& caseInfo) { return caseInfo.param.name; });

struct TUsageCase {
    std::string name;
    std::vector<std::string> arguments;

    /// Names the case in test listings instead of dumping its bytes.
    friend void PrintTo(const TUsageCase& testCase, std::ostream* out) { *out << testCase.name; }
};

class CliUsageTest : public testing::TestWithParam<TUsageCase> {};

TEST_P(CliUsageTest, ExitsWithStatusTwoAndRunsNothing) {
    const TCliResult result = RunCli(GetParam().arguments);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("pelloran-cli: ", 0), 0U) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliUsageTest,
    testing::Values(TUsageCase{"NoCommand", {}},
                    TUsageCase{"UnknownCommand", {"state", "frobnicate"}},
                    TUsageCase{"MissingFileName", {"state", "open"}},
                    TUsageCase{"UnknownOption", {"--quiet", "state"}},
                    TUsageCase{"LongDecimalSeparator", {"--decimal", "ab", "state"}},
                    TUsageCase{"ExponentLetterAsSeparator", {"--decimal", "e", "state"}},
                    TUsageCase{"DigitAsSeparator", {"--decimal", "5", "state"}},
                    TUsageCase{"OptionWithoutValue", {"--lng"}}),
    [](const auto& caseInfo) { return caseInfo.param.name; });

TEST(CliSessionTest, OutputThatCannotBeWrittenIsAFailure) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no device that is always full";
#else
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full on this machine";
    }
    const std::string command =
        std::string(PELLORAN_CLI_PATH) + " state save - >/dev/full 2>/dev/null";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
#endif
}

TEST(CliHelpTest, ListsEveryCommand) {
    const TCliResult result = RunCli({"--help"});
    EXPECT_EQ(result.status, 0);
    for (const char* command : {"open FILE", "new", "save FILE", "dump", "state"}) {
        EXPECT_NE(result.out.find(command), std::string::npos) << command;
    }
}

} // namespace
