#include "CliRunner.h"

#include <gtest/gtest.h>

namespace {

// Ann 7, Ben 4, Cho 1, Dan 3: the upper group is Ann, the lower Cho. A name holds a comma,
// another begins as a spreadsheet formula would.
const std::string QuizText = ",,a,b,#,\r\n"
                             ",,2,1,4,\r\n"
                             "1001,Ann,a,b,4,\r\n"
                             "1002,\"Ben, Jr.\",A,x,2,\r\n"
                             "1003,Cho,x,b,,\r\n"
                             "1004,=Dan,a,,1,\r\n";

class AnalysisCli : public testing::Test {
protected:
    AnalysisCli() { WriteTestFile(folder / "quiz.csv", QuizText); }

    TCliResult Run(std::vector<std::string> commands) {
        commands.insert(commands.begin(), {"open", "quiz.csv"});
        return RunCli(commands, folder.Path());
    }

    TTemporaryFolder folder;
};

TEST_F(AnalysisCli, PrintsTheQuestionTableAlignedWithTheReasonsBelow) {
    const TCliResult result = Run({"analysis"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "問題  正答  配点  解答数  正答率  識別力  点双列相関  注意        解答の分布\n"
              "   1  a        2       4   75.0%    1.00        0.44              a*=3, x=1\n"
              "   2  b        1       3   50.0%    0.00       -0.12  無答が多い  b*=2, x=1, "
              "無答=1\n"
              "   3  #        4       3   43.8%    1.00        0.96  無答が多い  4=1, 2=1, 1=1, "
              "無答=1\n"
              "\n"
              "問題 2: 無答が多い: 1 人（25.0%）が無答で、2 割を超えています\n"
              "問題 3: 無答が多い: 1 人（25.0%）が無答で、2 割を超えています\n");
}

TEST_F(AnalysisCli, WritesResultsAsUtf8CsvForSpreadsheets) {
    const TCliResult result =
        RunCli({"--decimal", ",", "open", "quiz.csv", "results", "-"}, folder.Path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "\xEF\xBB\xBF"
              "学籍番号,氏名,得点\r\n"
              "1001,Ann,7\r\n"
              "1002,\"Ben, Jr.\",4\r\n"
              "1003,Cho,1\r\n"
              "1004,'=Dan,3\r\n"
              "\r\n"
              "問題,正答,配点,解答数,正答率,識別力,点双列相関,注意,解答の分布\r\n"
              "1,a,2,4,\"75,0%\",\"1,00\",\"0,44\",,\"a*=3, x=1\"\r\n"
              "2,b,1,3,\"50,0%\",\"0,00\",\"-0,12\",無答が多い,\"b*=2, x=1, 無答=1\"\r\n"
              "3,#,4,3,\"43,8%\",\"1,00\",\"0,96\",無答が多い,\"4=1, 2=1, 1=1, "
              "無答=1\"\r\n");
}

TEST_F(AnalysisCli, ReportIsOneSelfContainedPageWithTheScoresInTableOrder) {
    const TCliResult result = Run({"sort-number", "report", "report.html"});
    EXPECT_EQ(result.status, 0) << result.err;
    const std::string page = ReadTestFile(folder / "report.html");
    EXPECT_EQ(page.find("<script"), std::string::npos);
    EXPECT_EQ(page.find(" src="), std::string::npos);
    EXPECT_NE(page.find("size: A4"), std::string::npos);
    EXPECT_NE(page.find("<svg"), std::string::npos);
    EXPECT_NE(page.find("ファイル: quiz.csv"), std::string::npos);
    // Sorted by number, Ben's row ("1002") comes second; his name is escaped, Dan's kept.
    const std::size_t ann = page.find("<td>Ann</td>");
    const std::size_t ben = page.find("<td>Ben, Jr.</td>");
    const std::size_t dan = page.find("<td>=Dan</td>");
    EXPECT_LT(ann, ben);
    EXPECT_LT(ben, dan);
    EXPECT_NE(dan, std::string::npos);
}

TEST_F(AnalysisCli, TextsComeFromTheLanguageFileKeyByKey) {
    WriteTestFile(folder / "en.lng", "[Analysis]\r\nQuestion=Q\r\nFacility=p\r\n");
    const TCliResult english =
        RunCli({"--lng", "en.lng", "open", "quiz.csv", "analysis"}, folder.Path());
    EXPECT_EQ(english.status, 0) << english.err;
    // Keys missing from the file keep their Japanese texts.
    EXPECT_EQ(english.out.substr(0, english.out.find('\n')),
              "Q  正答  配点  解答数      p  識別力  点双列相関  注意        解答の分布");
}

TEST(AnalysisCliFailure, IsReportedAndTheRunGoesOn) {
    const TTemporaryFolder folder;
    WriteTestFile(folder / "bad.csv", ",,#,\r\n,,,\r\n1,A,many,\r\n");
    const TCliResult empty = RunCli({"analysis", "results", "out.csv", "state"}, folder.Path());
    EXPECT_EQ(empty.status, 1);
    const std::string noQuestions =
        "pelloran-cli: 分析する問題がありません。正答の行に答えを入れてください。\n";
    EXPECT_EQ(empty.err, noQuestions + noQuestions);
    EXPECT_FALSE(std::filesystem::exists(folder / "out.csv"));
    EXPECT_EQ(empty.out,
              "questions=50 highlight=ffffff mark=0 sort-number=0 sort-score=0 changed=0\n");

    const TCliResult broken =
        RunCli({"open", "bad.csv", "analysis", "report", "no/such/r.html"}, folder.Path());
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.err, "pelloran-cli: 'many' は浮動小数点数ではありません\n"
                          "pelloran-cli: 'many' は浮動小数点数ではありません\n");
    EXPECT_EQ(broken.out, "");

    WriteTestFile(folder / "quiz.csv", QuizText);
    const TCliResult unwritable =
        RunCli({"open", "quiz.csv", "report", "no/such/r.html"}, folder.Path());
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.err, "pelloran-cli: ファイル no/such/r.html を作成できません\n");
}

TEST(AnalysisCliHelp, ListsTheAnalysisCommands) {
    const TCliResult result = RunCli({"--help"});
    for (const char* command : {"analysis", "report FILE", "results FILE"}) {
        EXPECT_NE(result.out.find(command), std::string::npos) << command;
    }
}

} // namespace
